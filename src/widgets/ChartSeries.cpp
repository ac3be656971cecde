#include "ChartSeries.h"

#include "common/NumberPattern.h"

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

QList<ChartSeries::Slice> ChartSeries::pieSlices() const
{
    double positive = 0;
    for (const ChartPoint &point : points)
        if (point.value > 0)
            positive += point.value;
    QList<Slice> slices;
    double other = 0;
    for (qsizetype i = 0; i < points.size(); ++i) {
        const ChartPoint &point = points[i];
        if (point.value <= 0)
            continue;
        if (point.value / positive * 100 < otherPercent)
            other += point.value;
        else
            slices.append({point.value, point.label, pointColor(int(i)), int(i)});
    }
    if (other > 0)
        slices.append({other, otherLabel, QColor(192, 192, 192), -1});
    return slices;
}

QString ChartSeries::markText(int index) const
{
    const double value = points[index].value;
    if (!marks.percentOfTotal)
        return formatFloat(marks.format, value);
    const double sum = total();
    return formatFloat(marks.format, sum != 0 ? 100 * value / sum : 0);
}
