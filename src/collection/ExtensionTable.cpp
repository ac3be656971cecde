#include "ExtensionTable.h"

#include <algorithm>
#include <array>
#include <iterator>

namespace {

// Characters of a UTF-8 text: every byte that does not continue a multi-byte sequence.
qsizetype characterCount(QByteArrayView text)
{
    return std::count_if(text.begin(), text.end(),
                         [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; });
}

bool keyLess(QByteArrayView a, QByteArrayView b)
{
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
    });
}

} // namespace

QString ExtensionRow::text() const
{
    return QString::fromLocal8Bit(key) + u'\t' + QString::number(files) + u'\t' +
           QString::number(bytes);
}

bool ExtensionTable::makeKey(QByteArrayView ext, KeyBuffer &buffer, QByteArrayView &key,
                             bool anyLength)
{
    // At most five UTF-8 characters of four bytes each; a longer run of stray continuation
    // bytes counts as no characters but is still too long.
    const qsizetype room = anyLength ? qsizetype(buffer.size()) : maxKeyLength * 4;
    if (ext.size() > room || (!anyLength && characterCount(ext) > maxKeyLength))
        return false;
    const qsizetype length = ext.size();
    for (qsizetype i = 0; i < length; ++i) {
        const char c = ext[i];
        buffer[size_t(i)] = c >= 'a' && c <= 'z' ? char(c - ('a' - 'A')) : c;
    }
    key = QByteArrayView(buffer.data(), length);
    return true;
}

bool ExtensionTable::insertType(QByteArrayView ext, qint64 size, bool registerOnly)
{
    KeyBuffer buffer;
    QByteArrayView key;
    if (!makeKey(ext, buffer, key, m_anyLength))
        return false;

    const auto position = std::lower_bound(
        m_rows.begin(), m_rows.end(), key,
        [](const ExtensionRow &row, QByteArrayView k) { return keyLess(row.key, k); });
    if (position != m_rows.end() && QByteArrayView(position->key) == key) {
        if (!registerOnly) {
            position->files += 1;
            position->bytes += size;
        }
        return true;
    }
    m_rows.insert(position,
                  ExtensionRow{key.toByteArray(), registerOnly ? 0 : 1, registerOnly ? 0 : size});
    return true;
}

void ExtensionTable::merge(const ExtensionTable &other)
{
    std::vector<ExtensionRow> merged;
    merged.reserve(m_rows.size() + other.m_rows.size());
    auto mine = m_rows.begin();
    for (const ExtensionRow &theirs : other.m_rows) {
        while (mine != m_rows.end() && keyLess(mine->key, theirs.key))
            merged.push_back(std::move(*mine++));
        if (mine != m_rows.end() && mine->key == theirs.key) {
            merged.push_back(std::move(*mine++));
            merged.back().files += theirs.files;
            merged.back().bytes += theirs.bytes;
        } else {
            merged.push_back(theirs);
        }
    }
    std::move(mine, m_rows.end(), std::back_inserter(merged));
    m_rows = std::move(merged);
}

int ExtensionTable::findType(QByteArrayView key) const
{
    int low = 0;
    int high = rowCount() - 1;
    while (low <= high) {
        const int mid = (low + high) / 2;
        const QByteArrayView midKey(m_rows[size_t(mid)].key);
        if (midKey == key)
            return mid;
        if (keyLess(key, midKey))
            high = mid - 1;
        else
            low = mid + 1;
    }
    return -1;
}
