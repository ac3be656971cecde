#include "Treemap.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// The worst aspect ratio of a row of areas (sum and extremes given) laid along a side.
double worstRatio(double sum, double smallest, double largest, double side)
{
    if (sum <= 0 || smallest <= 0)
        return std::numeric_limits<double>::infinity();
    const double side2 = side * side;
    const double sum2 = sum * sum;
    return std::max(side2 * largest / sum2, sum2 / (side2 * smallest));
}

} // namespace

QList<QRectF> Treemap::layout(const QList<double> &values, const QRectF &area)
{
    QList<QRectF> rectangles(values.size());
    double total = 0;
    for (double value : values)
        total += std::max(value, 0.0);
    if (total <= 0 || area.isEmpty())
        return rectangles;
    // Values as areas of the rectangle to fill.
    const double scale = area.width() * area.height() / total;
    QRectF free = area;
    qsizetype next = 0;
    while (next < values.size() && values[next] <= 0)
        ++next;
    while (next < values.size()) {
        const bool wide = free.width() >= free.height();
        const double side = wide ? free.height() : free.width();
        // The row grows while its worst rectangle gets squarer.
        qsizetype end = next;
        double sum = 0, smallest = 0, largest = 0;
        while (end < values.size()) {
            const double size = std::max(values[end], 0.0) * scale;
            if (size <= 0) {
                ++end;
                continue;
            }
            const double grown = sum + size;
            const double low = sum > 0 ? std::min(smallest, size) : size;
            const double high = std::max(largest, size);
            if (sum > 0 &&
                worstRatio(grown, low, high, side) > worstRatio(sum, smallest, largest, side))
                break;
            sum = grown;
            smallest = low;
            largest = high;
            ++end;
        }
        // The row takes a strip of the free area as thick as its areas need.
        const double thickness = side > 0 ? sum / side : 0;
        double along = 0;
        for (qsizetype i = next; i < end; ++i) {
            const double size = std::max(values[i], 0.0) * scale;
            if (size <= 0)
                continue;
            const double length = thickness > 0 ? size / thickness : 0;
            rectangles[i] = wide ? QRectF(free.left(), free.top() + along, thickness, length)
                                 : QRectF(free.left() + along, free.top(), length, thickness);
            along += length;
        }
        if (wide)
            free.setLeft(free.left() + thickness);
        else
            free.setTop(free.top() + thickness);
        next = end;
    }
    return rectangles;
}
