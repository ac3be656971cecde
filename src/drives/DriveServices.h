#pragma once

#include <QString>
#include <QStringList>

class CheckListModel;

// Free and total bytes of a drive, whole numbers held as doubles.
struct DiskSpace {
    double freeBytes = 0;
    double totalBytes = 0;
};

// The drive entries of the drive table in letter order: "c: [label]" for fixed disks, CD-ROMs
// and RAM disks, "e:" for removable drives, "f: //host/share" for network drives.
QStringList driveEntries();
// The entry of the drive that holds the current directory; empty when there is none.
QString currentDriveEntry();

// Fills list with one row per drive (never a: or b:); an entry without a label becomes the
// letter and the drive-type text ("c: (Fixed disk)"), and with omitUnlabelledCdRoms such a
// CD-ROM is left out. The current drive's row is checked, or every row when none equals it.
void fillDriveList(CheckListModel &list, bool omitUnlabelledCdRoms);

// True when the drive answers a space query now (within two seconds); false for a character
// that is no drive letter.
bool isDriveReady(QChar driveLetter);
// Zeros when the drive does not answer.
DiskSpace getDiskSpace(QChar driveLetter);

// Bytes per cluster of the drive of driveRow, 0 when it is not ready. FAT volumes take the
// cluster size their size implies; every other file system its own allocation unit.
qint32 computeClusterSize(const QString &driveRow);
// The cluster size of the file system that holds folder, as for a drive; 0 when it does not
// answer.
qint32 folderClusterSize(const QByteArray &folder);
// A row of a run's list that is a folder (its whole path) rather than a drive.
bool isFolderRow(const QString &row);
// The file system of a drive row, or of the drive that holds a folder row; empty when unknown.
QString fileSystemOf(const QString &row);
// The same rule for a volume of the file system named (vfat, msdos, ext4, ...).
qint32 clusterSizeOf(const QString &fileSystem, quint64 totalBytes, quint64 allocationUnit);

// Total bytes of the ready drives among the rows of a run's drive list.
double computePickListTotal(const QStringList &driveRows);
