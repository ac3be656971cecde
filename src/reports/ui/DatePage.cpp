#include "DatePage.h"

#include "BandCharts.h"
#include "reports/ReportTables.h"
#include "widgets/Chart.h"
#include "widgets/ReportGrid.h"

DatePage::DatePage(const QString &name, const QString &infoText, ChartColorTable &colours,
                   QWidget *parent)
    : BandPage({194, 189, 140}, 11, infoText, parent), m_name(name), m_colours(colours)
{
    addShareBars(*chart);
}

std::optional<ListRow> DatePage::rowAt(int gridRow, int) const
{
    // "Over 4 years" (band 9) heads the listing, "Not recorded" (band 0) ends it.
    if (gridRow < 1 || gridRow > 10)
        return std::nullopt;
    return ListRow{stamp(), 10 - gridRow, {}};
}

QList<ListRow> DatePage::chartRows(int category) const
{
    return {ListRow{stamp(), category, {}}};
}

ListRow::Kind DatePage::stamp() const
{
    return m_name == u"Access"    ? ListRow::AccessedAge
           : m_name == u"Created" ? ListRow::CreatedAge
                                  : ListRow::ModifiedAge;
}

QStringList DatePage::bandLabels()
{
    QStringList labels;
    for (int band = 0; band < 10; ++band)
        labels.append(ReportTables::ageBandLabel(band));
    return labels;
}

void DatePage::fillGridDates(const QString &heading, const std::array<double, 10> &counts,
                             const std::array<double, 10> &bytes)
{
    grid->clearSelection();
    const TextTable table = ReportTables::dateTable(heading, QString(), counts, bytes);
    grid->resetColumnWidths();
    for (int c = 0; c < 3; ++c)
        grid->setCell(c, 0, table.headings[c]);
    for (int r = 0; r < 10; ++r)
        for (int c = 0; c < 3; ++c)
            grid->setCell(c, r + 1, table.rows[r][c]);
    placeGrid();
}

void DatePage::rebuildChart(const std::array<double, 10> &counts,
                            const std::array<double, 10> &bytes)
{
    const bool bySize = chartBySize();
    chart->undoZoom();
    chart->title = m_name + (bySize ? QStringLiteral(" Date (file sizes in MB)")
                                    : QStringLiteral(" Date (Number of files)"));
    chooseLegendFormat();
    const auto &values = bySize ? bytes : counts;
    fillBandSeries(chart->seriesAt(0), m_colours, QList<double>(values.begin(), values.end()),
                   bandLabels(), bySize ? 1048576.0 : 1.0, false, QColor());
    chart->update();
}
