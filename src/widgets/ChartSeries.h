#pragma once

#include <QColor>
#include <QFont>
#include <QList>
#include <QString>

struct ChartPoint {
    double value = 0;
    QString label;
    QColor color; // invalid: the series colour
};

// How value marks look: the text from a number pattern, on the series colour or transparent,
// framed or not, offset pixels beyond the bar end (negative: inside the bar).
struct ChartMarks {
    bool visible = false;
    QString format = QStringLiteral("#,##0.##");
    QColor textColor = Qt::black;
    bool transparent = false;
    QColor backColor; // invalid: the series colour
    bool frame = true;
    int offset = 8;
    QFont font;
    // Bars: the value's share of the series total in percent instead of the value.
    bool percentOfTotal = false;
    // Pies: the slice label with its share of the pie ("##0.# %").
    bool labelAndPercent = false;
};

// One series of a chart: its points and how they are drawn.
class ChartSeries {
public:
    enum Kind { Bar, HorizontalBar, Pie, Line };

    explicit ChartSeries(Kind kind = Bar, const QString &title = QString(),
                         const QColor &color = Qt::blue);

    Kind kind;
    QString title;
    QColor color;
    bool visible = true;
    QList<ChartPoint> points;
    ChartMarks marks;

    // Bars: width in percent of the band, offset in percent of the band, stacked on the
    // previous bar series, gradient fill, outline colour (invalid: darker series colour).
    double barWidthPercent = 70;
    double offsetPercent = 0;
    bool stacked = false;
    bool gradient = false;
    QColor outline;

    // Pies: the largest slice pulled out by this percent of the radius, slices under
    // otherPercent of the total drawn together as "Other", rotation in degrees.
    double explodeBiggestPercent = 0;
    double otherPercent = 0;
    QString otherLabel = QStringLiteral("Other");
    double rotation = 0;

    struct Slice {
        double value;
        QString label;
        QColor color;
        int point = -1; // the point it shows; -1 for the slice of the others
    };
    // The pie's slices: the positive points, those under otherPercent of the total drawn
    // together as one last slice labelled otherLabel.
    QList<Slice> pieSlices() const;
    // The text of point index's value mark.
    QString markText(int index) const;

    void clear() { points.clear(); }
    void add(double value, const QString &label = QString(), const QColor &pointColor = QColor());
    QColor pointColor(int index) const;
    double total() const;
};
