#include "ReportTables.h"

#include "collection/StatusText.h"

#include "OverhangFigures.h"
#include "ReportPage.h"

#include "collection/StatAccumulators.h"
#include "common/FileNameText.h"
#include "common/NumberPattern.h"
#include "common/RegionalSettings.h"
#include "common/ScratchGrid.h"
#include "common/Sortgrid.h"
#include "common/Utility.h"
#include "filetypes/TypeRow.h"

#include <QTime>

#include <limits>

namespace {

constexpr double gigabyte = 1073741824.0;

QString gigabytes(double bytes)
{
    return formatFloat(QStringLiteral("#,##0.00"), bytes / gigabyte) + QStringLiteral(" GB");
}

// Where the run counts space on disk, the listing of bands gets a column of it: rows from band
// first down by step, as the listing has them.
template <typename Bands>
void addOnDiskColumn(TextTable &table, const StatAccumulators &stats, const Bands &bands, int first,
                     int step)
{
    if (!stats.options().countOnDisk)
        return;
    table.headings.append(QStringLiteral("On disk"));
    table.rightAligned.append(true);
    for (qsizetype r = 0; r < table.rows.size(); ++r)
        table.rows[r].append(floatToGrouped(bands[size_t(first + step * int(r))]));
}

QList<bool> rightAfterFirst(int columns)
{
    QList<bool> right(columns, true);
    right[0] = false;
    return right;
}

} // namespace

QString ReportTables::linkedText(const StatAccumulators &stats)
{
    const qint64 names = stats.onDisk.linkedNames;
    if (!stats.options().countOnDisk || names <= 0)
        return QString();
    return intToGrouped(names) +
           (names == 1 ? QStringLiteral(" name was a hard link of a file already counted; it "
                                        "would have added ")
                       : QStringLiteral(" names were hard links of files already counted; they "
                                        "would have added ")) +
           formatFloat(QStringLiteral("#,##0.#"), stats.onDisk.linkedBytes / 1048576.0) +
           QStringLiteral(" MB on disk");
}

QString ReportTables::onDiskText(const StatAccumulators &stats)
{
    return QStringLiteral("Space on disk (measured): ") +
           formatFloat(QStringLiteral("#,##0.##"), stats.onDisk.files / 1048576.0) +
           QStringLiteral(" MB");
}

TextTable ReportTables::spaceTable(const QList<MeasuredDrive> &drives)
{
    TextTable table;
    table.title = ReportPage::title(ReportPage::Space);
    table.headings = QStringList{QStringLiteral("Drive"), QStringLiteral("Total Capacity:"),
                                 QStringLiteral("Free Space:"), QStringLiteral("Used Space:")};
    table.rightAligned = rightAfterFirst(4);
    double freeSum = 0;
    double totalSum = 0;
    int shown = 0;
    for (const MeasuredDrive &drive : drives) {
        if (!drive.ready) {
            table.rows.append({drive.row, QStringLiteral("not ready")});
            continue;
        }
        ++shown;
        freeSum += drive.freeBytes;
        totalSum += drive.totalBytes;
        table.rows.append({drive.row, gigabytes(drive.totalBytes), gigabytes(drive.freeBytes),
                           gigabytes(drive.totalBytes - drive.freeBytes)});
    }
    if (shown > 1)
        table.rows.append({QStringLiteral("Total"), gigabytes(totalSum), gigabytes(freeSum),
                           gigabytes(totalSum - freeSum)});
    return table;
}

void ReportTables::writeTypeRows(TextGrid &grid, const StatAccumulators &stats,
                                 const QHash<QByteArray, QString> &described)
{
    const QStringList headings{QStringLiteral("Extension"), QStringLiteral("Type"),
                               QStringLiteral("Size"), QStringLiteral("# Files"),
                               QStringLiteral("Avg File Size")};
    for (int c = 0; c < 5; ++c)
        grid.setCell(c, 0, headings[c]);
    // Where the run counts space on disk, it stands beside: the sixth column.
    const bool onDisk = stats.options().countOnDisk && grid.columnCount() > onDiskColumn;
    if (onDisk)
        grid.setCell(onDiskColumn, 0, QStringLiteral("On Disk"));
    for (int i = 0; i < stats.lbTypes.rowCount(); ++i) {
        const ExtensionRow &row = stats.lbTypes.row(i);
        // The key is the file system's bytes: shown with every byte, nothing hidden.
        const QString extension = printableFileName(row.key);
        grid.setCell(0, i + 1, extension);
        grid.setCell(1, i + 1, described.value(row.key, fileTypeDescription(extension)));
        grid.setCell(2, i + 1, intToGrouped(row.bytes));
        grid.setCell(3, i + 1, intToGrouped(row.files));
        grid.setCell(4, i + 1,
                     row.files > 0 ? intToGrouped(row.bytes / row.files +
                                                  (row.bytes % row.files * 2 >= row.files))
                                   : QStringLiteral("0"));
        if (onDisk)
            grid.setCell(onDiskColumn, i + 1, intToGrouped(row.allocated));
    }
}

