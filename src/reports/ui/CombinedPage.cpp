#include "CombinedPage.h"

#include "BandCharts.h"
#include "DatePage.h"
#include "collection/StatAccumulators.h"
#include "reports/ReportTables.h"
#include "widgets/Chart.h"
#include "widgets/ReportGrid.h"

CombinedPage::CombinedPage(ChartColorTable &colours, QWidget *parent)
    : BandPage({119, 97, 78, 86, 71, 85, 72}, 11,
               QStringLiteral("This chart combines the Accessed, Created and Modified charts"),
               parent),
      m_colours(colours)
{
    chart->title = QStringLiteral("Combination Access/Created/Modified Chart");
    chart->legendStyle = LegendStyle::SeriesTitles;
    chart->view.depth = 20;
    const std::tuple<const char *, QColor, double> series[] = {{"Modified", Qt::yellow, -25},
                                                               {"Created", QColor(0, 128, 0), 0},
                                                               {"Accessed", Qt::red, 25}};
    for (const auto &[title, colour, offset] : series) {
        ChartSeries &bars =
            chart->addSeries(ChartSeries::HorizontalBar, QString::fromLatin1(title), colour);
        bars.barWidthPercent = 40;
        bars.offsetPercent = offset;
        bars.gradient = true;
    }
}

void CombinedPage::fillCombinedGridDates(const StatAccumulators &stats)
{
    grid->clearSelection();
    grid->resetColumnWidths();
    const TextTable table = ReportTables::combinedDateTable(stats);
    for (int c = 0; c < 7; ++c) {
        grid->setCell(c, 0, table.headings[c]);
        for (int r = 0; r < 10; ++r)
            grid->setCell(c, r + 1, table.rows[r][c]);
    }
    placeGrid();
}

std::optional<ListRow> CombinedPage::rowAt(int gridRow, int column) const
{
    // Two columns per stamp: access, created, modified; the label column means modified.
    if (gridRow < 1 || gridRow > 10)
        return std::nullopt;
    const ListRow::Kind stamps[] = {ListRow::AccessedAge, ListRow::CreatedAge,
                                    ListRow::ModifiedAge};
    const int stamp = column >= 1 && column <= 6 ? (column - 1) / 2 : 2;
    return ListRow{stamps[stamp], 10 - gridRow, {}};
}

QList<ListRow> CombinedPage::chartRows(int category) const
{
    return {ListRow{ListRow::AccessedAge, category, {}}, ListRow{ListRow::CreatedAge, category, {}},
            ListRow{ListRow::ModifiedAge, category, {}}};
}

void CombinedPage::rebuildChart(const StatAccumulators &stats)
{
    chart->undoZoom();
    const bool bySize = chartBySize();
    // The series stand modified, created, accessed: stamps 2, 1 and 0.
    for (int s = 0; s < 3; ++s) {
        const StatAccumulators::AgeBands &values =
            bySize ? stats.ageBytes(2 - s) : stats.ageCounts(2 - s);
        ChartSeries &series = chart->seriesAt(s);
        fillBandSeries(series, m_colours, QList<double>(values.begin(), values.end()),
                       DatePage::bandLabels(), bySize ? 1048576.0 : 1.0, true, series.color);
    }
    chart->update();
}
