#include "RunPages.h"

#include "FileListPages.h"
#include "ReportTables.h"
#include "collection/StatAccumulators.h"
#include "drives/DriveServices.h"
#include "platform/LinuxVolumes.h"

#include <QFile>

QList<RunPages::Target> RunPages::targetsOf(const QStringList &rows)
{
    QList<Target> targets;
    for (const QString &row : rows)
        targets.append({row, isFolderRow(row) ? QFile::encodeName(row) : QByteArray()});
    return targets;
}

QString RunPages::fileSystemOf(const Target &target)
{
    return ::fileSystemOf(target.folder.isEmpty() ? target.name : QFile::decodeName(target.folder));
}

QList<TextTable> RunPages::tables(const StatAccumulators &stats, const FileLists &lists,
                                  const QList<Target> &targets, qint32 clusterSize,
                                  const QString &fileSystem)
{
    QList<ReportTables::MeasuredDrive> measured;
    for (const Target &target : targets) {
        ReportTables::MeasuredDrive drive;
        drive.row = target.name;
        if (target.folder.isEmpty()) {
            drive.ready = isDriveReady(target.name[0]);
            const DiskSpace space = getDiskSpace(target.name[0]);
            drive.freeBytes = space.freeBytes;
            drive.totalBytes = space.totalBytes;
        } else if (const auto space =
                       LinuxVolumes::querySpace(target.folder, LinuxVolumes::readyTimeoutMs)) {
            drive.ready = true;
            drive.freeBytes = double(space->freeBytes);
            drive.totalBytes = double(space->totalBytes);
        }
        measured.append(drive);
    }

    QList<TextTable> pages{
        ReportTables::spaceTable(measured),
        ReportTables::typesTable(stats, FileListPages::ambiguousTypes(stats, lists)),
        ReportTables::sizesTable(stats)};
    if (targets.size() == 1) {
        const TextTable overhang = ReportTables::overhangTable(stats, clusterSize, fileSystem);
        if (!overhang.title.isEmpty())
            pages.append(overhang);
    }
    pages.append(ReportTables::dateTable(QStringLiteral("Accessed Date"), QStringLiteral("Access"),
                                         stats.accessedAgeCount, stats.accessedAgeBytes));
    pages.append(ReportTables::dateTable(QStringLiteral("Created Date"), QStringLiteral("Created"),
                                         stats.createdAgeCount, stats.createdAgeBytes));
    pages.append(ReportTables::dateTable(QStringLiteral("Modified Date"),
                                         QStringLiteral("Modified"), stats.modifiedAgeCount,
                                         stats.modifiedAgeBytes));
    pages.append(ReportTables::combinedDateTable(stats));
    pages.append(ReportTables::attributeTable(stats));
    pages.append(ReportTables::timeTable(stats));
    return pages;
}
