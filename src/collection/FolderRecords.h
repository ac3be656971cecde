#pragma once

#include <QByteArray>

#include <mutex>
#include <vector>

// One small record per folder a run entered: its parent, its name and the bytes of the files
// counted in it. Workers add to it from their threads; a folder's id is larger than its
// parent's, because a folder is entered only after its parent.
class FolderRecords {
public:
    static constexpr quint32 noParent = 0xFFFFFFFFu;

    struct Total {
        quint32 folder = 0;
        qint64 bytes = 0;     // of every counted file beneath it
        qint64 allocated = 0; // the space they take on disk
    };

    // A walk's root takes its whole path as name and noParent.
    quint32 add(quint32 parent, const QByteArray &name);
    void addBytes(quint32 folder, qint64 bytes, qint64 allocated = 0);

    // The rest is for after the walks.
    QByteArray path(quint32 folder) const;
    // The folder's parent (noParent for a root) and its own name.
    quint32 parentOf(quint32 folder) const;
    QByteArray nameOf(quint32 folder) const;
    quint32 count() const;
    // The n folders below root (root itself left out) holding the most bytes; of equal
    // totals, the one entered first.
    std::vector<Total> largestBelow(quint32 root, int n) const;
    void clear();
    void swap(FolderRecords &other);

private:
    struct Record {
        quint32 parent;
        qint64 bytes;
        qint64 allocated;
        QByteArray name;
    };
    mutable std::mutex m_mutex;
    std::vector<Record> m_records;
};
