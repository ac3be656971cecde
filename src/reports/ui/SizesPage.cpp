#include "SizesPage.h"

#include "BandCharts.h"
#include "collection/StatAccumulators.h"
#include "common/Utility.h"
#include "reports/ReportTables.h"
#include "widgets/Chart.h"
#include "widgets/ReportGrid.h"

SizesPage::SizesPage(ChartColorTable &colours, QWidget *parent)
    : BandPage({194, 189, 140}, 13, QString(), parent), m_colours(colours)
{
    addShareBars(*chart);
    connect(this, &BandPage::viewClicked, this, &SizesPage::rgSizesClick);
}

std::optional<ListRow> SizesPage::rowAt(int gridRow, int) const
{
    // "Over 16MB" (band 12) heads the listing, "0 - 16K" (band 1) ends it.
    if (gridRow < 1 || gridRow > 12)
        return std::nullopt;
    return ListRow{ListRow::SizeBand, 13 - gridRow, {}};
}

QList<ListRow> SizesPage::chartRows(int category) const
{
    // The bars go from band 1 at the bottom to band 12 at the top.
    return {ListRow{ListRow::SizeBand, category + 1, {}}};
}

void SizesPage::doFileSizes(const StatAccumulators &stats)
{
    m_stats = &stats;
    grid->clearSelection();
    fillGridSizes(stats);
    rgSizesClick();
}

void SizesPage::fillGridSizes(const StatAccumulators &stats)
{
    fillGrid(ReportTables::sizesTable(stats));
}

void SizesPage::rgSizesClick()
{
    showChosenView();
    if (listingChosen() || !m_stats)
        return;
    chart->undoZoom();
    const bool bySize = chartBySize();
    chooseLegendFormat();
    chart->title = bySize ? QStringLiteral("File Sizes in MB") : QStringLiteral("Number of Files");
    QList<double> values;
    QStringList labels;
    for (int band = 1; band <= 12; ++band) {
        values.append(bySize ? m_stats->sizeBytes[size_t(band)] : m_stats->sizeCount[size_t(band)]);
        labels.append(grid->cell(0, 13 - band));
    }
    fillBandSeries(chart->seriesAt(0), m_colours, values, labels, bySize ? 1048576.0 : 1.0, false,
                   QColor());
    chart->update();
}
