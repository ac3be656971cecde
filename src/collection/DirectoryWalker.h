#pragma once

#include "platform/DirListing.h"

#include <QByteArray>
#include <QString>

#include <atomic>
#include <functional>
#include <string>
#include <vector>

class StatAccumulators;

// Walks a drive depth first and hands every file to the accumulators: in each folder the
// subfolders first, each completely, then the folder's own files. Hidden folders, and folders of
// other mounts (bind mounts included) or that repeat an ancestor, are not entered; hidden files
// are counted. Folders that cannot be entered or listed are skipped. The walk holds one folder
// open at a time, so no depth of tree runs it out of descriptors, and it builds no path per file.
class DirectoryWalker {
public:
    enum class Outcome { Walked, NotReady, CannotOpen };

    explicit DirectoryWalker(StatAccumulators &stats);

    // Flags, read before every entry, that stop the walk: the walk unwinds without visiting
    // anything new. Not owned; either may be null.
    void setStopFlags(const std::atomic<bool> *abortRequested,
                      const std::atomic<bool> *terminating);
    // Called during a walk at most every intervalMs, to keep windows alive.
    void setPump(std::function<void()> pump, int intervalMs = 15);

    // Walks the drive of the drive row (its first character is the letter) from its root. A drive
    // that is not ready is passed over silently; a root that cannot be opened is reported in an
    // error box, "Can't open drive " and the row.
    Outcome ScanAllDrives(const QString &currentDrive);
    // Walks the folder rootPath as if it were a drive root; displayRoot names it in status texts.
    Outcome walkFolder(const QByteArray &rootPath, const QString &displayRoot);

    // Folders of the walks so far that could not be entered or listed.
    qint64 unreadableFolders() const { return m_unreadableFolders; }

private:
    struct Frame {
        Frame(QByteArray folderName, quint64 folderDevice, quint64 folderInode, QString text)
            : name(std::move(folderName)), device(folderDevice), inode(folderInode),
              dirText(std::move(text))
        {
        }
        QByteArray name;
        quint64 device = 0;
        quint64 inode = 0;
        QString dirText;
        std::vector<QByteArray> subfolders;
        size_t next = 0;
        // Names of the entries that are not folders, each ended by a zero byte: the file pass
        // works from the one listing, so a folder is read once however many folders it holds.
        std::string fileNames;
        bool unlisted = false; // its folders could not be listed
    };

    bool stopRequested() const;
    void maybePump();
    // Reads the next batch of entries of fd into m_buffer; bytes read, 0 at the end, -1 on error.
    long readEntries(int fd);
    // Lists the folder: the folders to enter, in listing order, and the other entries for the
    // file pass. False when listing failed.
    bool listFolder(int fd, Frame &frame);
    // The file pass: every file of the folder to the accumulators. False when some of the
    // folder could not be examined.
    bool scanfiles(int fd, const Frame &frame);
    bool isAncestor(quint64 device, quint64 inode) const;
    // Opens the folder name of fd; -1 when it cannot be entered or is not to be. self describes
    // the folder entered.
    int enterSubfolder(int fd, const QByteArray &name, DirEntry &self);
    int reopenFrame(const QByteArray &rootPath, size_t depth);

    StatAccumulators &m_stats;
    const std::atomic<bool> *m_abortRequested = nullptr;
    const std::atomic<bool> *m_terminating = nullptr;
    std::function<void()> m_pump;
    qint64 m_pumpIntervalNs = 15'000'000;
    qint64 m_lastPumpNs = 0;
    MountIdentity m_mount;
    std::vector<Frame> m_stack;
    std::vector<char> m_buffer;
    DirEntry m_entry;
    qint64 m_unreadableFolders = 0;
};
