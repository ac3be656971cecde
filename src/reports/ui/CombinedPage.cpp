#include "CombinedPage.h"

#include "BandCharts.h"
#include "DatePage.h"
#include "collection/StatAccumulators.h"
#include "common/Utility.h"
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

void CombinedPage::fillCombinedGridDates(const StatAccumulators &stats, const QStringList &labels)
{
    grid->clearSelection();
    grid->resetColumnWidths();
    const char *headings[] = {"Combined dates", "Access Size", "Access # files", "Create Size",
                              "Create # files", "Modify Size", "Modify # files"};
    for (int c = 0; c < 7; ++c)
        grid->setCell(c, 0, QString::fromLatin1(headings[c]));
    for (int r = 1; r <= 10; ++r) {
        const size_t b = size_t(10 - r);
        grid->setCell(0, r, labels.value(r - 1));
        grid->setCell(1, r, floatToGrouped(stats.accessedAgeBytes[b]));
        grid->setCell(2, r, intToGrouped(qint64(stats.accessedAgeCount[b])));
        grid->setCell(3, r, floatToGrouped(stats.createdAgeBytes[b]));
        grid->setCell(4, r, intToGrouped(qint64(stats.createdAgeCount[b])));
        grid->setCell(5, r, floatToGrouped(stats.modifiedAgeBytes[b]));
        grid->setCell(6, r, intToGrouped(qint64(stats.modifiedAgeCount[b])));
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
    const std::array<const StatAccumulators::AgeBands *, 6> arrays{
        &stats.modifiedAgeBytes, &stats.modifiedAgeCount, &stats.createdAgeBytes,
        &stats.createdAgeCount,  &stats.accessedAgeBytes, &stats.accessedAgeCount};
    for (int s = 0; s < 3; ++s) {
        const StatAccumulators::AgeBands &values = *arrays[size_t(2 * s + (bySize ? 0 : 1))];
        ChartSeries &series = chart->seriesAt(s);
        fillBandSeries(series, m_colours, QList<double>(values.begin(), values.end()),
                       DatePage::bandLabels(), bySize ? 1048576.0 : 1.0, true, series.color);
    }
    chart->update();
}
