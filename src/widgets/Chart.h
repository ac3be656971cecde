#pragma once

#include "ChartSeries.h"
#include "View3D.h"

#include <QMarginsF>
#include <QTimer>
#include <QWidget>

#include <deque>
#include <optional>
#include <utility>

struct ChartAxis {
    bool visible = true;
    bool lineVisible = true;
    bool grid = true;
    QFont labelFont;
    QColor labelColor = Qt::black;
    QColor tickColor = Qt::darkGray;
    // Number pattern of the value labels.
    QString format = QStringLiteral("#,##0.##");
    QString title;
    QFont titleFont;
    // Category labels turned by this many degrees (0 or 90).
    int labelAngle = 0;
    // Free space, in pixels, that must stand between two category labels; more are left out.
    int labelSeparation = 4;
};

struct ChartWall {
    QColor color = QColor(224, 224, 224);
    bool transparent = false;
};

enum class LegendStyle { None, Values, SeriesTitles };
enum class LegendPosition { Right, Top };

// A chart of bar, pie or line series in a 3D box, drawn by paint() alike on the screen, into
// an image and on a printer. The value axis can be zoomed with the mouse: drag a rectangle
// down and to the right to zoom into its values, up and to the left to undo.
class Chart : public QWidget {
    Q_OBJECT

public:
    explicit Chart(QWidget *parent = nullptr);

    // The new series; references to series stay valid while the chart lives, until
    // clearSeries().
    ChartSeries &addSeries(ChartSeries::Kind kind, const QString &title = QString(),
                           const QColor &color = Qt::blue);
    ChartSeries &seriesAt(int index) { return m_series[size_t(index)]; }
    const ChartSeries &seriesAt(int index) const { return m_series[size_t(index)]; }
    const std::deque<ChartSeries> &series() const { return m_series; }
    int seriesCount() const { return int(m_series.size()); }
    void clearSeries() { m_series.clear(); }

    // Draws the whole chart into area; the view's zoom, rotation and depth apply.
    void paint(QPainter &painter, const QRectF &area) const;
    QImage renderImage(const QSize &size) const;

    void setZoom(double percent);
    void setRotation(double degrees);
    void setElevation(double degrees);
    void setOrthogonal(bool orthogonal);
    void setDepth(double percent);
    void setHint(const QString &hint) { setToolTip(hint); }
    QString hint() const { return toolTip(); }

    // The value range shown: the full range of the data, or the zoomed part.
    std::pair<double, double> valueRange() const;
    std::pair<double, double> fullValueRange() const;
    bool isZoomed() const { return m_zoom.has_value() || m_categoryZoom.has_value(); }
    // Shows only values from low to high, stepping there over a few frames when animated.
    void zoomValueRange(double low, double high, bool animated = true);
    // The categories shown, in bands from the first point (0) to past the last (the number of
    // points); nothing when all are shown.
    std::optional<std::pair<double, double>> categoryZoom() const { return m_categoryZoom; }
    // Shows only the bands from first to last, with the values from low to high: what a
    // rectangle dragged over the chart picks.
    void zoomRectangle(double first, double last, double low, double high, bool animated = true);
    void undoZoom();

    QString title;
    QFont titleFont;
    QColor titleColor = Qt::black;
    LegendStyle legendStyle = LegendStyle::None;
    LegendPosition legendPosition = LegendPosition::Right;
    QFont legendFont;
    QColor legendTextColor = Qt::black;
    int legendColorWidth = 15;
    // Number pattern of the values a Values legend lists.
    QString legendFormat = QStringLiteral("#,##0.##");
    QColor backColor = QColor(240, 240, 240);
    // A vertical gradient from gradientTop to gradientBottom instead of backColor.
    bool gradient = false;
    QColor gradientTop = Qt::white;
    QColor gradientBottom = Qt::lightGray;
    // In percent of the chart's width and height.
    QMarginsF margins = QMarginsF(3, 4, 3, 4);
    ChartAxis leftAxis;
    ChartAxis rightAxis;
    ChartAxis bottomAxis;
    ChartWall backWall;
    ChartWall leftWall;
    ChartWall bottomWall;
    View3D view;
    bool allowZoom = true;
    int zoomFrames = 6;

    // Where the last painting put an axis, for turning mouse positions into values (or, for
    // the category axis, into bands).
    struct ValueScale {
        double low = 0, high = 1;
        double pixelLow = 0, pixelHigh = 1; // pixel positions of low and high
        bool horizontal = false;
        double valueAt(double pixel) const;
        double pixelAt(double value) const;
    };
    // A slice of a pie as last painted: its top face's ellipse and angles.
    struct PlacedSlice {
        QPointF centre;
        double radius, tilt, start, span;
        int point;
    };

    // The category (point index) at a place of the widget, as last painted; -1 off the bands
    // or on a pie.
    int categoryAt(QPoint at) const;
    // The point whose pie slice lies under at, as last painted (its top face); -1 off the
    // slices or on the slice of the others.
    int sliceAt(QPoint at) const;

    // The categories (bars) or slices can be picked by keys: the chart takes focus, the arrows
    // move the pick (framed), Enter raises categoryClicked or sliceActivated, and the Menu key
    // or Shift+F10 asks for the context menu at the pick.
    void setPickableByKeys(bool pickable);
    // The category or slice picked by keys; -1 none.
    int keyPick() const { return m_keyPick; }
    // Where the pick stands, as last painted (empty for none).
    QRect keyPickRect() const;
    // Where a menu that a pick raises opens: at the pick when keys made it, else at the mouse.
    QPoint menuPosition() const;

Q_SIGNALS:
    void clicked();
    // A click (no drag) on the band of a category of a bar or line chart, after clicked().
    void categoryClicked(int category);
    void doubleClicked();
    // Enter on the slice of point picked by keys.
    void sliceActivated(int point);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    friend class ChartPainter;
    void stepZoomAnimation();

    // The number of categories, or of slices as last painted, that keys move among.
    int keyPickCount() const;
    bool isPie() const;

    std::deque<ChartSeries> m_series;
    int m_keyPick = -1;
    bool m_pickedByKeys = false;
    std::optional<std::pair<double, double>> m_zoom;
    std::pair<double, double> m_zoomFrom{0, 0};
    std::pair<double, double> m_zoomTo{0, 0};
    std::optional<std::pair<double, double>> m_categoryZoom;
    std::pair<double, double> m_categoryFrom{0, 0};
    std::optional<std::pair<double, double>> m_categoryTo;
    int m_zoomFrame = 0;
    bool m_undoing = false;
    QTimer m_zoomTimer;
    // Kept by paintEvent from what the painting placed where; other paintings (pictures,
    // printouts) leave them as they are.
    ValueScale m_scale;
    ValueScale m_categoryScale;
    QList<PlacedSlice> m_pieSlices;
    QPoint m_pressPoint;
    QRect m_band;
    bool m_dragging = false;
};
