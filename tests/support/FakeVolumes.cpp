#include "FakeVolumes.h"

FakeVolumes::FakeVolumes()
{
    install(this);
}

FakeVolumes::~FakeVolumes()
{
    install(nullptr);
}

void FakeVolumes::addDrive(QChar letter, quint32 type, const QString &label,
                           const QByteArray &mountPoint, std::optional<VolumeSpace> space,
                           const QString &fileSystem, const QString &connection)
{
    DriveInfo drive;
    drive.letter = letter;
    drive.type = type;
    drive.label = label;
    drive.mountPoint = mountPoint;
    drive.fileSystem = fileSystem;
    drive.connection = connection;
    m_drives.append(drive);
    m_spaces.append(space);
}

std::optional<VolumeSpace> FakeVolumes::space(QChar letter) const
{
    for (qsizetype i = 0; i < m_drives.size(); ++i)
        if (m_drives[i].letter == letter.toLower())
            return m_spaces[i];
    return std::nullopt;
}
