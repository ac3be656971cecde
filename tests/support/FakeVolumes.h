#pragma once

#include "platform/Volumes.h"

// A drive table given by the test; a drive without space is not ready. Installs itself while
// it lives.
class FakeVolumes final : public Volumes {
public:
    FakeVolumes();
    ~FakeVolumes() override;

    void addDrive(QChar letter, quint32 type, const QString &label, const QByteArray &mountPoint,
                  std::optional<VolumeSpace> space,
                  const QString &fileSystem = QStringLiteral("ext4"),
                  const QString &connection = QString());

    QList<DriveInfo> drives() const override { return m_drives; }
    QChar currentDriveLetter() const override { return current; }
    std::optional<VolumeSpace> space(QChar letter) const override;

    QChar current;

private:
    QList<DriveInfo> m_drives;
    QList<std::optional<VolumeSpace>> m_spaces;
};
