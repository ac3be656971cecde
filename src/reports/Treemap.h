#pragma once

#include <QList>
#include <QRectF>

// A squarified treemap: values as rectangles that fill an area, each in proportion to its
// value, as near square as the values allow (rows laid along the shorter side, each row closed
// when one more value would make its worst rectangle less square).
namespace Treemap {

// One rectangle per value, in the values' order; values in descending order give the best
// shapes. A value of zero or less gets an empty rectangle.
QList<QRectF> layout(const QList<double> &values, const QRectF &area);

} // namespace Treemap
