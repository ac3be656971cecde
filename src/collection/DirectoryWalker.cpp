#include "DirectoryWalker.h"

#include "FileLists.h"
#include "StatAccumulators.h"
#include "WalkPool.h"
#include "WalkWorker.h"
#include "drives/DriveServices.h"
#include "platform/LinuxVolumes.h"
#include "platform/MountTable.h"
#include "platform/Volumes.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <limits>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

DirectoryWalker::DirectoryWalker(StatAccumulators &stats) : m_stats(stats)
{
    setThreads(0);
}

DirectoryWalker::~DirectoryWalker() = default;

void DirectoryWalker::setStopFlags(const std::atomic<bool> *abortRequested,
                                   const std::atomic<bool> *terminating)
{
    m_abortRequested = abortRequested;
    m_terminating = terminating;
}

void DirectoryWalker::setPump(std::function<void()> pump, int intervalMs)
{
    m_pump = std::move(pump);
    m_pumpIntervalMs = std::max(intervalMs, 1);
}

void DirectoryWalker::setThreads(int threads)
{
    m_threads = threads > 0 ? threads : int(std::max(1u, std::thread::hardware_concurrency()));
}

void DirectoryWalker::setFileObserver(std::function<void(const DirEntry &)> observer)
{
    m_fileObserver = std::move(observer);
}

qint64 DirectoryWalker::filesSoFar() const
{
    qint64 files = m_stats.filesProcessed;
    for (const auto &worker : m_workers)
        files += worker->filesSeen.load(std::memory_order_relaxed);
    return files;
}

DirectoryWalker::Outcome DirectoryWalker::ScanAllDrives(const QString &currentDrive)
{
    if (currentDrive.isEmpty() || !isDriveReady(currentDrive[0]))
        return Outcome::NotReady;
    const std::optional<DriveInfo> drive = Volumes::current().drive(currentDrive[0]);
    if (!drive)
        return Outcome::NotReady;
    return walkFolder(drive->mountPoint, QFile::decodeName(drive->mountPoint), currentDrive);
}

void DirectoryWalker::pumpOnce(WalkPool &pool)
{
    if (std::optional<QString> folder = pool.takeStatus())
        m_stats.showStatus(*folder);
    // A folder's text costs a name per level: built only for someone who is shown it.
    if (m_stats.showsStatus())
        pool.requestStatus();
    if (m_pump)
        m_pump();
}

int DirectoryWalker::descriptorsLeft()
{
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return std::numeric_limits<int>::max();
    int open = 0;
    if (DIR *fds = ::opendir("/proc/self/fd")) {
        while (::readdir(fds))
            ++open;
        ::closedir(fds);
    }
    // A few are kept for what else the program opens meanwhile (the status, a settings file).
    return std::max(0, int(std::min<rlim_t>(limit.rlim_cur, 1 << 20)) - open - 4);
}

DirectoryWalker::Outcome DirectoryWalker::walkFolder(const QByteArray &rootPath,
                                                     const QString &displayRoot,
                                                     const QString &target)
{
    WalkRoot root;
    root.path = rootPath;
    root.displayText = displayRoot;
    {
        const int fd = ::open(rootPath.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) {
            m_lastError = errno;
            return Outcome::CannotOpen;
        }
        struct stat rootStat {};
        const bool known = ::fstat(fd, &rootStat) == 0 && DirListing::identifyMount(fd, root.mount);
        m_lastError = errno;
        ::close(fd);
        if (!known)
            return Outcome::CannotOpen;
        root.device = rootStat.st_dev;
        root.inode = rootStat.st_ino;
    }
    if (root.mount.hasMountId)
        root.btrfsMounts =
            MountTable::btrfsMountsOf(LinuxVolumes::systemMounts(), root.mount.mountId);

    // A worker holds up to three folders open at once; no more workers than the descriptors
    // left allow, so that none waits on another for one.
    const int workers = std::clamp(descriptorsLeft() / 3, 1, m_threads);
    WalkPool pool(workers, m_abortRequested, m_terminating, m_stats.showsStatus());
    if (root.onBtrfs())
        pool.claimSubvolume(root.device);
    m_workers.clear();
    FileLists *lists = m_lists && m_lists->recordsFolders() ? m_lists : nullptr;
    const quint32 rootRecord = lists ? lists->folders().count() : 0;
    for (int i = 0; i < workers; ++i) {
        m_workers.push_back(std::make_unique<WalkWorker>(pool, root, m_stats, lists, &m_links));
        m_workers.back()->setFileObserver(&m_fileObserver);
    }
    pool.give(WalkTask{});
    std::vector<std::thread> threads;
    threads.reserve(m_workers.size());
    for (const auto &worker : m_workers)
        threads.emplace_back(&WalkWorker::run, worker.get());
    while (!pool.waitFinished(m_pumpIntervalMs))
        pumpOnce(pool);
    for (std::thread &thread : threads)
        thread.join();

    if (std::optional<QString> folder = pool.takeStatus())
        m_stats.showStatus(*folder);
    for (const auto &worker : m_workers) {
        m_stats.merge(std::move(worker->stats));
        m_unreadable.merge(worker->unreadable);
        if (lists)
            lists->merge(worker->lists);
    }
    if (lists && lists->folders().count() > rootRecord)
        lists->addTarget(target.isEmpty() ? displayRoot : target, rootRecord);
    m_workers.clear();
    return Outcome::Walked;
}
