#include "WalkWorker.h"

#include "common/FileNameText.h"
#include "common/Utility.h"

#include <QFile>
#include <QLoggingCategory>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcWalk, "quillix.walk", QtWarningMsg)

namespace {

constexpr size_t listingBufferSize = 64 * 1024;
constexpr int folderFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
// A folder is handed over only this close to the root, so that the receiver reopens it by
// names cheaply and the hand-over carries few ancestors.
constexpr size_t handOverDepth = 64;
// The inode number of the root folder of every btrfs subvolume.
constexpr quint64 btrfsSubvolumeRoot = 256;

bool isDotEntry(const char *name)
{
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// Opens the folder name of the folder at (AT_FDCWD for a path). Out of descriptors (other
// workers hold theirs for a moment, or the limit is low), it waits for one rather than taking
// the folder for unreadable; only after a second of waiting does it give the reason up.
int openFolder(int at, const char *name, int flags)
{
    for (int attempt = 0;; ++attempt) {
        const int fd = ::openat(at, name, flags);
        if (fd >= 0 || (errno != EMFILE && errno != ENFILE) || attempt >= 500)
            return fd;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

bool sameObject(int fd, quint64 device, quint64 inode)
{
    struct stat st {};
    return ::fstat(fd, &st) == 0 && quint64(st.st_dev) == device && quint64(st.st_ino) == inode;
}

} // namespace

WalkWorker::WalkWorker(WalkPool &pool, const WalkRoot &root, const StatAccumulators &runStats,
                       FileLists *runLists, LinkedFiles *links)
    : m_pool(pool), m_root(root), m_buffer(listingBufferSize)
{
    stats.setOptions(runStats.options());
    stats.setLinkedFiles(links);
    stats.setToday(runStats.today());
    m_enterHidden = runStats.options().enterHiddenFolders;
    m_skip = SkipPatterns(runStats.options().skipFolders);
    if (runLists && runLists->recordsFolders()) {
        lists.setLimit(runLists->limit());
        lists.setAnyLength(runStats.options().listLongExtensions);
        m_folders = &runLists->folders();
        m_folderFiles = runLists->keepsFolderFiles();
    }
}

void WalkWorker::run()
{
    WalkTask task;
    while (m_pool.take(task))
        walkTask(task);
    m_pool.workerDone();
}

void WalkWorker::enterFrame(QByteArray name, quint64 device, quint64 inode,
                            const MountIdentity &mount, quint32 parentRecord)
{
    const quint32 record =
        m_folders ? m_folders->add(parentRecord, name.isEmpty() ? m_root.path : name) : 0;
    pushFrame(std::move(name), device, inode, mount, record);
}

void WalkWorker::pushFrame(QByteArray name, quint64 device, quint64 inode,
                           const MountIdentity &mount, quint32 record)
{
    m_stack.emplace_back(std::move(name), device, inode, mount, record);
    m_ancestors.insert({device, inode});
}

void WalkWorker::popFrame()
{
    const Frame &top = m_stack.back();
    if (m_folders && top.contents.files > 0)
        m_folders->addContents(top.folderId, std::move(m_stack.back().contents));
    m_ancestors.remove({top.device, top.inode});
    m_stack.pop_back();
    if (m_folderTextEnds.size() > m_stack.size())
        m_folderTextEnds.resize(m_stack.size());
}

int WalkWorker::openTask(const WalkTask &task)
{
    if (task.ancestors.empty()) {
        const int fd = openFolder(AT_FDCWD, m_root.path.constData(), folderFlags);
        if (fd >= 0 && sameObject(fd, m_root.device, m_root.inode)) {
            DirEntry self;
            if (DirListing::describeEntry(fd, "", m_root.mount, self))
                stats.onDisk.folders += double(self.allocated);
            enterFrame(QByteArray(), m_root.device, m_root.inode, m_root.mount,
                       FolderRecords::noParent);
            return fd;
        }
        // Replaced since the run began, or gone.
        const int error = fd >= 0 ? ESTALE : errno;
        if (fd >= 0)
            ::close(fd);
        noteUnreadable(m_root.path, error);
        return -1;
    }
    // The ancestors stand on the stack: backing up past the last ends the task, and they take
    // part in the ancestor check and the folder text.
    for (const FolderStep &step : task.ancestors)
        pushFrame(step.name, step.device, step.inode, step.mount, step.folderId);
    errno = 0;
    const int fd = reopenFrame(m_stack.size() - 1);
    if (fd < 0) {
        // The folders above were moved or removed since the work was handed over.
        const int error = errno ? errno : ESTALE;
        if (task.kind == WalkTask::Files)
            noteUnreadable(folderPath(m_stack.size() - 1), error);
        else
            for (const QByteArray &name : task.names)
                noteUnreadable(folderPath(m_stack.size() - 1, name), error);
    }
    return fd;
}

void WalkWorker::walkTask(const WalkTask &task)
{
    m_spare = 0;
    int fd = openTask(task);
    if (fd >= 0 && task.kind == WalkTask::Files) {
        countSlice(fd, task.names);
        ::close(fd);
        while (!m_stack.empty())
            popFrame();
        return;
    }
    // The frame whose end ends the task: the root, or the folder whose subfolders were handed.
    const size_t last = task.ancestors.empty() ? 1 : task.ancestors.size();
    if (fd >= 0) {
        if (task.ancestors.empty())
            listFolder(fd, m_stack.back());
        else
            m_stack.back().subfolders = task.names;
        m_spare = m_stack.back().subfolders.size() - m_stack.back().next;
        // The folder just below the top, kept open while the walk is in one of its subfolders,
        // so that coming back from a folder without subfolders opens nothing.
        int parentFd = -1;
        while (!m_stack.empty()) {
            if (m_pool.stopRequested()) {
                m_pool.stop();
                break;
            }
            Frame &top = m_stack.back();
            if (fd >= 0 && hasSubfoldersLeft(top)) {
                if (m_pool.wantsWork())
                    offerWork();
                if (!hasSubfoldersLeft(top))
                    continue;
                const QByteArray name = std::move(top.subfolders[top.next++]);
                --m_spare;
                DirEntry self;
                MountIdentity mount;
                const int child = enterSubfolder(fd, name, top, self, mount);
                if (child < 0)
                    continue;
                if (parentFd >= 0)
                    ::close(parentFd);
                parentFd = fd;
                fd = child;
                stats.onDisk.folders += double(self.allocated);
                enterFrame(name, self.device, self.inode, mount, top.folderId);
                listFolder(fd, m_stack.back());
                continue;
            }

            if (m_stack.size() == last)
                break;
            if (fd < 0 || !top.complete)
                noteUnreadable(folderPath(m_stack.size() - 1), top.error ? top.error : ESTALE);
            // Back up to the parent: still open, or, when it has subfolders left to enter,
            // opened again. Folders above with none left are left as they are, unopened.
            popFrame();
            int above = parentFd;
            parentFd = -1;
            if (above < 0) {
                size_t levels = 1;
                while (m_stack.size() > last && !hasSubfoldersLeft(m_stack.back())) {
                    if (!m_stack.back().complete)
                        noteUnreadable(folderPath(m_stack.size() - 1),
                                       m_stack.back().error ? m_stack.back().error : ESTALE);
                    popFrame();
                    ++levels;
                }
                if (hasSubfoldersLeft(m_stack.back()))
                    above = reopenAbove(fd, levels);
            }
            if (fd >= 0)
                ::close(fd);
            fd = above;
        }
        if (parentFd >= 0)
            ::close(parentFd);
        // The root's own listing may have failed: said as any folder's.
        if (task.ancestors.empty() && m_stack.size() == 1 && !m_stack.back().complete)
            noteUnreadable(folderPath(0), m_stack.back().error ? m_stack.back().error : ESTALE);
    }
    if (fd >= 0)
        ::close(fd);
    while (!m_stack.empty())
        popFrame();
}

void WalkWorker::countSlice(int fd, const std::vector<QByteArray> &names)
{
    Frame &folder = m_stack.back();
    for (const QByteArray &name : names) {
        if (m_pool.stopRequested())
            return;
        examine(fd, name.constData(), DT_UNKNOWN, folder);
    }
    // Only files come in a slice; a name that turned into a folder since is left to its
    // owner's next walk.
    m_spare -= folder.subfolders.size();
    folder.subfolders.clear();
    if (!folder.complete)
        noteUnreadable(folderPath(m_stack.size() - 1), folder.error ? folder.error : ESTALE);
}

void WalkWorker::listFolder(int fd, Frame &frame)
{
    for (;;) {
        const long length = long(::getdents64(fd, m_buffer.data(), m_buffer.size()));
        if (length <= 0) {
            if (length < 0) {
                frame.complete = false;
                frame.error = errno;
            }
            return;
        }
        long examined = 0;
        for (long offset = 0; offset < length;) {
            const auto *dirent = reinterpret_cast<const dirent64 *>(m_buffer.data() + offset);
            // A large folder is shared: now and then, while another worker waits, it is given
            // the files of half the entries left in this chunk.
            if (++examined % 64 == 0 && m_pool.wantsWork() && m_stack.size() <= handOverDepth)
                offerSlice(m_buffer.data(), offset, length);
            offset += dirent->d_reclen;
            if (m_pool.stopRequested())
                return;
            examine(fd, dirent->d_name, dirent->d_type, frame);
        }
    }
}

void WalkWorker::examine(int fd, const char *name, unsigned char type, Frame &frame)
{
    if (isDotEntry(name) || name[0] == '\0')
        return;
    if (type == DT_DIR) {
        // Hidden folders are left out by name, unless the run enters them; the rest are
        // examined when entered.
        if (entersFolder(name)) {
            frame.subfolders.emplace_back(name);
            ++m_spare;
        }
        return;
    }
    if (!DirListing::describeEntry(fd, name, frame.mount, m_entry)) {
        // Gone since it was listed is no failure to read; no search permission is.
        if (errno != ENOENT) {
            frame.complete = false;
            frame.error = errno;
        }
        return;
    }
    if (m_entry.otherMount)
        return; // a file bound in from another file system is not this drive's
    if (classifyEntry(m_entry) == ekFile)
        countFile();
    else if (!(m_entry.attributes & faSystem) && entersFolder(name)) {
        frame.subfolders.emplace_back(name); // a listing that gave no entry type
        ++m_spare;
    }
}

bool WalkWorker::entersFolder(const char *name)
{
    // Hidden folders are left out by name, unless the run enters them; folders the user named
    // are left out and counted.
    if (name[0] == '.' && !m_enterHidden)
        return false;
    if (!m_skip.isEmpty() && m_skip.matches(name)) {
        unreadable.addSkipped();
        return false;
    }
    return true;
}

void WalkWorker::offerSlice(char *chunk, long at, long length)
{
    // The entries from at on: the second half's files (those the listing says are no folders)
    // go; everything else stays, blanked out of the chunk once handed over.
    std::vector<long> entries;
    for (long offset = at; offset < length;) {
        const auto *dirent = reinterpret_cast<const dirent64 *>(chunk + offset);
        entries.push_back(offset);
        offset += dirent->d_reclen;
    }
    if (entries.size() < 128)
        return;
    WalkTask task;
    task.kind = WalkTask::Files;
    for (size_t i = entries.size() / 2; i < entries.size(); ++i) {
        auto *dirent = reinterpret_cast<dirent64 *>(chunk + entries[i]);
        if (dirent->d_type == DT_DIR || dirent->d_type == DT_UNKNOWN || isDotEntry(dirent->d_name))
            continue;
        task.names.emplace_back(dirent->d_name);
        dirent->d_name[0] = '\0'; // handed over: passed by when the chunk is examined here
    }
    if (task.names.empty())
        return;
    task.ancestors.reserve(m_stack.size());
    for (const Frame &step : m_stack)
        task.ancestors.push_back({step.name, step.device, step.inode, step.mount, step.folderId});
    m_pool.give(std::move(task));
}

void WalkWorker::countFile()
{
    if (m_fileObserver && *m_fileObserver)
        (*m_fileObserver)(m_entry);
    if (stats.crunchNumbers(QString(), m_entry, m_folders ? &m_rows : nullptr) && m_folders) {
        Frame &folder = m_stack.back();
        if (m_folderFiles)
            folder.contents.add(m_entry.name, m_entry.size, m_rows.allocated);
        else
            folder.contents.count(m_entry.size, m_rows.allocated);
        if (lists.enabled())
            lists.offer(m_rows, m_entry, folder.folderId);
    }
    ++stats.filesProcessed;
    filesSeen.store(stats.filesProcessed, std::memory_order_relaxed);
    answerStatus();
}

void WalkWorker::answerStatus()
{
    if (m_pool.statusWanted() && m_pool.claimStatus())
        m_pool.publishStatus(folderText());
}

QString WalkWorker::folderText()
{
    // Shown in a status line and on a terminal: names as listings show them, so that no
    // escape sequence or turned text of a folder's name gets through.
    if (m_folderTextEnds.empty()) {
        m_folderText = printableText(m_root.displayText);
        m_folderTextEnds.push_back(m_folderText.size());
    }
    m_folderText.truncate(m_folderTextEnds.back());
    for (size_t level = m_folderTextEnds.size(); level < m_stack.size(); ++level) {
        if (!m_folderText.endsWith(u'/'))
            m_folderText += u'/';
        m_folderText += printableFileName(m_stack[level].name);
        m_folderTextEnds.push_back(m_folderText.size());
    }
    // A copy of its own: the kept text is written again while another thread shows this one.
    return QString(m_folderText.constData(), m_folderText.size());
}

QByteArray WalkWorker::folderPath(size_t depth, const QByteArray &name) const
{
    QByteArray path = m_root.path;
    auto append = [&path](const QByteArray &part) {
        if (!path.endsWith('/'))
            path += '/';
        path += part;
    };
    for (size_t level = 1; level <= depth && level < m_stack.size(); ++level)
        append(m_stack[level].name);
    if (!name.isEmpty())
        append(name);
    return path;
}

void WalkWorker::noteUnreadable(QByteArray path, int error)
{
    qCInfo(lcWalk) << "cannot read" << QFile::decodeName(path) << std::strerror(error);
    unreadable.add(std::move(path), error);
}

int WalkWorker::enterSubfolder(int fd, const QByteArray &name, const Frame &parent, DirEntry &self,
                               MountIdentity &mount)
{
    const int child = openFolder(fd, name.constData(), folderFlags | O_NOFOLLOW);
    if (child < 0) {
        // Gone or replaced since the listing is no failure to read.
        const int error = errno;
        if (error != ENOENT && error != ENOTDIR && error != ELOOP)
            noteUnreadable(folderPath(m_stack.size() - 1, name), error);
        return -1;
    }
    auto refuse = [child] {
        ::close(child);
        return -1;
    };
    if (!DirListing::describeEntry(child, "", parent.mount, self))
        return refuse();
    mount = parent.mount;
    // Another mount, a bind mount of this file system included, or a folder swapped for a
    // mount point since it was listed, is not entered; on btrfs, a subvolume of the drive's
    // own file system mounted inside it is.
    if (self.attributes & faSystem) {
        const bool subvolumeMount = self.inode == btrfsSubvolumeRoot && self.mountId != 0 &&
                                    m_root.btrfsMounts.contains(self.mountId);
        if (!subvolumeMount)
            return refuse();
        mount = MountIdentity{self.mountId, true, self.device};
    }
    if (m_ancestors.contains({self.device, self.inode}))
        return refuse();
    // A btrfs subvolume is reached both as a folder and where it is mounted: walked once.
    if (m_root.onBtrfs() && self.device != parent.device && !m_pool.claimSubvolume(self.device))
        return refuse();
    return child;
}

int WalkWorker::reopenAbove(int fd, size_t levels)
{
    // By "..", which the kernel resolves on the folders as they are, up to a depth whose path
    // stays short; the folder reached must be the one the stack says.
    constexpr size_t climbable = 256;
    const Frame &top = m_stack.back();
    if (fd >= 0 && levels <= climbable) {
        QByteArray up;
        up.reserve(qsizetype(levels) * 3);
        for (size_t i = 0; i < levels; ++i)
            up += "../";
        const int folder = openFolder(fd, up.constData(), folderFlags);
        if (folder >= 0 && sameObject(folder, top.device, top.inode))
            return folder;
        if (folder >= 0)
            ::close(folder);
    }
    return reopenFrame(m_stack.size() - 1);
}

int WalkWorker::reopenFrame(size_t depth)
{
    int fd = openFolder(AT_FDCWD, m_root.path.constData(), folderFlags);
    if (fd < 0 || !sameObject(fd, m_stack[0].device, m_stack[0].inode)) {
        if (fd >= 0)
            ::close(fd);
        return -1;
    }
    for (size_t level = 1; level <= depth; ++level) {
        const Frame &frame = m_stack[level];
        const int child = openFolder(fd, frame.name.constData(), folderFlags | O_NOFOLLOW);
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

void WalkWorker::offerWork()
{
    // A worker keeps something for itself: handing over its last folder would only send the
    // work back and forth.
    const size_t spare = m_spare;
    if (spare < 2)
        return;
    const size_t levels = std::min(m_stack.size(), handOverDepth);
    for (size_t level = 0; level < levels; ++level) {
        Frame &frame = m_stack[level];
        const size_t left = frame.subfolders.size() - frame.next;
        if (left == 0)
            continue;
        // A share of what is left, as one task reopened once: never a wake-up for one leaf
        // where there are many.
        const size_t share = std::min((left + 1) / 2, spare - 1);
        WalkTask task;
        task.ancestors.reserve(level + 1);
        for (size_t i = 0; i <= level; ++i)
            task.ancestors.push_back({m_stack[i].name, m_stack[i].device, m_stack[i].inode,
                                      m_stack[i].mount, m_stack[i].folderId});
        task.names.assign(std::make_move_iterator(frame.subfolders.end() - qsizetype(share)),
                          std::make_move_iterator(frame.subfolders.end()));
        frame.subfolders.resize(frame.subfolders.size() - share);
        m_spare -= share;
        m_pool.give(std::move(task));
        return;
    }
}
