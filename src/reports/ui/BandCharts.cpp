#include "BandCharts.h"

#include "reports/ChartColorTable.h"
#include "widgets/Chart.h"

void fillBandSeries(ChartSeries &series, ChartColorTable &colours, const QList<double> &values,
                    const QStringList &labels, double divisor, bool singleColour,
                    const QColor &colour)
{
    colours.initAColors(!singleColour, colour.rgb() & 0xFFFFFF);
    series.clear();
    for (qsizetype i = 0; i < values.size(); ++i)
        series.add(values[i] / divisor, labels.value(i),
                   QColor::fromRgb(colours.color(int(i) + 1)));
}

Chart *makeRowBarChart(QWidget *parent, const QColor &colour, const QString &markFormat,
                       double depth)
{
    auto *chart = new Chart(parent);
    chart->margins = QMarginsF(0, 0, 0, 0);
    chart->leftAxis.visible = chart->bottomAxis.visible = false;
    chart->leftAxis.grid = chart->bottomAxis.grid = false;
    chart->backWall.transparent = chart->leftWall.transparent = chart->bottomWall.transparent =
        true;
    chart->view.depth = depth;
    chart->allowZoom = false;
    ChartSeries &bars = chart->addSeries(ChartSeries::HorizontalBar, QString(), colour);
    bars.marks.visible = true;
    bars.marks.format = markFormat;
    bars.marks.transparent = true;
    bars.marks.frame = false;
    bars.marks.offset = 4;
    return chart;
}
