#include "RunTarget.h"

#include "drives/DriveServices.h"
#include "platform/Volumes.h"

#include <QDir>
#include <QFile>

RunTarget RunTarget::fromRow(const QString &row)
{
    return {row, isFolderRow(row) ? QFile::encodeName(row) : QByteArray()};
}

QList<RunTarget> RunTarget::fromRows(const QStringList &rows)
{
    QList<RunTarget> targets;
    for (const QString &row : rows)
        targets.append(fromRow(row));
    return targets;
}

RunTarget RunTarget::fromFolder(const QByteArray &path)
{
    // Cleaned as bytes: a name that is not UTF-8 must survive the trip.
    QByteArray absolute =
        path.startsWith('/') ? path : QFile::encodeName(QDir::currentPath()) + '/' + path;
    QByteArrayList parts;
    for (const QByteArray &part : absolute.split('/')) {
        if (part.isEmpty() || part == ".")
            continue;
        if (part == "..") {
            if (!parts.isEmpty())
                parts.removeLast();
            continue;
        }
        parts.append(part);
    }
    const QByteArray folder = '/' + parts.join('/');
    return {QFile::decodeName(folder), folder};
}

QStringList RunTarget::namesOf(const QList<RunTarget> &targets)
{
    QStringList names;
    for (const RunTarget &target : targets)
        names.append(target.name);
    return names;
}

QByteArray RunTarget::rootPath() const
{
    if (isFolder())
        return folder;
    if (name.isEmpty())
        return QByteArray();
    const std::optional<DriveInfo> drive = Volumes::current().drive(name[0]);
    return drive ? drive->mountPoint : QByteArray();
}

QString RunTarget::fileSystem() const
{
    return fileSystemOf(isFolder() ? QFile::decodeName(folder) : name);
}

qint32 RunTarget::clusterSize() const
{
    return isFolder() ? folderClusterSize(folder) : computeClusterSize(name);
}

bool RunTarget::isReady() const
{
    return isFolder() || (!name.isEmpty() && isDriveReady(name[0]));
}
