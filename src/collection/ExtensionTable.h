#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <array>
#include <vector>

// One row of the extension table: the upper-case extension (dot included, empty for names
// without one) as the file system's bytes, and the number and total size of its files.
struct ExtensionRow {
    QByteArray key;
    qint64 files = 0;
    qint64 bytes = 0;

    // The row as text: key, TAB, files, TAB, bytes (decimal, no separators).
    QString text() const;
};

// The statistics by extension, one row per key, in ascending byte order of the key: the order
// the Types listing is sorted into after each drive (ASCII letters compared upper-cased).
class ExtensionTable {
public:
    // Keys of more than this many characters (dot included) never enter the table.
    static constexpr int maxKeyLength = 5;
    // Room for the key of any extension a file name can have.
    using KeyBuffer = std::array<char, 256>;

    // The key of ext, upper-cased into buffer; empty-handed (false) for an extension longer
    // than maxKeyLength characters, unless any length is allowed.
    static bool makeKey(QByteArrayView ext, KeyBuffer &buffer, QByteArrayView &key,
                        bool anyLength = false);
    // Extensions of any length get rows (off: the longer ones are ignored).
    void setAnyLength(bool anyLength) { m_anyLength = anyLength; }

    // Counts a file of size bytes under ext (upper-cased here), or in register-only mode makes
    // sure the row exists without counting anything. Longer extensions are ignored: false.
    bool insertType(QByteArrayView ext, qint64 size, bool registerOnly);
    // Adds the files and bytes of every row of other, making the rows this table lacks.
    void merge(const ExtensionTable &other);
    // Row index of an upper-case key, or -1.
    int findType(QByteArrayView key) const;

    int rowCount() const { return int(m_rows.size()); }
    const ExtensionRow &row(int index) const { return m_rows[size_t(index)]; }
    const std::vector<ExtensionRow> &rows() const { return m_rows; }
    void clear() { m_rows.clear(); }
    // Puts back rows a table gave before (rows()), in their order.
    void restore(std::vector<ExtensionRow> rows) { m_rows = std::move(rows); }

private:
    std::vector<ExtensionRow> m_rows;
    bool m_anyLength = false;
};