void ReportTables::writeTypeTotals(TextGrid &grid)
{
    // Whole numbers summed as such, so that totals beyond 2^53 stay exact; a sum beyond 2^63
    // stops at the largest.
    auto add = [](qint64 &sum, const QString &cell) {
        if (__builtin_add_overflow(sum, digitsOnly(cell).toLongLong(), &sum))
            sum = std::numeric_limits<qint64>::max();
    };
    const int last = grid.rowCount() - 1;
    qint64 bytes = 0;
    qint64 files = 0;
    qint64 onDisk = 0;
    const bool withOnDisk = grid.columnCount() > onDiskColumn;
    for (int r = 1; r < last; ++r) {
        add(bytes, grid.cell(2, r));
        add(files, grid.cell(3, r));
        if (withOnDisk)
            add(onDisk, grid.cell(onDiskColumn, r));
    }
    grid.setCell(1, last, QStringLiteral("Totals"));
    grid.setCell(2, last, intToGrouped(bytes));
    grid.setCell(3, last, intToGrouped(files));
    if (withOnDisk && !grid.cell(onDiskColumn, 0).isEmpty())
        grid.setCell(onDiskColumn, last, intToGrouped(onDisk));
}

TextTable ReportTables::typesTable(const StatAccumulators &stats,
                                   const QHash<QByteArray, QString> &described)
{
    const int n = stats.lbTypes.rowCount();
    const int columns = stats.options().countOnDisk ? onDiskColumn + 1 : 5;
    ScratchGrid grid(columns, n + 2);
    writeTypeRows(grid, stats, described);
    if (grid.rowCount() >= 4)
        SortGridByText(grid, 1, n, 0, false);
    writeTypeTotals(grid);

    TextTable table;
    table.title = ReportPage::title(ReportPage::Types);
    for (int c = 0; c < columns; ++c)
        table.headings.append(grid.cell(c, 0));
    table.rightAligned = {false, false, true, true, true, true};
    for (int r = 1; r < grid.rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < columns; ++c)
            cells.append(grid.cell(c, r));
        table.rows.append(cells);
    }
    if (const QString unlisted = unlistedText(stats.unlistedFiles, stats.unlistedBytes);
        !unlisted.isEmpty())
        table.notes.append(unlisted);
    if (const QString linked = linkedText(stats); !linked.isEmpty())
        table.notes.append(linked);
    return table;
}

TextTable ReportTables::sizesTable(const StatAccumulators &stats)
{
    TextTable table;
    table.title = ReportPage::title(ReportPage::Sizes);
    table.headings = QStringList{QStringLiteral("File size"), QStringLiteral("Total file size"),
                                 QStringLiteral("Number of files")};
    table.rightAligned = rightAfterFirst(3);
    for (int band = 12; band >= 1; --band)
        table.rows.append({ReportPage::sizeBandLabel(band),
                           floatToGrouped(stats.sizeBytes[size_t(band)]),
                           floatToGrouped(stats.sizeCount[size_t(band)])});
    addOnDiskColumn(table, stats, stats.onDisk.sizes, 12, -1);
    return table;
}

TextTable ReportTables::overhangTable(const StatAccumulators &stats, qint32 clusterSize,
                                      const QString &fileSystem)
{
    TextTable table;
    const OverhangFigures figures = OverhangFigures::compute(stats, clusterSize);
    if (!figures.hasFiles())
        return table;
    table.title = OverhangFigures::title(fileSystem);
    if (figures.clusterRow < 0) {
        table.notes.append(
            QStringLiteral("Cluster overhang analysis is not applicable to this drive."));
        return table;
    }
    const std::array<QString, 2> fat = OverhangFigures::fatHeadings(fileSystem);
    table.headings = QStringList{fat[0],
                                 fat[1],
                                 QString(),
                                 QStringLiteral("Cluster size"),
                                 QStringLiteral("Percent wasted"),
                                 QStringLiteral("Wasted space")};
    table.rightAligned = {false, false, false, false, true, true};
    for (int row = 0; row < OverhangFigures::rowCount; ++row) {
        const size_t r = size_t(row);
        table.rows.append({QString::fromLatin1(OverhangFigures::fatSizes[r]),
                           QString::fromLatin1(OverhangFigures::fat32Sizes[r]),
                           row == figures.clusterRow ? QStringLiteral("Active Size ->") : QString(),
                           QString::fromLatin1(OverhangFigures::clusterCaptions[r]),
                           formatFloat(QStringLiteral("#,##0. %"), figures.percentWasted[r]),
                           floatToGrouped(figures.waste[r])});
    }
    table.notes = QStringList{figures.filesText, figures.totalText, figures.actualText};
    if (stats.options().countOnDisk)
        table.notes.append(onDiskText(stats));
    return table;
}

