#include "TypeFilter.h"

#include "TypeRow.h"

namespace {

char lowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c + ('a' - 'A')) : c;
}

bool equalsLowerKey(QByteArrayView extension, const QByteArray &key)
{
    if (extension.size() != key.size())
        return false;
    for (qsizetype i = 0; i < key.size(); ++i)
        if (lowerAscii(extension[i]) != key[i])
            return false;
    return true;
}

} // namespace

TypeFilter::TypeFilter(bool allFiles, bool includeSelected, bool excludeSelected,
                       const QStringList &typeRows)
    : m_allFiles(allFiles), m_includeSelected(includeSelected), m_excludeSelected(excludeSelected)
{
    m_keys.reserve(size_t(typeRows.size()));
    // File names are compared as the file system's bytes, which are UTF-8 here.
    for (const QString &row : typeRows)
        m_keys.push_back(extractExtension(row).toUtf8());
}

bool TypeFilter::isThisSelected(QByteArrayView fileName) const
{
    if (m_allFiles)
        return true;
    const QByteArrayView extension = fileNameExtension(fileName);
    for (const QByteArray &key : m_keys)
        if (equalsLowerKey(extension, key))
            return m_includeSelected;
    return m_excludeSelected;
}
