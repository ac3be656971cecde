#pragma once

#include "Volumes.h"

#include <functional>

// One line of /proc/self/mountinfo.
struct MountEntry {
    quint64 mountId = 0;   // as statx reports it (STATX_MNT_ID)
    quint64 device = 0;    // major:minor of the mounted file system
    QByteArray root;       // the folder of the file system mounted here
    QByteArray mountPoint; // escapes (\040 for a blank) undone
    QString fileSystem;
    QString source;
};

namespace MountTable {

QList<MountEntry> parseMountInfo(const QByteArray &text);

// What the drive table needs to know beyond the mount table itself.
struct DeviceFacts {
    std::function<bool(quint64 device)> isRemovable;
    std::function<QString(const QString &source)> labelOf; // empty when the device has none
};

// The mounts that are drives, each file system once, lettered: "/" is c:, then disks and
// shares, then images and RAM disks, each in ascending order of mount point, up to z:. Bind
// mounts and snap images are no drives. leftOut, when given, receives the number of drives
// that found no letter.
QList<DriveInfo> selectDrives(const QList<MountEntry> &mounts, const DeviceFacts &facts,
                              int *leftOut = nullptr);

// The mounts of the btrfs file system that the mount mountId shows, mountId among them: the
// subvolumes a walk of that drive may enter. None when that file system is not btrfs.
QList<quint64> btrfsMountsOf(const QList<MountEntry> &mounts, quint64 mountId);

// The drive whose mount point is the longest prefix of path; a null QChar when none is.
QChar driveOfPath(const QList<DriveInfo> &drives, const QByteArray &path);

} // namespace MountTable
