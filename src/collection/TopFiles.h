#pragma once

#include "platform/PackedFileDate.h"

#include <QByteArray>

#include <vector>

// A file kept in a list: its name and the folder it is in (an id of the run's FolderRecords),
// never its whole path, so that a list costs the same however deep the files lie.
struct KeptFile {
    QByteArray name;
    quint32 folder = 0;
    quint32 attributes = 0;
    qint64 size = 0;
    qint64 allocated = 0; // on disk
    PackedFileDate accessed = 0;
    PackedFileDate created = 0;
    PackedFileDate modified = 0;
};

// The largest files offered, at most limit of them; of files of one size, those whose names
// come first (by bytes) are kept. A list belongs to one thread at a time (reading it may trim it).
class TopFiles {
public:
    // Whether a file would be kept now: a cheap test before anything is copied.
    bool wouldKeep(qint64 size, QByteArrayView name) const
    {
        if (size != m_floorSize)
            return size > m_floorSize;
        return name < QByteArrayView(m_floorName);
    }
    void offer(const KeptFile &file, int limit);
    void merge(const TopFiles &other, int limit);
    // Largest first; of one size, by name.
    std::vector<KeptFile> sorted() const;
    // The kept files in no particular order, without a copy.
    const std::vector<KeptFile> &unsorted() const;
    int size() const { return int(unsorted().size()); }

    // a comes before b in a list: larger, or as large with a name that sorts first.
    static bool comesBefore(const KeptFile &a, const KeptFile &b);

private:
    // Keeps the limit files that come first, and makes the last of them the floor.
    void trim() const;

    // Files taken in since the last trim sit beside the kept ones, up to twice the limit: a
    // file taken in costs one copy, and a trim a partition of the list, instead of a reordered
    // heap for every file.
    mutable std::vector<KeptFile> m_files;
    size_t m_limit = 0;
    // The last file kept at the last trim: files that do not come before it are turned away by
    // its size alone, most without touching the list. -1: nothing turned away yet.
    mutable qint64 m_floorSize = -1;
    mutable QByteArray m_floorName;
};
