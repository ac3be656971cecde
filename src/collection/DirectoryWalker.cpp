#include "DirectoryWalker.h"

#include "StatAccumulators.h"
#include "common/Utility.h"
#include "drives/DriveServices.h"
#include "platform/Messages.h"
#include "platform/Volumes.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

namespace {

constexpr size_t listingBufferSize = 64 * 1024;
constexpr int folderFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;

bool isDotEntry(const char *name)
{
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

qint64 monotonicNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC_COARSE, &now);
    return qint64(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

bool sameObject(int fd, quint64 device, quint64 inode)
{
    struct stat st {};
    return ::fstat(fd, &st) == 0 && quint64(st.st_dev) == device && quint64(st.st_ino) == inode;
}

// Visits the entries of one batch of getdents64 output.
template <typename Visit> void forEachEntry(const char *buffer, long length, Visit visit)
{
    for (long offset = 0; offset < length;) {
        const auto *entry = reinterpret_cast<const dirent64 *>(buffer + offset);
        offset += entry->d_reclen;
        if (!visit(entry->d_name, entry->d_type))
            return;
    }
}

} // namespace

DirectoryWalker::DirectoryWalker(StatAccumulators &stats)
    : m_stats(stats), m_buffer(listingBufferSize)
{
}

void DirectoryWalker::setStopFlags(const std::atomic<bool> *abortRequested,
                                   const std::atomic<bool> *terminating)
{
    m_abortRequested = abortRequested;
    m_terminating = terminating;
}

void DirectoryWalker::setPump(std::function<void()> pump, int intervalMs)
{
    m_pump = std::move(pump);
    m_pumpIntervalNs = qint64(intervalMs) * 1'000'000;
}

bool DirectoryWalker::stopRequested() const
{
    return (m_abortRequested && m_abortRequested->load(std::memory_order_relaxed)) ||
           (m_terminating && m_terminating->load(std::memory_order_relaxed));
}

void DirectoryWalker::maybePump()
{
    if (!m_pump)
        return;
    const qint64 now = monotonicNs();
    if (now - m_lastPumpNs >= m_pumpIntervalNs) {
        m_lastPumpNs = now;
        m_pump();
    }
}

DirectoryWalker::Outcome DirectoryWalker::ScanAllDrives(const QString &currentDrive)
{
    if (currentDrive.isEmpty() || !isDriveReady(currentDrive[0]))
        return Outcome::NotReady;
    const std::optional<DriveInfo> drive = Volumes::current().drive(currentDrive[0]);
    if (!drive)
        return Outcome::NotReady;
    const Outcome outcome = walkFolder(drive->mountPoint, QFile::decodeName(drive->mountPoint));
    if (outcome == Outcome::CannotOpen)
        Messages::current().errorBox(QStringLiteral("Can't open drive ") + currentDrive);
    return outcome;
}

long DirectoryWalker::readEntries(int fd)
{
    return long(::getdents64(fd, m_buffer.data(), m_buffer.size()));
}

bool DirectoryWalker::isAncestor(quint64 device, quint64 inode) const
{
    for (const Frame &frame : m_stack)
        if (frame.device == device && frame.inode == inode)
            return true;
    return false;
}

bool DirectoryWalker::listFolder(int fd, Frame &frame)
{
    for (;;) {
        const long length = readEntries(fd);
        if (length <= 0)
            return length == 0;
        forEachEntry(m_buffer.data(), length, [&](const char *name, unsigned char type) {
            if (isDotEntry(name))
                return true;
            if (type != DT_DIR)
                frame.fileNames.append(name, std::strlen(name) + 1);
            // Hidden folders are left out by name; only folders are examined further.
            if (name[0] == '.' || (type != DT_DIR && type != DT_UNKNOWN))
                return true;
            if (!DirListing::describeEntry(fd, name, m_mount, m_entry))
                return true;
            if ((m_entry.attributes & (faDirectory | faSystem)) == faDirectory &&
                !isAncestor(m_entry.device, m_entry.inode))
                frame.subfolders.emplace_back(name);
            return true;
        });
    }
}

bool DirectoryWalker::scanfiles(int fd, const Frame &frame)
{
    bool complete = true;
    const char *name = frame.fileNames.data();
    const char *const end = name + frame.fileNames.size();
    for (; name < end; name += std::strlen(name) + 1) {
        if (stopRequested())
            return complete;
        if (DirListing::describeEntry(fd, name, m_mount, m_entry)) {
            if (classifyEntry(m_entry) == ekFile) {
                m_stats.crunchNumbers(frame.dirText, m_entry);
                ++m_stats.filesProcessed;
            }
        } else if (errno != ENOENT) {
            // Listed but not to be examined: a folder without search permission.
            complete = false;
        }
        maybePump();
    }
    return complete;
}

int DirectoryWalker::enterSubfolder(int fd, const QByteArray &name, DirEntry &self)
{
    const int child = ::openat(fd, name.constData(), folderFlags | O_NOFOLLOW);
    if (child < 0) {
        // Gone or replaced since the listing is no failure to read.
        if (errno != ENOENT && errno != ENOTDIR && errno != ELOOP)
            ++m_unreadableFolders;
        return -1;
    }
    // The folder may have been swapped for a mount point since it was listed.
    if (!DirListing::describeEntry(child, "", m_mount, self) || self.attributes & faSystem ||
        isAncestor(self.device, self.inode)) {
        ::close(child);
        return -1;
    }
    return child;
}

int DirectoryWalker::reopenFrame(const QByteArray &rootPath, size_t depth)
{
    int fd = ::open(rootPath.constData(), folderFlags);
    if (fd < 0 || !sameObject(fd, m_stack[0].device, m_stack[0].inode)) {
        if (fd >= 0)
            ::close(fd);
        return -1;
    }
    for (size_t level = 1; level <= depth; ++level) {
        const Frame &frame = m_stack[level];
        const int child = ::openat(fd, frame.name.constData(), folderFlags | O_NOFOLLOW);
        ::close(fd);
        if (child < 0)
            return -1;
        if (!sameObject(child, frame.device, frame.inode)) {
            ::close(child);
            return -1;
        }
        fd = child;
    }
    return fd;
}

DirectoryWalker::Outcome DirectoryWalker::walkFolder(const QByteArray &rootPath,
                                                     const QString &displayRoot)
{
    int fd = ::open(rootPath.constData(), folderFlags);
    if (fd < 0)
        return Outcome::CannotOpen;
    struct stat rootStat {};
    if (::fstat(fd, &rootStat) != 0 || !DirListing::identifyMount(fd, m_mount)) {
        ::close(fd);
        return Outcome::CannotOpen;
    }

    m_stack.clear();
    m_stack.emplace_back(QByteArray(), rootStat.st_dev, rootStat.st_ino, displayRoot);
    m_stack.back().unlisted = !listFolder(fd, m_stack.back());

    while (!m_stack.empty()) {
        Frame &top = m_stack.back();
        if (fd >= 0 && !stopRequested() && top.next < top.subfolders.size()) {
            const QByteArray name = top.subfolders[top.next++];
            DirEntry self;
            const int child = enterSubfolder(fd, name, self);
            if (child < 0)
                continue;
            QString dirText = top.dirText;
            if (!dirText.endsWith(u'/'))
                dirText += u'/';
            dirText += QFile::decodeName(name);
            ::close(fd);
            fd = child;
            m_stack.emplace_back(name, self.device, self.inode, std::move(dirText));
            m_stack.back().unlisted = !listFolder(fd, m_stack.back());
            continue;
        }

        bool readable = fd >= 0 && !top.unlisted;
        if (fd >= 0)
            readable = scanfiles(fd, top) && readable;
        if (!readable)
            ++m_unreadableFolders;
        if (m_stack.size() == 1)
            break;

        // Back up to the parent, which must still be the folder we came from.
        const Frame &parent = m_stack[m_stack.size() - 2];
        int parentFd = fd >= 0 ? ::openat(fd, "..", folderFlags) : -1;
        if (parentFd >= 0 && !sameObject(parentFd, parent.device, parent.inode)) {
            ::close(parentFd);
            parentFd = -1;
        }
        if (parentFd < 0)
            parentFd = reopenFrame(rootPath, m_stack.size() - 2);
        if (fd >= 0)
            ::close(fd);
        fd = parentFd;
        m_stack.pop_back();
    }
    if (fd >= 0)
        ::close(fd);
    m_stack.clear();
    return Outcome::Walked;
}
