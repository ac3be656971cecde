#pragma once

#include "reports/TextTable.h"

#include <QList>
#include <QString>

// The change of the Types, Sizes and date listings between two runs: per row, the files and
// bytes before and after, sorted by growth (bytes, then files), rows new or vanished marked.
struct RowChange {
    enum State { Same, Changed, New, Vanished };
    QString label;
    State state = Same;
    qint64 filesBefore = 0, filesAfter = 0;
    qint64 bytesBefore = 0, bytesAfter = 0;
};

struct PageChange {
    QString page;
    QList<RowChange> rows;
};

namespace RunComparison {

// before and after: every page's table of the two runs, as the report writes them.
QList<PageChange> compare(const QList<TextTable> &before, const QList<TextTable> &after);
// The pages' changes as tables, figures signed and grouped ("+1,234").
QList<TextTable> changeTables(const QList<PageChange> &pages, const QString &against);
QString stateText(RowChange::State state);

} // namespace RunComparison
