#pragma once

#include <QByteArray>

#include <QByteArrayView>

#include <deque>
#include <mutex>
#include <vector>

// One small record per folder a run entered: its parent, its name, and of the files counted in
// it their number, bytes, space on disk and the largest few by name. Workers add to it from
// their threads; a folder's id is larger than its parent's, because a folder is entered only
// after its parent.
class FolderRecords {
public:
    static constexpr quint32 noParent = 0xFFFFFFFFu;
    // The files of a folder kept by name; the rest are summed.
    static constexpr size_t keptFilesPerFolder = 12;

    struct File {
        QByteArray name;
        qint64 size = 0;
        qint64 allocated = 0;
    };
    // What a folder holds of its own (not below it).
    struct Contents {
        qint64 files = 0;
        qint64 bytes = 0;
        qint64 allocated = 0;
        std::vector<File> largest; // at most keptFilesPerFolder, largest first
        // Takes in a counted file, keeping the largest by size (then name). A name kept shares
        // the caller's bytes until either changes them.
        void add(const QByteArray &name, qint64 size, qint64 allocated);
        // Takes in a counted file's sums alone.
        void count(qint64 size, qint64 allocatedBytes)
        {
            ++files;
            bytes += size;
            allocated += allocatedBytes;
        }
        void merge(Contents &&other);
    };

    struct Total {
        quint32 folder = 0;
        qint64 bytes = 0;     // of every counted file beneath it
        qint64 allocated = 0; // the space they take on disk
    };

    // A walk's root takes its whole path as name and noParent.
    quint32 add(quint32 parent, const QByteArray &name);
    // Takes in the files a worker counted in the folder (several may, in slices).
    void addContents(quint32 folder, Contents &&contents);
    // Without withFiles, only its number of files, bytes and space on disk.
    Contents contentsOf(quint32 folder, bool withFiles = true) const;

    // The rest is for after the walks.
    QByteArray path(quint32 folder) const { return joinedPath(folder, nullptr); }
    // The path of a file named leaf in the folder, built in one piece.
    QByteArray path(quint32 folder, QByteArrayView leaf) const { return joinedPath(folder, &leaf); }
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
    QByteArray joinedPath(quint32 folder, const QByteArrayView *leaf) const;

    struct Record {
        quint32 parent;
        qint64 bytes;
        qint64 allocated;
        QByteArray name;
        qint64 files = 0;
        std::vector<File> largest;
    };
    mutable std::mutex m_mutex;
    std::deque<Record> m_records; // grows without moving what it holds
};
