#pragma once

#include <QByteArray>
#include <QChar>
#include <QList>
#include <QString>

#include <optional>

// Drive-type codes, as the drive rows and the overview name them.
enum DriveType : quint32 {
    dtUnknown = 0,
    dtNoRootDir = 1,
    dtRemovable = 2,
    dtFixed = 3,
    dtRemote = 4,
    dtCdRom = 5,
    dtRamDisk = 6,
};

// One drive of the drive table: a lettered mount.
struct DriveInfo {
    QChar letter; // lower case, c to z
    quint32 type = dtUnknown;
    QString label;         // the volume label; may be empty
    QString connection;    // for a network drive, the share it is connected to
    QByteArray mountPoint; // the drive's root in the file system
    QString fileSystem;    // "ext4", "vfat", "nfs4", ...
};

struct VolumeSpace {
    quint64 totalBytes = 0;
    quint64 freeBytes = 0;
    quint64 blockSize = 0; // the file system's allocation unit
};

// The drive table of the machine, read anew on each call.
class Volumes {
public:
    virtual ~Volumes() = default;
    // Listed drives in letter order.
    virtual QList<DriveInfo> drives() const = 0;
    // The letter of the drive that holds the current directory, or a null QChar.
    virtual QChar currentDriveLetter() const = 0;
    // Space of the drive, or nothing when it does not answer (within two seconds) or is not
    // in the table.
    virtual std::optional<VolumeSpace> space(QChar letter) const = 0;
    // Drives left out of the table because the letters ran out.
    virtual int drivesLeftOut() const { return 0; }

    std::optional<DriveInfo> drive(QChar letter) const;

    static const Volumes &current();
    // Installs volumes (not owned; nullptr restores the system's own).
    static void install(const Volumes *volumes);
};
