#pragma once

#include "Volumes.h"

#include <functional>

// One line of /proc/self/mountinfo.
struct MountEntry {
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

// The mounts that are drives, lettered: "/" is c:, the others from d: in ascending order of
// mount point; more than z: are not listed.
QList<DriveInfo> selectDrives(const QList<MountEntry> &mounts, const DeviceFacts &facts);

// The drive whose mount point is the longest prefix of path; a null QChar when none is.
QChar driveOfPath(const QList<DriveInfo> &drives, const QByteArray &path);

} // namespace MountTable
