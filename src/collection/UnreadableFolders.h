#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

// The folders a run could not open or list, each with the reason the system gave. Bounded: the
// first folders by path are kept (at most keptLimit), the rest only counted, so that a run over
// a tree it may not read costs no more than one that reads it all. The same whatever the number
// of workers: each keeps its own, merged when the walk ends. Beside them, the number of folders
// the user's skip patterns left out, said alongside.
class UnreadableFolders {
public:
    static constexpr size_t keptLimit = 1000;

    struct Folder {
        QByteArray path; // the file system's bytes
        int error = 0;   // errno
        QString reason() const;
        bool operator==(const Folder &) const = default;
    };

    void add(QByteArray path, int error);
    void merge(const UnreadableFolders &other);
    void clear();

    // Every folder met, kept or not.
    qint64 count() const { return m_count; }
    void addSkipped() { ++m_skipped; }
    qint64 skipped() const { return m_skipped; }
    void restoreSkipped(qint64 skipped) { m_skipped = skipped; }
    // The kept ones in order of path.
    const std::vector<Folder> &folders() const;

    // For an archive read back: folders as kept, and the count of all.
    void restore(std::vector<Folder> folders, qint64 count);

private:
    void trim() const;

    mutable std::vector<Folder> m_folders;
    mutable bool m_sorted = true;
    qint64 m_count = 0;
    qint64 m_skipped = 0;
};
