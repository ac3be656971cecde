#include "BandCharts.h"

#include "reports/ChartColorTable.h"
#include "widgets/ChartSeries.h"

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
