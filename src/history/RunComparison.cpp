#include "RunComparison.h"

#include "KeptRun.h"
#include "collection/FileLists.h"
#include "collection/RunArchive.h"
#include "collection/StatAccumulators.h"
#include "collection/UnreadableFolders.h"
#include "common/FileNameText.h"
#include "common/Utility.h"
#include "reports/ReportPage.h"

#include <QHash>
#include <QLocale>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// The pages compared, in page order.
constexpr ReportPage::Page comparedPages[] = {ReportPage::Types, ReportPage::Sizes,
                                              ReportPage::Access, ReportPage::Created,
                                              ReportPage::Modified};

struct Figures {
    qint64 files = 0;
    qint64 bytes = 0;
    qint64 onDisk = 0;
};
using Rows = QList<std::pair<QString, Figures>>;
using PageRows = QList<Rows>; // one per compared page

qint64 whole(double value)
{
    if (!std::isfinite(value) || value <= 0)
        return 0;
    return value >= 9.2e18 ? std::numeric_limits<qint64>::max() : qint64(value);
}

PageRows rowsOfFigures(const StatAccumulators &stats)
{
    PageRows pages;
    Rows types;
    for (const ExtensionRow &row : stats.lbTypes.rows())
        types.append({printableFileName(row.key), Figures{row.files, row.bytes, row.allocated}});
    pages.append(types);
    Rows sizes;
    for (int band = ReportPage::sizeBandCount; band >= 1; --band)
        sizes.append(
            {ReportPage::sizeBandLabel(band),
             Figures{whole(stats.sizeCount[size_t(band)]), whole(stats.sizeBytes[size_t(band)]),
                     whole(stats.onDisk.sizes[size_t(band)])}});
    pages.append(sizes);
    for (int stamp = 0; stamp < ReportPage::stampCount; ++stamp) {
        Rows ages;
        for (int band = ReportPage::ageBandCount - 1; band >= 0; --band)
            ages.append({ReportPage::ageBandLabel(band),
                         Figures{whole(stats.ageCounts(stamp)[size_t(band)]),
                                 whole(stats.ageBytes(stamp)[size_t(band)]),
                                 whole(stats.onDisk.ages[size_t(stamp)][size_t(band)])}});
        pages.append(ages);
    }
    return pages;
}

// For a run kept before archives: its tables as written then, by their headings.
PageRows rowsOfTables(const QList<TextTable> &tables)
{
    struct Columns {
        const char *bytes;
        const char *files;
    };
    constexpr Columns columns[] = {{"Size", "# Files"},
                                   {"Total file size", "Number of files"},
                                   {"Total file size", "Number of files"},
                                   {"Total file size", "Number of files"},
                                   {"Total file size", "Number of files"}};
    PageRows pages;
    for (size_t i = 0; i < std::size(comparedPages); ++i) {
        Rows rows;
        for (const TextTable &table : tables) {
            if (table.title != ReportPage::title(comparedPages[i]))
                continue;
            const qsizetype bytes = table.headings.indexOf(QString::fromLatin1(columns[i].bytes));
            const qsizetype files = table.headings.indexOf(QString::fromLatin1(columns[i].files));
            if (bytes < 0 || files < 0)
                continue;
            for (const QStringList &cells : table.rows) {
                if (cells.value(1) == u"Totals")
                    continue;
                rows.append({cells.value(0), Figures{digitsOnly(cells.value(files)).toLongLong(),
                                                     digitsOnly(cells.value(bytes)).toLongLong()}});
            }
        }
        pages.append(rows);
    }
    return pages;
}

PageRows rowsOf(const KeptRun &run)
{
    if (!run.archive.isEmpty()) {
        StatAccumulators stats;
        FileLists lists;
        UnreadableFolders unreadable;
        if (RunArchive::read(run.archive, stats, lists, unreadable))
            return rowsOfFigures(stats);
    }
    return rowsOfTables(run.tables);
}

QString signedFigure(qint64 change)
{
    return change > 0 ? QStringLiteral("+") + intToGrouped(change) : intToGrouped(change);
}

qint64 sum(qint64 a, qint64 b)
{
    qint64 total = 0;
    return __builtin_add_overflow(a, b, &total) ? std::numeric_limits<qint64>::max() : total;
}

} // namespace

QString RunComparison::stateText(RowChange::State state)
{
    switch (state) {
    case RowChange::New:
        return QStringLiteral("new");
    case RowChange::Vanished:
        return QStringLiteral("vanished");
    case RowChange::Changed:
        return QStringLiteral("changed");
    case RowChange::Same:
        break;
    }
    return QStringLiteral("same");
}

QString RunComparison::runName(const KeptRun &run)
{
    return QStringLiteral("run %1 (%2)")
        .arg(run.id)
        .arg(QLocale().toString(run.started, QLocale::ShortFormat));
}

