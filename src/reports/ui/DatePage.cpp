#include "DatePage.h"

#include "BandCharts.h"
#include "collection/StatAccumulators.h"
#include "reports/ReportPage.h"
#include "reports/ReportTables.h"
#include "widgets/Chart.h"
#include "widgets/ReportGrid.h"

DatePage::DatePage(int stamp, const QString &infoText, ChartColorTable &colours, QWidget *parent)
    : BandPage({194, 189, 140}, 11, infoText, parent), m_stamp(stamp),
      m_name(ReportPage::title(ReportPage::datePage(stamp))), m_colours(colours)
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
    return ListRow::Kind(ListRow::AccessedAge + m_stamp);
}

QStringList DatePage::bandLabels()
{
    QStringList labels;
    for (int band = 0; band < 10; ++band)
        labels.append(ReportPage::ageBandLabel(band));
    return labels;
}

void DatePage::fillGridDates(const StatAccumulators &stats)
{
    grid->clearSelection();
    fillGrid(ReportTables::dateTable(stats, m_stamp));
}

void DatePage::rebuildChart(const StatAccumulators &stats)
{
    const bool bySize = chartBySize();
    chart->undoZoom();
    chart->title = m_name + (bySize ? QStringLiteral(" Date (file sizes in MB)")
                                    : QStringLiteral(" Date (Number of files)"));
    chooseLegendFormat();
    const auto &values = bySize ? stats.ageBytes(m_stamp) : stats.ageCounts(m_stamp);
    fillBandSeries(chart->seriesAt(0), m_colours, QList<double>(values.begin(), values.end()),
                   bandLabels(), bySize ? 1048576.0 : 1.0, false, QColor());
    chart->update();
}
