#include "ChartSeries.h"

ChartSeries::ChartSeries(Kind seriesKind, const QString &seriesTitle, const QColor &seriesColor)
    : kind(seriesKind), title(seriesTitle), color(seriesColor)
{
    marks.font = QFont(QStringLiteral("Arial"));
    marks.font.setPixelSize(11);
}

void ChartSeries::add(double value, const QString &label, const QColor &pointColor)
{
    points.append(ChartPoint{value, label, pointColor});
}

QColor ChartSeries::pointColor(int index) const
{
    const QColor &own = points[index].color;
    return own.isValid() ? own : color;
}

double ChartSeries::total() const
{
    double sum = 0;
    for (const ChartPoint &point : points)
        sum += point.value;
    return sum;
}