TextTable ReportTables::dateTable(const StatAccumulators &stats, int stamp)
{
    TextTable table;
    table.title = ReportPage::title(ReportPage::datePage(stamp));
    table.headings = QStringList{ReportPage::dateHeading(stamp), QStringLiteral("Total file size"),
                                 QStringLiteral("Number of files")};
    table.rightAligned = rightAfterFirst(3);
    for (int band = 9; band >= 0; --band)
        table.rows.append({ReportPage::ageBandLabel(band),
                           floatToGrouped(stats.ageBytes(stamp)[size_t(band)]),
                           floatToGrouped(stats.ageCounts(stamp)[size_t(band)])});
    addOnDiskColumn(table, stats, stats.onDisk.ages[size_t(stamp)], 9, -1);
    return table;
}

TextTable ReportTables::combinedDateTable(const StatAccumulators &stats)
{
    TextTable table;
    table.title = ReportPage::title(ReportPage::Combined);
    table.headings = QStringList{QStringLiteral("Combined dates"), QStringLiteral("Access Size"),
                                 QStringLiteral("Access # files"), QStringLiteral("Create Size"),
                                 QStringLiteral("Create # files"), QStringLiteral("Modify Size"),
                                 QStringLiteral("Modify # files")};
    table.rightAligned = rightAfterFirst(7);
    for (int band = 9; band >= 0; --band) {
        QStringList cells{ReportPage::ageBandLabel(band)};
        for (int stamp = 0; stamp < ReportPage::stampCount; ++stamp)
            cells << floatToGrouped(stats.ageBytes(stamp)[size_t(band)])
                  << intToGrouped(qint64(stats.ageCounts(stamp)[size_t(band)]));
        table.rows.append(cells);
    }
    return table;
}

TextTable ReportTables::attributeTable(const StatAccumulators &stats)
{
    TextTable table;
    table.title = ReportPage::title(ReportPage::Attribute);
    table.headings =
        QStringList{QString(), QStringLiteral("% of total # files"), QStringLiteral("# Files"),
                    QStringLiteral("% of total size"), QStringLiteral("File Sizes")};
    table.rightAligned = rightAfterFirst(5);
    double files = 0;
    double bytes = 0;
    for (const quint32 bit : ReportPage::attributeRows) {
        files += double(stats.attributeFigures(bit).files);
        bytes += stats.attributeFigures(bit).bytes;
    }
    const QString share = QStringLiteral("#,##0.## %");
    for (const quint32 bit : ReportPage::attributeRows) {
        const StatAccumulators::AttributeFigures figures = stats.attributeFigures(bit);
        table.rows.append(
            {ReportPage::attributeLabel(bit),
             files > 0 ? formatFloat(share, 100 * double(figures.files) / files) : QString(),
             intToGrouped(figures.files),
             bytes > 0 ? formatFloat(share, 100 * figures.bytes / bytes) : QString(),
             floatToGrouped(figures.bytes)});
    }
    table.notes.append(QStringLiteral("Note it is possible that some files may have more than one "
                                      "attribute set.  For example many system files are also "
                                      "hidden."));
    return table;
}

TextTable ReportTables::timeTable(const StatAccumulators &stats)
{
    double accessed = 0;
    for (double slot : stats.accessedSlots)
        accessed += slot;
    TextTable table;
    table.title = ReportPage::title(ReportPage::Time);
    table.headings = QStringList{QStringLiteral("Time"), QStringLiteral("Modified time"),
                                 QStringLiteral("Created time")};
    if (accessed > 0)
        table.headings.append(QStringLiteral("Access Time"));
    table.rightAligned = QList<bool>(table.headings.size(), true);
    const QString &timeFormat = RegionalSettings::current().shortTimeFormat;
    for (int k = 0; k < StatAccumulators::slotCount; ++k) {
        const size_t slot = size_t(k);
        QStringList row{QTime(k / 2, k % 2 ? 30 : 0).toString(timeFormat),
                        floatToGrouped(stats.modifiedSlots[slot]),
                        floatToGrouped(stats.createdSlots[slot])};
        if (accessed > 0)
            row.append(floatToGrouped(stats.accessedSlots[slot]));
        table.rows.append(row);
    }
    return table;
}
