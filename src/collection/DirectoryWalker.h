#pragma once

#include "LinkedFiles.h"
#include "UnreadableFolders.h"

#include <QByteArray>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

class FileLists;
class StatAccumulators;
class WalkPool;
class WalkWorker;
struct DirEntry;

// Walks a drive and hands every file to the accumulators. Workers on their own threads (as many
// as the cores by default) share the folders out, each walking depth first with one folder open
// at a time and its own accumulators, which are merged into the run's when the walk ends; the
// tables are the same whatever the number of workers. The calling thread meanwhile runs the
// pump on a timer and shows the status text, so a window stays alive however the tree is
// shaped. Hidden folders (unless the run's options enter them), and folders of other mounts (bind
// mounts included) or that repeat an ancestor, are not entered; hidden files are counted. Folders
// that cannot be entered or listed are skipped and kept with their reason. It raises no message:
// what became of a walk is its outcome, for the caller to say.
class DirectoryWalker {
public:
    enum class Outcome { Walked, NotReady, CannotOpen };

    explicit DirectoryWalker(StatAccumulators &stats);
    ~DirectoryWalker();

    // Flags, read before every entry, that stop the walk: the workers unwind without visiting
    // anything new, and what they counted is kept. Not owned; either may be null.
    void setStopFlags(const std::atomic<bool> *abortRequested,
                      const std::atomic<bool> *terminating);
    // Called on the calling thread every intervalMs while a walk runs, to keep windows alive.
    void setPump(std::function<void()> pump, int intervalMs = 15);
    // A stop flag is raised.
    bool stopRequested() const
    {
        return (m_abortRequested && *m_abortRequested) || (m_terminating && *m_terminating);
    }
    // Workers of the next walks; 0 or less: one per core.
    void setThreads(int threads);
    int threads() const { return m_threads; }
    // Called for every file before it is counted, on the worker's thread (a test seam).
    void setFileObserver(std::function<void(const DirEntry &)> observer);
    // Where the next walks keep the largest files of every row and the largest folders of
    // every target, as lists' limit says; null or a limit of 0 keeps none. Not owned.
    void setFileLists(FileLists *lists) { m_lists = lists; }

    // Walks the drive of the drive row (its first character is the letter) from its root; a
    // drive that is not ready is passed over.
    Outcome ScanAllDrives(const QString &currentDrive);
    // Walks the folder rootPath as if it were a drive root; displayRoot names it in status texts,
    // target (displayRoot when empty) in the largest folders of the lists.
    Outcome walkFolder(const QByteArray &rootPath, const QString &displayRoot,
                       const QString &target = QString());

    // Why the last walk that could not open its root could not (errno).
    int lastError() const { return m_lastError; }
    // Folders of the walks so far that could not be entered or listed.
    const UnreadableFolders &unreadable() const { return m_unreadable; }
    qint64 unreadableFolders() const { return m_unreadable.count(); }
    void clearUnreadable() { m_unreadable.clear(); }
    // A new run: files with several names are counted once again from here on.
    void clearLinkedFiles() { m_links.clear(); }
    // Files met so far, the running walk's included; for progress shown by the pump.
    qint64 filesSoFar() const;

private:
    void pumpOnce(WalkPool &pool);
    // The file descriptors this process may still open.
    static int descriptorsLeft();

    StatAccumulators &m_stats;
    const std::atomic<bool> *m_abortRequested = nullptr;
    const std::atomic<bool> *m_terminating = nullptr;
    std::function<void()> m_pump;
    int m_pumpIntervalMs = 15;
    int m_threads;
    std::function<void(const DirEntry &)> m_fileObserver;
    UnreadableFolders m_unreadable;
    LinkedFiles m_links;
    int m_lastError = 0;
    FileLists *m_lists = nullptr;
    std::vector<std::unique_ptr<WalkWorker>> m_workers;
};
