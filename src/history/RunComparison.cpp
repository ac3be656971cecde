#include "RunComparison.h"

#include "common/Utility.h"

#include <QHash>

#include <algorithm>

namespace {

// The listings compared, with the headings of their bytes and files columns.
struct Compared {
    const char *page;
    const char *bytes;
    const char *files;
};
constexpr Compared compared[] = {{"Types", "Size", "# Files"},
                                 {"Sizes", "Total file size", "Number of files"},
                                 {"Access", "Total file size", "Number of files"},
                                 {"Created", "Total file size", "Number of files"},
                                 {"Modified", "Total file size", "Number of files"}};

struct Figures {
    qint64 files = 0;
    qint64 bytes = 0;
};

// The rows of the page's table by label; the totals row left out.
QList<std::pair<QString, Figures>> rowsOf(const QList<TextTable> &tables, const Compared &page)
{
    QList<std::pair<QString, Figures>> rows;
    for (const TextTable &table : tables) {
        if (table.title != QLatin1StringView(page.page))
            continue;
        const qsizetype bytes = table.headings.indexOf(QString::fromLatin1(page.bytes));
        const qsizetype files = table.headings.indexOf(QString::fromLatin1(page.files));
        if (bytes < 0 || files < 0)
            continue;
        for (const QStringList &cells : table.rows) {
            if (cells.value(1) == u"Totals")
                continue;
            rows.append({cells.value(0), Figures{digitsOnly(cells.value(files)).toLongLong(),
                                                 digitsOnly(cells.value(bytes)).toLongLong()}});
        }
    }
    return rows;
}

QString signedFigure(qint64 change)
{
    return change > 0 ? QStringLiteral("+") + intToGrouped(change) : intToGrouped(change);
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

QList<PageChange> RunComparison::compare(const QList<TextTable> &before,
                                         const QList<TextTable> &after)
{
    QList<PageChange> pages;
    for (const Compared &page : compared) {
        const auto old = rowsOf(before, page);
        const auto now = rowsOf(after, page);
        QHash<QString, Figures> oldByLabel;
        for (const auto &[label, figures] : old)
            oldByLabel.insert(label, figures);
        PageChange change{QString::fromLatin1(page.page), {}};
        QHash<QString, bool> seen;
        for (const auto &[label, figures] : now) {
            RowChange row{label, RowChange::New, 0, figures.files, 0, figures.bytes};
            if (const auto found = oldByLabel.constFind(label); found != oldByLabel.cend()) {
                row.filesBefore = found->files;
                row.bytesBefore = found->bytes;
                row.state = row.filesBefore == row.filesAfter && row.bytesBefore == row.bytesAfter
                                ? RowChange::Same
                                : RowChange::Changed;
            }
            seen.insert(label, true);
            change.rows.append(row);
        }
        for (const auto &[label, figures] : old)
            if (!seen.contains(label))
                change.rows.append(
                    {label, RowChange::Vanished, figures.files, 0, figures.bytes, 0});
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

QList<TextTable> RunComparison::changeTables(const QList<PageChange> &pages, const QString &against)
{
    QList<TextTable> tables;
    for (const PageChange &page : pages) {
        TextTable table;
        table.title = page.page + QStringLiteral(" since ") + against;
        table.headings = QStringList{page.page,
                                     QStringLiteral("Files before"),
                                     QStringLiteral("Files after"),
                                     QStringLiteral("Files change"),
                                     QStringLiteral("Bytes before"),
                                     QStringLiteral("Bytes after"),
                                     QStringLiteral("Bytes change"),
                                     QString()};
        table.rightAligned = {false, true, true, true, true, true, true, false};
        for (const RowChange &row : page.rows)
            table.rows.append(
                {row.label, intToGrouped(row.filesBefore), intToGrouped(row.filesAfter),
                 signedFigure(row.filesAfter - row.filesBefore), intToGrouped(row.bytesBefore),
                 intToGrouped(row.bytesAfter), signedFigure(row.bytesAfter - row.bytesBefore),
                 row.state == RowChange::New || row.state == RowChange::Vanished
                     ? stateText(row.state)
                     : QString()});
        tables.append(table);
    }
    return tables;
}
