#pragma once

#include "MountTable.h"
#include "Volumes.h"

#include <sys/statvfs.h>

// The drive table of Linux: the mounts of /proc/self/mountinfo that are drives, labels from
// /dev/disk/by-label, removability from /sys, space from statvfs. A space query runs on a
// thread of its own and is given up after two seconds, so a hung network mount reads as a
// drive that is not ready; while it hangs, later queries for it are answered at once as not
// ready, and its answer, when it comes, serves the next query.
class LinuxVolumes final : public Volumes {
public:
    QList<DriveInfo> drives() const override;
    QChar currentDriveLetter() const override;
    std::optional<VolumeSpace> space(QChar letter) const override;
    int drivesLeftOut() const override;

    // The mount table of this process, read anew.
    static QList<MountEntry> systemMounts();

    static constexpr int readyTimeoutMs = 2000;
    // How long space() waits for an answer (readyTimeoutMs unless set); a window sets 100 ms,
    // so that a hung mount never holds it longer.
    static void setWaitLimit(int milliseconds);
    using SpaceCall = int (*)(const char *path, struct statvfs *result);
    // statvfs of path (or the call given), given up after timeoutMs.
    static std::optional<VolumeSpace> querySpace(const QByteArray &path, int timeoutMs,
                                                 SpaceCall call = ::statvfs);
};
