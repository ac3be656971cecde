#pragma once

#include "TextTable.h"

#include <QHash>
#include <QList>

#include <array>

class StatAccumulators;
class TextGrid;
struct DiskSpace;

// The report pages as tables, with the pages' own headings, labels and number formats; the
// windows' listings and the headless report are both filled from them.
namespace ReportTables {

struct MeasuredDrive {
    QString row;
    bool ready = false;
    double freeBytes = 0;
    double totalBytes = 0;
};
// The Types listing's column of the space on disk, where the run counts it.
constexpr int onDiskColumn = 5;
// "3 names were hard links of files already counted; they would have added 1.2 MB on disk", or
// empty when there were none or the run does not count space on disk.
QString linkedText(const StatAccumulators &stats);
// "Space on disk (measured): 1,234.5 MB": the counted files' allocated space.
QString onDiskText(const StatAccumulators &stats);

// Capacity, free and used space per ready drive in GB, with a total row for several drives.
TextTable spaceTable(const QList<MeasuredDrive> &drives);

// The Types listing into grid (which has the table's row count + 2 rows): the heading row,
// then per extension its key, description, bytes, files and average size, in table order, and
// its space on disk where the run counts it and the grid has the column.
// described: descriptions that replace the register's for some extension keys.
void writeTypeRows(TextGrid &grid, const StatAccumulators &stats,
                   const QHash<QByteArray, QString> &described = {});
// The totals row (the grid's last): "Totals", the sums of the size and file columns.
void writeTypeTotals(TextGrid &grid);
// One row per extension sorted by extension, with descriptions and averages, and a totals row.
TextTable typesTable(const StatAccumulators &stats,
                     const QHash<QByteArray, QString> &described = {});
TextTable sizesTable(const StatAccumulators &stats);
// The wasted space for the five cluster sizes, the drive's own marked; an empty title when
// no bytes were counted (the page is then disabled).
TextTable overhangTable(const StatAccumulators &stats, qint32 clusterSize,
                        const QString &fileSystem = QString());
// The date page of stamp (0 accessed, 1 created, 2 modified).
TextTable dateTable(const StatAccumulators &stats, int stamp);
TextTable combinedDateTable(const StatAccumulators &stats);
TextTable attributeTable(const StatAccumulators &stats);
// Files by half hour of the day; the access column only when any access time was counted.
TextTable timeTable(const StatAccumulators &stats);

} // namespace ReportTables