QList<PageChange> RunComparison::compare(const KeptRun &before, const KeptRun &after)
{
    const PageRows oldPages = rowsOf(before);
    const PageRows newPages = rowsOf(after);
    QList<PageChange> pages;
    for (size_t i = 0; i < std::size(comparedPages); ++i) {
        const Rows &old = oldPages[qsizetype(i)];
        const Rows &now = newPages[qsizetype(i)];
        QHash<QString, Figures> oldByLabel;
        for (const auto &[label, figures] : old)
            oldByLabel.insert(label, figures);
        PageChange change{comparedPages[i], ReportPage::title(comparedPages[i]), {}};
        QHash<QString, bool> seen;
        for (const auto &[label, figures] : now) {
            RowChange row{label, RowChange::New, 0, figures.files,
                          0,     figures.bytes,  0, figures.onDisk};
            if (const auto found = oldByLabel.constFind(label); found != oldByLabel.cend()) {
                row.filesBefore = found->files;
                row.bytesBefore = found->bytes;
                row.onDiskBefore = found->onDisk;
                row.state = row.filesBefore == row.filesAfter && row.bytesBefore == row.bytesAfter
                                ? RowChange::Same
                                : RowChange::Changed;
            }
            seen.insert(label, true);
            change.rows.append(row);
        }
        for (const auto &[label, figures] : old)
            if (!seen.contains(label))
                change.rows.append({label, RowChange::Vanished, figures.files, 0, figures.bytes, 0,
                                    figures.onDisk, 0});
        std::stable_sort(change.rows.begin(), change.rows.end(),
                         [](const RowChange &a, const RowChange &b) {
                             const qint64 ga = a.bytesAfter - a.bytesBefore;
                             const qint64 gb = b.bytesAfter - b.bytesBefore;
                             if (ga != gb)
                                 return ga > gb;
                             return a.filesAfter - a.filesBefore > b.filesAfter - b.filesBefore;
                         });
        pages.append(change);
    }
    return pages;
}

QStringList RunComparison::differences(const KeptRun &before, const KeptRun &after)
{
    QStringList differ;
    auto compareText = [&differ](const char *what, const QString &a, const QString &b) {
        // Names read back from a history, perhaps a shared one: said as listings say them.
        if (a != b)
            differ.append(QString::fromLatin1(what) + QStringLiteral(": ") +
                          (a.isEmpty() ? QStringLiteral("none") : withoutHiddenControls(a)) +
                          QStringLiteral(" then ") +
                          (b.isEmpty() ? QStringLiteral("none") : withoutHiddenControls(b)));
    };
    // The same path on two hosts is two targets. (Runs kept before hosts were kept have none.)
    if (!before.host.isEmpty() && !after.host.isEmpty())
        compareText("Host", before.host, after.host);
    compareText("Targets", before.targets.join(QStringLiteral("; ")),
                after.targets.join(QStringLiteral("; ")));
    compareText("Mode", before.modeText(), after.modeText());
    compareText("Options", before.optionsText(), after.optionsText());
    return differ;
}

QList<TextTable> RunComparison::changeTables(const QList<PageChange> &pages, const QString &before,
                                             const QString &after, bool onDisk)
{
    QList<TextTable> tables;
    for (const PageChange &page : pages) {
        TextTable table;
        table.title =
            page.title + QStringLiteral(" from ") + before + QStringLiteral(" to ") + after;
        table.page = page.page;
        table.headings = QStringList{page.title,
                                     QStringLiteral("Files before"),
                                     QStringLiteral("Files after"),
                                     QStringLiteral("Files change"),
                                     QStringLiteral("Bytes before"),
                                     QStringLiteral("Bytes after"),
                                     QStringLiteral("Bytes change")};
        if (onDisk)
            table.headings << QStringLiteral("On disk before") << QStringLiteral("On disk after")
                           << QStringLiteral("On disk change");
        table.headings.append(QString());
        table.rightAligned = QList<bool>(table.headings.size(), true);
        table.rightAligned.first() = table.rightAligned.last() = false;
        RowChange totals{QStringLiteral("Totals"), RowChange::Same, 0, 0, 0, 0, 0, 0};
        auto cells = [onDisk](const RowChange &row) {
            QStringList shown{row.label,
                              intToGrouped(row.filesBefore),
                              intToGrouped(row.filesAfter),
                              signedFigure(row.filesAfter - row.filesBefore),
                              intToGrouped(row.bytesBefore),
                              intToGrouped(row.bytesAfter),
                              signedFigure(row.bytesAfter - row.bytesBefore)};
            if (onDisk)
                shown << intToGrouped(row.onDiskBefore) << intToGrouped(row.onDiskAfter)
                      << signedFigure(row.onDiskAfter - row.onDiskBefore);
            shown << (row.state == RowChange::New || row.state == RowChange::Vanished
                          ? stateText(row.state)
                          : QString());
            return shown;
        };
        for (const RowChange &row : page.rows) {
            table.rows.append(cells(row));
            totals.filesBefore = sum(totals.filesBefore, row.filesBefore);
            totals.filesAfter = sum(totals.filesAfter, row.filesAfter);
            totals.bytesBefore = sum(totals.bytesBefore, row.bytesBefore);
            totals.bytesAfter = sum(totals.bytesAfter, row.bytesAfter);
            totals.onDiskBefore = sum(totals.onDiskBefore, row.onDiskBefore);
            totals.onDiskAfter = sum(totals.onDiskAfter, row.onDiskAfter);
        }
        table.rows.append(cells(totals));
        tables.append(table);
    }
    return tables;
}
