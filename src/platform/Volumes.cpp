#include "Volumes.h"

#include "LinuxVolumes.h"

namespace {

const Volumes *installed = nullptr;

} // namespace

std::optional<DriveInfo> Volumes::drive(QChar letter) const
{
    const QChar wanted = letter.toLower();
    for (const DriveInfo &info : drives())
        if (info.letter == wanted)
            return info;
    return std::nullopt;
}

const Volumes &Volumes::current()
{
    static const LinuxVolumes system;
    return installed ? *installed : system;
}

void Volumes::install(const Volumes *volumes)
{
    installed = volumes;
}
