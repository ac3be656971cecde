#pragma once

#include "Chart.h"

#include <QPainter>

// Draws one chart into one rectangle: background, title, legend, then either the pie or the
// 3D box with walls, axes, bars, lines and marks.
class ChartPainter {
public:
    ChartPainter(const Chart &chart, QPainter &painter, const QRectF &area);
    void paint();

    // A step of 1, 2 or 5 times a power of ten near span / ticks.
    static double niceStep(double span, int ticks);
    // The values an axis from low to high labels, written with format.
    static QList<double> valueTicks(double low, double high, const QString &format);
    // The data's value range rounded out to whole steps; 0 always inside.
    static std::pair<double, double> dataRange(const std::deque<ChartSeries> &series);

private:
    void drawBackground();
    QRectF drawTitle(QRectF free);
    QRectF drawLegend(QRectF free);
    void drawPie(const ChartSeries &series, const QRectF &free);
    void drawBox(const QRectF &free);
    // anchor: the bar's end where the mark belongs; base: the other end of the bar, which a
    // mark inside the bar does not pass.
    void drawMark(const ChartSeries &series, const QString &text, QPointF anchor, QPointF base,
                  bool horizontal, bool positive);

    const Chart &m_chart;
    QPainter &m_painter;
    QRectF m_area;
};
