#pragma once

#include "Chart.h"
#include "View3D.h"

#include <QPainter>

#include <array>

// Draws one chart into one rectangle: background, title, legend, then either the pie or the
// 3D box with walls, axes, bars, lines and marks. The box is laid out first, in plain numbers
// (layoutBox), and then drawn from that layout step by step.
class ChartPainter {
public:
    // Where a painting put the axes and the pie's slices: what a widget keeps to turn clicks
    // into values and points.
    struct Placement {
        Chart::ValueScale scale;
        Chart::ValueScale categoryScale;
        QList<Chart::PlacedSlice> slices;
    };

    // The bar or line chart's box as numbers. Positions are pixels of the front plane (x, y)
    // and of depth (z, 0 at the front), to be projected by the chart's 3D view.
    struct BoxLayout {
        struct Bar {
            int series = 0; // of the visible series
            int point = 0;
            double x0 = 0, x1 = 0, y0 = 0, y1 = 0, z0 = 0, z1 = 0;
            bool empty = false; // no length: not drawn, but marked
        };
        struct Mark {
            int series = 0;
            int point = 0;
            QString text;
            double along = 0;          // the bar's centre across its length
            double end = 0, start = 0; // the value axis' pixels of its top and base
            double z0 = 0, z1 = 0;     // its front and back
            bool positive = true;      // top at or past base
        };
        QList<const ChartSeries *> shown;
        bool horizontal = false;
        int categories = 0;
        double low = 0, high = 1;
        QList<double> ticks;
        QStringList labels; // per category
        QRectF free, plot, front;
        double depth = 0;
        // The bands shown (all, or the zoomed part) and the pixels of one band.
        double firstBand = 0, lastBand = 0, band = 0;
        // The depth of the bars' front faces (the foremost slot's): category labels stand
        // level with them, so that each bar is read against its own row.
        double barFront = 0;
        QList<Bar> bars;
        QList<Mark> marks;
        QList<int> lineSeries; // of the visible series, in order

        // The front has room for a chart at all.
        bool drawable() const { return front.width() >= 4 && front.height() >= 4; }
        double valuePixel(double value) const;
        double bandCentre(int category) const;
        Chart::ValueScale valueScale() const;
        Chart::ValueScale bandScale() const;
    };

    ChartPainter(const Chart &chart, QPainter &painter, const QRectF &area);
    Placement paint();
    // The box of the chart in free, the room left beside title and legend.
    BoxLayout layoutBox(const QRectF &free) const;

    // A step of 1, 2 or 5 times a power of ten near span / ticks.
    static double niceStep(double span, int ticks);
    // The values an axis from low to high labels, written with format.
    static QList<double> valueTicks(double low, double high, const QString &format);
    // The data's value range rounded out to whole steps; 0 always inside.
    static std::pair<double, double> dataRange(const std::deque<ChartSeries> &series);

private:
    struct Face {
        QPolygonF polygon;
        double distance = 0;
        QBrush brush;
        QColor outline;
    };

    void drawBackground();
    QRectF drawTitle(QRectF free);
    QRectF drawLegend(QRectF free);
    void drawPie(const ChartSeries &series, const QRectF &free);
    void drawBox(const QRectF &free);
    void drawWalls(const BoxLayout &box, const Projection3D &projection);
    void drawValueAxis(const BoxLayout &box, const Projection3D &projection, const ChartAxis &axis,
                       bool right);
    void drawCategoryLabels(const BoxLayout &box, const Projection3D &projection);
    void drawAxisTitles(const BoxLayout &box);
    // The faces of every bar that face the viewer, farthest first.
    QList<Face> barFaces(const BoxLayout &box, const Projection3D &projection) const;
    void drawLines(const BoxLayout &box, const Projection3D &projection);
    // anchor: the bar's end where the mark belongs; base: the other end of the bar, which a
    // mark inside the bar does not pass.
    void drawMark(const ChartSeries &series, const QString &text, QPointF anchor, QPointF base,
                  bool horizontal, bool positive);
    const ChartAxis &valueAxis(const BoxLayout &box) const;
    const ChartAxis &categoryAxis(const BoxLayout &box) const;

    const Chart &m_chart;
    QPainter &m_painter;
    QRectF m_area;
    Placement m_placement;
};
