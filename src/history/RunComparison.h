#pragma once

#include "reports/TextTable.h"

#include <QList>
#include <QString>
#include <QStringList>

struct KeptRun;
class StatAccumulators;

// The change of the Types, Sizes and date listings between two runs: per row, the files and
// bytes before and after, sorted by growth (bytes, then files), rows new or vanished marked.
struct RowChange {
    enum State { Same, Changed, New, Vanished };
    QString label;
    State state = Same;
    qint64 filesBefore = 0, filesAfter = 0;
    qint64 bytesBefore = 0, bytesAfter = 0;
    qint64 onDiskBefore = 0, onDiskAfter = 0; // the space on disk, where the runs kept it
};

struct PageChange {
    int page = -1; // ReportPage::Page
    QString title;
    QList<RowChange> rows;
};

namespace RunComparison {

// The two runs compared by their figures: read from their archives, or from their tables for a
// run kept before runs kept their figures.
QList<PageChange> compare(const KeptRun &before, const KeptRun &after);
// How the runs differ in what they looked at: "Targets: c: then /srv", "Mode: All files then
// Only .doc", "Options: hidden folders then none". Empty when they looked alike.
QStringList differences(const KeptRun &before, const KeptRun &after);
// The pages' changes as tables, figures signed and grouped ("+1,234"), each ending in a totals
// row; the titles name both runs. With onDisk (both runs counted it), the space on disk too.
QList<TextTable> changeTables(const QList<PageChange> &pages, const QString &before,
                              const QString &after, bool onDisk = false);
QString stateText(RowChange::State state);
// "run 12 (08/12/2026 14:30)".
QString runName(const KeptRun &run);

} // namespace RunComparison
