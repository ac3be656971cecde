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

size_t ExtensionTable::rowOf(QByteArrayView key)
{
    const std::string_view name(key.data(), size_t(key.size()));
    if (const auto found = m_index.find(name); found != m_index.end())
        return found->second;
    const size_t at = m_rows.size();
    m_index.emplace(std::string(name), at);
    m_rows.push_back(ExtensionRow{key.toByteArray(), 0, 0});
    m_sorted = m_rows.size() == 1;
    return at;
}

bool ExtensionTable::insertType(QByteArrayView ext, qint64 size, bool registerOnly,
                                qint64 allocated)
{
    size_t at = noRow;
    if (!m_found.find(ext, at)) {
        KeyBuffer buffer;
        QByteArrayView key;
        at = makeKey(ext, buffer, key, m_anyLength) ? rowOf(key) : noRow;
        m_found.put(ext, at);
    }
    if (at == noRow)
        return false;
    ExtensionRow &row = m_rows[at];
    if (!registerOnly) {
        row.files += 1;
        row.bytes += size;
        row.allocated += allocated;
    }
    return true;
}

void ExtensionTable::merge(const ExtensionTable &other)
{
    for (const ExtensionRow &theirs : other.m_rows) {
        ExtensionRow &mine = m_rows[rowOf(theirs.key)];
        mine.files += theirs.files;
        mine.bytes += theirs.bytes;
        mine.allocated += theirs.allocated;
    }
}

void ExtensionTable::merge(ExtensionTable &&other)
{
    if (!m_rows.empty()) {
        merge(other);
        return;
    }
    m_rows = std::move(other.m_rows);
    m_index = std::move(other.m_index);
    m_sorted = other.m_sorted;
    m_found.clear();
    other.clear();
}

int ExtensionTable::findType(QByteArrayView key) const
{
    sortRows();
    const auto found = m_index.find(std::string_view(key.data(), size_t(key.size())));
    return found == m_index.end() ? -1 : int(found->second);
}

const std::vector<ExtensionRow> &ExtensionTable::rows() const
{
    sortRows();
    return m_rows;
}

void ExtensionTable::clear()
{
    m_rows.clear();
    m_index.clear();
    m_sorted = true;
    m_found.clear();
}

bool ExtensionTable::restore(std::vector<ExtensionRow> rows)
{
    clear();
    m_rows = std::move(rows);
    m_sorted = false; // clear() forgot the last row
    for (size_t i = 0; i < m_rows.size(); ++i)
        if (!m_index.emplace(m_rows[i].key.toStdString(), i).second) {
            clear();
            return false;
        }
    return true;
}

void ExtensionTable::sortRows() const
{
    if (m_sorted)
        return;
    std::sort(m_rows.begin(), m_rows.end(),
              [](const ExtensionRow &a, const ExtensionRow &b) { return keyLess(a.key, b.key); });
    for (size_t i = 0; i < m_rows.size(); ++i)
        m_index.find(std::string_view(m_rows[i].key.constData(), size_t(m_rows[i].key.size())))
            ->second = i;
    m_sorted = true;
    m_found.clear();
}
