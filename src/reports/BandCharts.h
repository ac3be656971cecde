#pragma once

#include <QColor>
#include <QStringList>

class ChartColorTable;
class ChartSeries;

// Fills a bar series with ten or twelve bands: value i divided by divisor (1048576 for MB),
// label i, colour-table entry i + 1 of the palette, or all in one colour.
void fillBandSeries(ChartSeries &series, ChartColorTable &colours, const QList<double> &values,
                    const QStringList &labels, double divisor, bool singleColour,
                    const QColor &colour);
