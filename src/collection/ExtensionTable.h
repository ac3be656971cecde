#pragma once

#include "ExtensionCache.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <array>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// One row of the extension table: the upper-case extension (dot included, empty for names
// without one) as the file system's bytes, and the number and total size of its files.
struct ExtensionRow {
    QByteArray key;
    qint64 files = 0;
    qint64 bytes = 0;
    qint64 allocated = 0; // on disk

    // The row as text: key, TAB, files, TAB, bytes (decimal, no separators).
    QString text() const;
};

// The statistics by extension, one row per key, in ascending byte order of the key: the order
// the Types listing is sorted into after each drive (ASCII letters compared upper-cased).
// Files are counted through a hash of the keys, and the rows sorted once when they are next
// read, so a run over any number of distinct extensions costs time in proportion to its files.
// A table belongs to one thread at a time (reading it may sort it).
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
    void setAnyLength(bool anyLength)
    {
        m_anyLength = anyLength;
        m_found.clear();
    }

    // Counts a file of size bytes under ext (upper-cased here), or in register-only mode makes
    // sure the row exists without counting anything. Longer extensions are ignored: false.
    bool insertType(QByteArrayView ext, qint64 size, bool registerOnly, qint64 allocated = 0);
    // Adds the files and bytes of every row of other, making the rows this table lacks.
    void merge(const ExtensionTable &other);
    // The same, taking other's rows where this table has none.
    void merge(ExtensionTable &&other);
    // Row index of an upper-case key, or -1.
    int findType(QByteArrayView key) const;

    int rowCount() const { return int(m_rows.size()); }
    const ExtensionRow &row(int index) const { return rows()[size_t(index)]; }
    const std::vector<ExtensionRow> &rows() const;
    void clear();
    // Puts back rows a table gave before (rows()); a key given twice is refused (false, the
    // table then empty).
    bool restore(std::vector<ExtensionRow> rows);

private:
    struct KeyHash {
        using is_transparent = void;
        size_t operator()(std::string_view key) const { return std::hash<std::string_view>()(key); }
    };
    // The index of key's row, made (empty) when it is missing.
    size_t rowOf(QByteArrayView key);
    void sortRows() const;

    mutable std::vector<ExtensionRow> m_rows;
    mutable std::unordered_map<std::string, size_t, KeyHash, std::equal_to<>> m_index;
    mutable bool m_sorted = true;
    bool m_anyLength = false;
    // The row of an extension as a file name gives it (noRow: not listed), found again without
    // a search while it repeats; forgotten whenever the rows move.
    mutable ExtensionCache<size_t> m_found;
    static constexpr size_t noRow = size_t(-1);
};
