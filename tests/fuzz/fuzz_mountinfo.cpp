// /proc/self/mountinfo as a kernel, a container runtime or a mount of odd names may write it.
#include "platform/MountTable.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QList<MountEntry> mounts = MountTable::parseMountInfo(
        QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    MountTable::DeviceFacts facts;
    facts.isRemovable = [](quint64 device) { return device % 3 == 0; };
    facts.labelOf = [](const QString &source) { return source.right(4); };
    int leftOut = 0;
    const QList<DriveInfo> drives = MountTable::selectDrives(mounts, facts, &leftOut);
    for (const MountEntry &mount : mounts) {
        (void)MountTable::btrfsMountsOf(mounts, mount.mountId);
        (void)MountTable::driveOfPath(drives, mount.mountPoint);
    }
    return 0;
}
