#include "DirListing.h"

#include "LocalTimeZone.h"

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace {

constexpr unsigned entryFields = STATX_TYPE | STATX_MODE | STATX_SIZE | STATX_ATIME | STATX_MTIME |
                                 STATX_BTIME | STATX_MNT_ID | STATX_BLOCKS | STATX_NLINK;

quint64 deviceNumber(const struct statx &sx)
{
    return makedev(sx.stx_dev_major, sx.stx_dev_minor);
}

bool isOtherMount(const struct statx &sx, const MountIdentity &drive)
{
    if (sx.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT && sx.stx_attributes & STATX_ATTR_MOUNT_ROOT)
        return true;
    if (drive.hasMountId && sx.stx_mask & STATX_MNT_ID)
        return sx.stx_mnt_id != drive.mountId;
    return deviceNumber(sx) != drive.device;
}

LocalFileTime localTime(const struct statx_timestamp &time)
{
    return LocalTimeZone::localFileTime(time.tv_sec);
}

} // namespace

bool DirListing::identifyMount(int directoryFd, MountIdentity &mount)
{
    struct statx sx {};
    if (statx(directoryFd, "", AT_EMPTY_PATH | AT_NO_AUTOMOUNT, STATX_MNT_ID, &sx) != 0)
        return false;
    mount.hasMountId = sx.stx_mask & STATX_MNT_ID;
    mount.mountId = mount.hasMountId ? sx.stx_mnt_id : 0;
    mount.device = deviceNumber(sx);
    return true;
}

bool DirListing::describeEntry(int directoryFd, const char *name, const MountIdentity &driveMount,
                               DirEntry &entry)
{
    struct statx sx {};
    const int flags = AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT | AT_STATX_DONT_SYNC |
                      (name[0] == '\0' ? AT_EMPTY_PATH : 0);
    if (statx(directoryFd, name, flags, entryFields, &sx) != 0)
        return false;

    const mode_t type = sx.stx_mode & S_IFMT;
    quint32 attributes = 0;
    if (!(sx.stx_mode & S_IWUSR) || sx.stx_attributes & STATX_ATTR_IMMUTABLE)
        attributes |= faReadOnly;
    if (name[0] == '.')
        attributes |= faHidden;
    const bool otherMount = isOtherMount(sx, driveMount);
    if (type == S_IFDIR) {
        attributes |= faDirectory;
        if (otherMount)
            attributes |= faSystem;
    } else {
        if (type == S_IFCHR || type == S_IFBLK || type == S_IFIFO || type == S_IFSOCK)
            attributes |= faSystem;
        if (!(sx.stx_attributes & STATX_ATTR_NODUMP))
            attributes |= faArchive;
    }

    // Keeps the buffer of a reused entry, so that listing a folder allocates nothing per name,
    // unless a list kept the last name: then that one stays theirs and the new one is copied.
    const qsizetype length = qsizetype(std::strlen(name));
    if (entry.name.isDetached() && entry.name.capacity() >= length) {
        entry.name.resize(length);
        std::memcpy(entry.name.data(), name, size_t(length));
    } else {
        entry.name = QByteArray(name, length);
    }
    entry.size = sx.stx_size > quint64(std::numeric_limits<qint64>::max())
                     ? std::numeric_limits<qint64>::max()
                     : static_cast<qint64>(sx.stx_size);
    // Blocks of 512 bytes, whatever the file system's own.
    entry.allocated = sx.stx_mask & STATX_BLOCKS
                          ? qint64(std::min<quint64>(sx.stx_blocks, quint64(1) << 53) * 512)
                          : entry.size;
    entry.links = sx.stx_mask & STATX_NLINK ? sx.stx_nlink : 1;
    entry.attributes = attributes;
    entry.accessed = sx.stx_mask & STATX_ATIME ? localTime(sx.stx_atime) : LocalFileTime();
    entry.modified = sx.stx_mask & STATX_MTIME ? localTime(sx.stx_mtime) : LocalFileTime();
    entry.created = sx.stx_mask & STATX_BTIME ? localTime(sx.stx_btime) : LocalFileTime();
    entry.device = deviceNumber(sx);
    entry.inode = sx.stx_ino;
    entry.otherMount = otherMount;
    entry.mountId = sx.stx_mask & STATX_MNT_ID ? sx.stx_mnt_id : 0;
    return true;
}
