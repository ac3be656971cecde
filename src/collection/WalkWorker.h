#pragma once

#include "FileIdentity.h"
#include "FileLists.h"
#include "LinkedFiles.h"
#include "SkipPatterns.h"
#include "StatAccumulators.h"
#include "UnreadableFolders.h"
#include "WalkPool.h"
#include "platform/DirListing.h"

#include <QByteArray>
#include <QSet>
#include <QString>

#include <atomic>
#include <functional>
#include <string>
#include <vector>

// What every worker of one walk knows of the walk's root.
struct WalkRoot {
    QByteArray path;
    QString displayText;
    quint64 device = 0;
    quint64 inode = 0;
    MountIdentity mount;
    // On btrfs, the mounts of the root's file system: subvolumes mounted inside the drive are
    // walked as part of it. Empty on any other file system.
    QList<quint64> btrfsMounts;
    bool onBtrfs() const { return !btrfsMounts.isEmpty(); }
};

// One thread of a walk. It takes folders from the pool and walks each depth first with one
// folder open at a time (down with openat, back up with openat("..") checked against the
// recorded identity, reopened from the root by names if that fails), folding every file into
// its own accumulators. Each entry is examined once; a folder's files are counted as it is
// listed, its subfolders entered afterwards. No path text is kept per level: the current
// folder's text is built only when the status line asks for it.
class WalkWorker {
public:
    // With runLists keeping files, the worker keeps its own lists (merged at the end) and
    // records every folder it enters in runLists' folder records.
    // links: where the files with several names of the whole run are counted once.
    WalkWorker(WalkPool &pool, const WalkRoot &root, const StatAccumulators &runStats,
               FileLists *runLists = nullptr, LinkedFiles *links = nullptr);

    // The thread's body: walks folders until the pool says the walk is over.
    void run();

    // Called for every file before it is counted, on this worker's thread (a test seam).
    void setFileObserver(const std::function<void(const DirEntry &)> *observer)
    {
        m_fileObserver = observer;
    }

    StatAccumulators stats;
    FileLists lists;
    UnreadableFolders unreadable;
    // The files met so far, readable from any thread while the walk runs.
    std::atomic<qint64> filesSeen{0};

private:
    struct Frame {
        Frame(QByteArray folderName, quint64 folderDevice, quint64 folderInode,
              const MountIdentity &folderMount, quint32 record)
            : name(std::move(folderName)), device(folderDevice), inode(folderInode),
              mount(folderMount), folderId(record)
        {
        }
        QByteArray name;
        quint64 device = 0;
        quint64 inode = 0;
        MountIdentity mount; // the mount the folder is on
        // The folders to enter, in listing order; those from next on are still to come.
        std::vector<QByteArray> subfolders;
        size_t next = 0;
        bool complete = true; // listed, and every entry examined
        int error = 0;        // why it was not, as errno
        quint32 folderId = 0; // its folder record, when folders are recorded
        // The files counted in it, for its record.
        FolderRecords::Contents contents;
    };
    void walkTask(const WalkTask &task);
    // Stands on the folder the task lies in: the root entered, or the ancestors pushed and the
    // last reopened; its descriptor, or -1 after noting what cannot be read.
    int openTask(const WalkTask &task);
    // Examines and counts the names of a slice of the folder open as fd, the stack's top.
    void countSlice(int fd, const std::vector<QByteArray> &names);
    // Examines one listed entry of the folder fd: a file is counted, a subfolder noted in frame.
    void examine(int fd, const char *name, unsigned char type, Frame &frame);
    // Steps into a folder entered now: recorded below parentRecord when folders are recorded.
    void enterFrame(QByteArray name, quint64 device, quint64 inode, const MountIdentity &mount,
                    quint32 parentRecord);
    void pushFrame(QByteArray name, quint64 device, quint64 inode, const MountIdentity &mount,
                   quint32 record);
    void popFrame();
    // Lists the folder, counting its files and noting its subfolders in frame.
    void listFolder(int fd, Frame &frame);
    void countFile();
    // Opens the folder name of fd, the folder parent; -1 when it cannot be entered or is not
    // to be. self describes the folder entered, mount the mount it is on.
    int enterSubfolder(int fd, const QByteArray &name, const Frame &parent, DirEntry &self,
                       MountIdentity &mount);
    // Opens the folder at depth of the stack again, from the root by its names.
    int reopenFrame(size_t depth);
    // Opens the stack's top again from fd, a folder levels below it; from the root when that
    // fails or the top is no longer the folder it was.
    int reopenAbove(int fd, size_t levels);
    static bool hasSubfoldersLeft(const Frame &frame)
    {
        return frame.next < frame.subfolders.size();
    }
    // Hands a waiting worker a share of the subfolders of the shallowest folder with any left.
    void offerWork();
    // Hands a waiting worker the files among the entries of a listing chunk from at on.
    // Whether a subfolder of that name is entered (hidden folders, the user's skip patterns).
    bool entersFolder(const char *name);
    void offerSlice(char *chunk, long at, long length);
    void answerStatus();
    // The stack's folder as the status line shows it. The text of the levels still on the
    // stack is kept from the last time, so a deep folder costs only the levels entered since.
    QString folderText();
    // The path of the folder at depth of the stack (0: the task's first), with name below it
    // when given; built only for a folder that cannot be read.
    QByteArray folderPath(size_t depth, const QByteArray &name = QByteArray()) const;
    void noteUnreadable(QByteArray path, int error);

    WalkPool &m_pool;
    const WalkRoot &m_root;
    const std::function<void(const DirEntry &)> *m_fileObserver = nullptr;
    FolderRecords *m_folders = nullptr;
    bool m_folderFiles = true; // the folders' records keep their largest files
    bool m_enterHidden = false;
    SkipPatterns m_skip;
    FileRows m_rows;
    std::vector<Frame> m_stack;
    // Subfolders listed and not entered yet, on every level: the work this worker could spare.
    size_t m_spare = 0;
    QSet<FileIdentity> m_ancestors;
    std::vector<char> m_buffer;
    DirEntry m_entry;
    QString m_folderText;
    // Where the text of each level of the stack ends in m_folderText, for the levels it holds.
    std::vector<qsizetype> m_folderTextEnds;
};
