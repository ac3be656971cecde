#include "RunPages.h"

#include "FileListPages.h"
#include "ReportPage.h"
#include "ReportTables.h"
#include "collection/StatAccumulators.h"
#include "drives/DriveServices.h"
#include "platform/LinuxVolumes.h"

QList<TextTable> RunPages::tables(const StatAccumulators &stats, const FileLists &lists,
                                  const QList<RunTarget> &targets, qint32 clusterSize,
                                  const QString &fileSystem)
{
    QList<ReportTables::MeasuredDrive> measured;
    for (const RunTarget &target : targets) {
        ReportTables::MeasuredDrive drive;
        drive.row = target.name;
        if (!target.isFolder()) {
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

    QList<TextTable> pages;
    auto add = [&pages](TextTable table, ReportPage::Page page) {
        table.page = page;
        pages.append(std::move(table));
    };
    add(ReportTables::spaceTable(measured), ReportPage::Space);
    add(ReportTables::typesTable(stats, FileListPages::ambiguousTypes(stats, lists)),
        ReportPage::Types);
    add(ReportTables::sizesTable(stats), ReportPage::Sizes);
    if (targets.size() == 1) {
        const TextTable overhang = ReportTables::overhangTable(stats, clusterSize, fileSystem);
        if (!overhang.title.isEmpty())
            add(overhang, ReportPage::Overhang);
    }
    for (int stamp = 0; stamp < ReportPage::stampCount; ++stamp)
        add(ReportTables::dateTable(stats, stamp), ReportPage::datePage(stamp));
    add(ReportTables::combinedDateTable(stats), ReportPage::Combined);
    add(ReportTables::attributeTable(stats), ReportPage::Attribute);
    add(ReportTables::timeTable(stats), ReportPage::Time);
    return pages;
}
