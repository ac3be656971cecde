#include "DriveServices.h"

#include "common/FileNameText.h"

#include "common/CheckListModel.h"
#include "common/Utility.h"
#include "platform/LinuxVolumes.h"
#include "platform/MountTable.h"
#include "platform/Volumes.h"

#include <QFile>

#include <limits>
#include <linux/magic.h>
#include <sys/vfs.h>

namespace {

bool isDriveLetter(QChar c)
{
    const QChar upper = c.toUpper();
    return upper >= u'A' && upper <= u'Z';
}

QString entryOf(const DriveInfo &drive)
{
    const QString letter = QString(drive.letter.toLower()) + u':';
    switch (drive.type) {
    case dtRemovable:
        return letter;
    case dtRemote:
        if (!drive.connection.isEmpty())
            return letter + u' ' + withoutHiddenControls(drive.connection.toLower());
        [[fallthrough]];
    case dtFixed:
    case dtCdRom:
    case dtRamDisk:
        // Labels and mount points are anybody's text: shown with nothing hidden in them.
        return letter + QStringLiteral(" [") + withoutHiddenControls(drive.label.toLower()) + u']';
    default:
        return QString();
    }
}

quint32 driveTypeOf(QChar letter)
{
    const std::optional<DriveInfo> drive = Volumes::current().drive(letter);
    return drive ? drive->type : quint32(dtNoRootDir);
}

bool isFatFileSystem(const QString &fileSystem)
{
    return fileSystem == u"vfat" || fileSystem == u"msdos";
}

} // namespace

QStringList driveEntries()
{
    QStringList entries;
    for (const DriveInfo &drive : Volumes::current().drives()) {
        const QString entry = entryOf(drive);
        if (!entry.isEmpty())
            entries.append(entry);
    }
    return entries;
}

QString currentDriveEntry()
{
    const Volumes &volumes = Volumes::current();
    const QChar letter = volumes.currentDriveLetter();
    const std::optional<DriveInfo> drive = letter.isNull() ? std::nullopt : volumes.drive(letter);
    return drive ? entryOf(*drive) : QString();
}

void fillDriveList(CheckListModel &list, bool omitUnlabelledCdRoms)
{
    list.clear();
    const QString noLabel = QStringLiteral("[]");
    for (const QString &entry : driveEntries()) {
        const QChar letter = entry[0].toUpper();
        if (letter == u'A' || letter == u'B')
            continue;
        if (!entry.contains(noLabel)) {
            list.addRow(entry);
            continue;
        }
        const quint32 type = driveTypeOf(letter);
        if (omitUnlabelledCdRoms && type == dtCdRom)
            continue;
        list.addRow(QString(entry).remove(entry.indexOf(noLabel), 2).trimmed() + u' ' +
                    driveTypeText(type));
    }
    list.setChecked(list.indexOf(currentDriveEntry()), true);
}

bool isDriveReady(QChar driveLetter)
{
    return isDriveLetter(driveLetter) && Volumes::current().space(driveLetter).has_value();
}

DiskSpace getDiskSpace(QChar driveLetter)
{
    if (!isDriveLetter(driveLetter))
        return {};
    const std::optional<VolumeSpace> space = Volumes::current().space(driveLetter);
    if (!space)
        return {};
    return {double(space->freeBytes), double(space->totalBytes)};
}

qint32 computeClusterSize(const QString &driveRow)
{
    if (driveRow.isEmpty() || !isDriveReady(driveRow[0]))
        return 0;
    const Volumes &volumes = Volumes::current();
    const std::optional<DriveInfo> drive = volumes.drive(driveRow[0]);
    const std::optional<VolumeSpace> space = volumes.space(driveRow[0]);
    if (!drive || !space)
        return 0;
    return clusterSizeOf(drive->fileSystem, space->totalBytes, space->blockSize);
}

qint32 clusterSizeOf(const QString &fileSystem, quint64 totalBytes, quint64 allocationUnit)
{
    if (isFatFileSystem(fileSystem)) {
        const double total = double(totalBytes);
        if (total >= 34359738368.0)
            return 32768;
        if (total > 17179869184.0)
            return 16384;
        if (total > 8589934592.0)
            return 8192;
        if (total > 2147483648.0)
            return 4096;
    }
    return allocationUnit > quint64(std::numeric_limits<qint32>::max()) ? 0
                                                                        : qint32(allocationUnit);
}

double computePickListTotal(const QStringList &driveRows)
{
    double total = 0;
    for (const QString &row : driveRows) {
        if (isFolderRow(row)) {
            // A folder counts with the file system that holds it.
            if (const auto space =
                    LinuxVolumes::querySpace(QFile::encodeName(row), LinuxVolumes::readyTimeoutMs))
                total += double(space->totalBytes);
        } else if (!row.isEmpty() && isDriveReady(row[0])) {
            total += getDiskSpace(row[0]).totalBytes;
        }
    }
    return total;
}

bool isFolderRow(const QString &row)
{
    return row.startsWith(u'/');
}

QString fileSystemOf(const QString &row)
{
    const QList<DriveInfo> drives = Volumes::current().drives();
    QChar letter;
    if (isFolderRow(row))
        letter = MountTable::driveOfPath(drives, QFile::encodeName(row));
    else if (!row.isEmpty())
        letter = row[0];
    for (const DriveInfo &drive : drives)
        if (drive.letter == letter)
            return drive.fileSystem;
    return QString();
}

qint32 folderClusterSize(const QByteArray &folder)
{
    const std::optional<VolumeSpace> space =
        LinuxVolumes::querySpace(folder, LinuxVolumes::readyTimeoutMs);
    if (!space)
        return 0;
    struct statfs info {};
    const bool fat = ::statfs(folder.constData(), &info) == 0 && info.f_type == MSDOS_SUPER_MAGIC;
    return clusterSizeOf(fat ? QStringLiteral("vfat") : QString(), space->totalBytes,
                         space->blockSize);
}
