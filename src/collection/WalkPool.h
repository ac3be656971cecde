#pragma once

#include "platform/DirListing.h"

#include <QByteArray>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <vector>

// A folder of the walk, as its identity was recorded when it was entered.
struct FolderStep {
    QByteArray name; // empty for the walk's root
    quint64 device = 0;
    quint64 inode = 0;
    MountIdentity mount;  // the mount the folder is on
    quint32 folderId = 0; // its record, when the run keeps folder records
};

// Work handed from one worker to another. The folders from the walk's root down to the folder
// the work lies in are checked again when the receiver reopens them. Subfolders: a share of that
// folder's subfolders not entered yet, walked one after the other (no ancestors and no names:
// the walk's root). Files: a slice of the names of a large folder's listing, examined and
// counted by the receiver as the folder's own.
struct WalkTask {
    enum Kind { Subfolders, Files };
    Kind kind = Subfolders;
    std::vector<FolderStep> ancestors;
    std::vector<QByteArray> names;
};

// What the workers of one walk share: the folders waiting for a worker, who is idle, the stop
// request and the status text of the moment. A worker walks on its own and hands a folder over
// only while another worker waits for one, so hand-overs are few.
class WalkPool {
public:
    // Without statusShown, no status text is asked for before the first requestStatus.
    WalkPool(int workers, const std::atomic<bool> *abortRequested,
             const std::atomic<bool> *terminating, bool statusShown = true);

    // Blocks until there is a folder to walk (true) or the walk is over (false): every worker
    // idle with nothing queued, or a stop.
    bool take(WalkTask &task);
    // True while some worker waits for a folder; cheap enough to ask before every folder.
    bool wantsWork() const { return m_wanted.load(std::memory_order_relaxed) > 0; }
    void give(WalkTask task);

    // A stop flag is raised: read before every entry.
    bool stopRequested() const
    {
        return (m_abortRequested && m_abortRequested->load(std::memory_order_relaxed)) ||
               (m_terminating && m_terminating->load(std::memory_order_relaxed));
    }
    // Ends the walk for every worker; called by a worker that saw a stop flag.
    void stop();

    // A btrfs subvolume (by its device number) is walked once, however many ways lead to it:
    // true for the first claim.
    bool claimSubvolume(quint64 device);

    // A worker's thread is over.
    void workerDone();
    // Waits up to timeoutMs for every worker to be over; true when they are.
    bool waitFinished(int timeoutMs);

    // The status text: the pump asks for one, the next worker that meets a file answers.
    bool statusWanted() const { return m_statusWanted.load(std::memory_order_relaxed); }
    bool claimStatus() { return m_statusWanted.exchange(false, std::memory_order_relaxed); }
    void publishStatus(QString text);
    std::optional<QString> takeStatus();
    void requestStatus() { m_statusWanted.store(true, std::memory_order_relaxed); }

private:
    void updateWanted();

    const std::atomic<bool> *m_abortRequested;
    const std::atomic<bool> *m_terminating;
    const int m_workers;
    std::mutex m_mutex;
    std::condition_variable m_workChanged; // workers wait here
    std::condition_variable m_finished;    // the calling thread waits here
    std::deque<WalkTask> m_tasks;
    int m_idle = 0;
    int m_running;
    bool m_over = false;
    std::atomic<int> m_wanted{0};
    std::atomic<bool> m_statusWanted{true};
    std::optional<QString> m_status;
    std::vector<quint64> m_subvolumes;
};
