#pragma once

#include <QColor>
#include <QStringList>

class Chart;
class ChartColorTable;
class ChartSeries;
class QWidget;

// Fills a bar series with ten or twelve bands: value i divided by divisor (1048576 for MB),
// label i, colour-table entry i + 1 of the palette, or all in one colour.
void fillBandSeries(ChartSeries &series, ChartColorTable &colours, const QList<double> &values,
                    const QStringList &labels, double divisor, bool singleColour,
                    const QColor &colour);

// A bare chart of one horizontal bar series that stands beside rows of captions: no axes,
// walls or margins, no zooming, marks past the bar ends in markFormat without box or frame.
Chart *makeRowBarChart(QWidget *parent, const QColor &colour, const QString &markFormat,
                       double depth);
