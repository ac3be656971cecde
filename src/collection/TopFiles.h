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
// come first (by bytes) are kept.
class TopFiles {
public:
    // Whether a file would be kept now: a cheap test before anything is copied.
    bool wouldKeep(qint64 size, QByteArrayView name) const
    {
        if (size != m_floor)
            return size > m_floor;
        return m_heap.empty() || name < QByteArrayView(m_heap.front().name);
    }
    void offer(const KeptFile &file, int limit);
    void merge(const TopFiles &other, int limit);
    // Largest first; of one size, by name.
    std::vector<KeptFile> sorted() const;
    // The kept files in no particular order, without a copy.
    const std::vector<KeptFile> &unsorted() const { return m_heap; }
    int size() const { return int(m_heap.size()); }

    // a comes before b in a list: larger, or as large with a name that sorts first.
    static bool comesBefore(const KeptFile &a, const KeptFile &b);

private:
    void updateFloor(int limit);

    // A heap whose front is the file that would leave first.
    std::vector<KeptFile> m_heap;
    // The size of that file once the list is full, below every size before: most files are
    // turned away by this one number, without touching the heap.
    qint64 m_floor = -1;
};
