#include "MountTable.h"

#include <QFile>

#include <algorithm>
#include <sys/sysmacros.h>

namespace {

QByteArray unescapeOctal(const QByteArray &field)
{
    QByteArray text;
    text.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        const auto isOctal = [&](qsizetype k) {
            return k < field.size() && field[k] >= '0' && field[k] <= '7';
        };
        if (field[i] == '\\' && isOctal(i + 1) && isOctal(i + 2) && isOctal(i + 3)) {
            text.append(
                char((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0')));
            i += 3;
        } else {
            text.append(field[i]);
        }
    }
    return text;
}

bool isUnder(const QByteArray &path, const char *folder)
{
    const QByteArray prefix(folder);
    return path == prefix || path.startsWith(prefix + '/');
}

bool isOneOf(const QString &name, std::initializer_list<const char *> names)
{
    return std::any_of(names.begin(), names.end(),
                       [&](const char *n) { return name == QLatin1StringView(n); });
}

bool isNetworkFileSystem(const QString &fs)
{
    return isOneOf(fs, {"nfs", "nfs4", "cifs", "smb3", "smbfs", "9p", "afs", "ceph", "glusterfs",
                        "fuse.sshfs"});
}

bool isPseudoFileSystem(const QString &fs)
{
    return isOneOf(fs, {"proc",        "sysfs",           "cgroup",     "cgroup2",    "devpts",
                        "mqueue",      "debugfs",         "tracefs",    "securityfs", "bpf",
                        "pstore",      "configfs",        "fusectl",    "hugetlbfs",  "autofs",
                        "binfmt_misc", "efivarfs",        "nsfs",       "rpc_pipefs", "devtmpfs",
                        "selinuxfs",   "fuse.gvfsd-fuse", "fuse.portal"});
}

bool isImageFileSystem(const QString &fs)
{
    return isOneOf(fs, {"squashfs", "erofs"});
}

bool isRemovableMediaFolder(const QByteArray &point)
{
    return isUnder(point, "/media") || isUnder(point, "/mnt") || isUnder(point, "/run/media");
}

bool isDrive(const MountEntry &mount)
{
    const QByteArray &point = mount.mountPoint;
    if (point == "/")
        return true;
    // A bind mount shows a folder of a file system that is listed by its own mount; btrfs
    // subvolumes are mounted the same way and are folded into their device's drive below.
    if (mount.root != "/" && mount.fileSystem != u"btrfs")
        return false;
    // Read-only images such as snaps are software, not drives, unless mounted as media.
    if (isImageFileSystem(mount.fileSystem) && !isRemovableMediaFolder(point))
        return false;
    const bool systemFolder = isUnder(point, "/proc") || isUnder(point, "/sys") ||
                              isUnder(point, "/dev") ||
                              (isUnder(point, "/run") && !isUnder(point, "/run/media"));
    if (systemFolder || isPseudoFileSystem(mount.fileSystem))
        return false;
    const bool ramDisk = isOneOf(mount.fileSystem, {"tmpfs", "ramfs"});
    return mount.source.startsWith(u"/dev/") || isNetworkFileSystem(mount.fileSystem) ||
           (ramDisk && point == "/tmp") || isRemovableMediaFolder(point);
}

// Disks and shares get their letters before images and RAM disks.
bool isSecondary(const MountEntry &mount)
{
    return isOneOf(mount.fileSystem, {"tmpfs", "ramfs"}) || isImageFileSystem(mount.fileSystem) ||
           mount.source.startsWith(u"/dev/loop");
}

quint32 driveTypeOf(const MountEntry &mount, const MountTable::DeviceFacts &facts)
{
    const QString &fs = mount.fileSystem;
    if (isNetworkFileSystem(fs))
        return dtRemote;
    if (isOneOf(fs, {"iso9660", "udf"}))
        return dtCdRom;
    if (isOneOf(fs, {"tmpfs", "ramfs"}))
        return dtRamDisk;
    if ((facts.isRemovable && facts.isRemovable(mount.device)) ||
        isUnder(mount.mountPoint, "/media") || isUnder(mount.mountPoint, "/run/media"))
        return dtRemovable;
    return dtFixed;
}

} // namespace

QList<MountEntry> MountTable::parseMountInfo(const QByteArray &text)
{
    QList<MountEntry> mounts;
    for (const QByteArray &line : text.split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        const qsizetype separator = fields.indexOf(QByteArray("-"));
        if (fields.size() < 5 || separator < 6 || separator + 2 >= fields.size())
            continue;
        const QList<QByteArray> numbers = fields[2].split(':');
        if (numbers.size() != 2)
            continue;
        MountEntry mount;
        mount.mountId = fields[0].toULongLong();
        mount.device = makedev(numbers[0].toUInt(), numbers[1].toUInt());
        mount.root = unescapeOctal(fields[3]);
        mount.mountPoint = unescapeOctal(fields[4]);
        mount.fileSystem = QString::fromUtf8(fields[separator + 1]);
        mount.source = QFile::decodeName(unescapeOctal(fields[separator + 2]));
        mounts.append(mount);
    }
    return mounts;
}

QList<DriveInfo> MountTable::selectDrives(const QList<MountEntry> &mounts, const DeviceFacts &facts,
                                          int *leftOut)
{
    // A later mount hides the earlier ones at its point and below it: of mounts stacked on one
    // point, the last is the one that answers.
    QList<MountEntry> visible;
    for (const MountEntry &mount : mounts) {
        visible.removeIf([&](const MountEntry &m) {
            return isUnder(m.mountPoint, mount.mountPoint.constData());
        });
        if (isDrive(mount))
            visible.append(mount);
    }
    // A file system is one drive however often it is mounted: its mount closest to the root
    // stands for it.
    auto depth = [](const MountEntry &mount) {
        return mount.mountPoint == "/" ? 0 : mount.mountPoint.count('/');
    };
    QList<MountEntry> drivesToBe;
    for (const MountEntry &mount : visible) {
        const auto same =
            std::find_if(drivesToBe.begin(), drivesToBe.end(),
                         [&](const MountEntry &m) { return m.device == mount.device; });
        if (same == drivesToBe.end())
            drivesToBe.append(mount);
        else if (std::pair(depth(mount), mount.mountPoint) <
                 std::pair(depth(*same), same->mountPoint))
            *same = mount;
    }
    // The root first, then disks and shares, then images and RAM disks, each by mount point.
    std::sort(drivesToBe.begin(), drivesToBe.end(), [](const MountEntry &a, const MountEntry &b) {
        if ((a.mountPoint == "/") != (b.mountPoint == "/"))
            return a.mountPoint == "/";
        if (isSecondary(a) != isSecondary(b))
            return !isSecondary(a);
        return a.mountPoint < b.mountPoint;
    });

    QList<DriveInfo> drives;
    char letter = 'c';
    int notListed = 0;
    for (const MountEntry &mount : drivesToBe) {
        if (letter > 'z') {
            ++notListed;
            continue;
        }
        DriveInfo drive;
        drive.letter = QLatin1Char(letter++);
        drive.type = driveTypeOf(mount, facts);
        drive.fileSystem = mount.fileSystem;
        drive.mountPoint = mount.mountPoint;
        drive.label = facts.labelOf ? facts.labelOf(mount.source) : QString();
        if (drive.label.isEmpty())
            drive.label = QFile::decodeName(mount.mountPoint);
        if (drive.type == dtRemote)
            drive.connection = mount.source;
        drives.append(drive);
    }
    if (leftOut)
        *leftOut = notListed;
    return drives;
}

QList<quint64> MountTable::btrfsMountsOf(const QList<MountEntry> &mounts, quint64 mountId)
{
    const auto own = std::find_if(mounts.begin(), mounts.end(), [&](const MountEntry &mount) {
        return mount.mountId == mountId;
    });
    QList<quint64> ids;
    if (own == mounts.end() || own->fileSystem != u"btrfs")
        return ids;
    for (const MountEntry &mount : mounts)
        if (mount.device == own->device)
            ids.append(mount.mountId);
    return ids;
}

QChar MountTable::driveOfPath(const QList<DriveInfo> &drives, const QByteArray &path)
{
    QChar best;
    qsizetype bestLength = -1;
    for (const DriveInfo &drive : drives) {
        const QByteArray &point = drive.mountPoint;
        const bool contains = point == "/" || path == point || path.startsWith(point + '/');
        if (contains && point.size() > bestLength) {
            best = drive.letter;
            bestLength = point.size();
        }
    }
    return best;
}
