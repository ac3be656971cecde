#include "Chart.h"

#include <QtMath>
#include <cmath>

#include "ChartPainter.h"
#include "MenuKey.h"

#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

double Chart::ValueScale::valueAt(double pixel) const
{
    if (pixelHigh == pixelLow)
        return low;
    return low + (pixel - pixelLow) / (pixelHigh - pixelLow) * (high - low);
}

double Chart::ValueScale::pixelAt(double value) const
{
    if (high == low)
        return pixelLow;
    return pixelLow + (value - low) / (high - low) * (pixelHigh - pixelLow);
}

Chart::Chart(QWidget *parent) : QWidget(parent)
{
    titleFont = QFont(QStringLiteral("Arial"));
    titleFont.setPixelSize(14);
    titleFont.setBold(true);
    legendFont = QFont(QStringLiteral("Arial"));
    legendFont.setPixelSize(11);
    for (ChartAxis *axis : {&leftAxis, &rightAxis, &bottomAxis}) {
        axis->labelFont = QFont(QStringLiteral("Arial"));
        axis->labelFont.setPixelSize(11);
        axis->titleFont = axis->labelFont;
        axis->titleFont.setBold(true);
    }
    rightAxis.visible = false;
    m_zoomTimer.setInterval(20);
    connect(&m_zoomTimer, &QTimer::timeout, this, &Chart::stepZoomAnimation);
    setMouseTracking(false);
}

ChartSeries &Chart::addSeries(ChartSeries::Kind kind, const QString &seriesTitle,
                              const QColor &color)
{
    m_series.emplace_back(kind, seriesTitle, color);
    return m_series.back();
}

void Chart::paint(QPainter &painter, const QRectF &area) const
{
    ChartPainter(*this, painter, area).paint();
}

QImage Chart::renderImage(const QSize &size) const
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    paint(painter, QRectF(QPointF(0, 0), QSizeF(size)));
    return image;
}

void Chart::setZoom(double percent)
{
    view.zoom = percent;
    update();
}

void Chart::setRotation(double degrees)
{
    view.rotation = degrees;
    update();
}

void Chart::setElevation(double degrees)
{
    view.elevation = degrees;
    update();
}

void Chart::setOrthogonal(bool orthogonal)
{
    view.orthogonal = orthogonal;
    update();
}

void Chart::setDepth(double percent)
{
    view.depth = percent;
    update();
}

std::pair<double, double> Chart::fullValueRange() const
{
    return ChartPainter::dataRange(m_series);
}

std::pair<double, double> Chart::valueRange() const
{
    return m_zoom ? *m_zoom : fullValueRange();
}

void Chart::zoomValueRange(double low, double high, bool animated)
{
    if (high < low)
        std::swap(low, high);
    if (high - low <= 0)
        return;
    m_undoing = false;
    m_zoomFrom = valueRange();
    m_zoomTo = {low, high};
    if (!animated || zoomFrames <= 1) {
        m_zoom = m_zoomTo;
        if (m_categoryTo)
            m_categoryZoom = m_categoryTo;
        m_categoryTo.reset();
        update();
        return;
    }
    m_zoomFrame = 0;
    m_zoomTimer.start();
}

void Chart::zoomRectangle(double first, double last, double low, double high, bool animated)
{
    if (last < first)
        std::swap(first, last);
    first = std::max(first, m_categoryScale.low);
    last = std::min(last, m_categoryScale.high);
    // A rectangle thinner than a band keeps the bands shown.
    m_categoryTo.reset();
    if (last - first >= 1) {
        m_categoryFrom =
            m_categoryZoom.value_or(std::pair{m_categoryScale.low, m_categoryScale.high});
        m_categoryTo = std::pair{first, last};
    }
    zoomValueRange(low, high, animated);
}

void Chart::undoZoom()
{
    if (!isZoomed())
        return;
    m_zoomTimer.stop();
    m_zoom.reset();
    m_categoryZoom.reset();
    m_categoryTo.reset();
    update();
}

void Chart::stepZoomAnimation()
{
    ++m_zoomFrame;
    const double share = double(m_zoomFrame) / zoomFrames;
    m_zoom = std::pair{m_zoomFrom.first + (m_zoomTo.first - m_zoomFrom.first) * share,
                       m_zoomFrom.second + (m_zoomTo.second - m_zoomFrom.second) * share};
    if (m_categoryTo)
        m_categoryZoom = std::pair{
            m_categoryFrom.first + (m_categoryTo->first - m_categoryFrom.first) * share,
            m_categoryFrom.second + (m_categoryTo->second - m_categoryFrom.second) * share};
    if (m_zoomFrame >= zoomFrames) {
        m_zoom = m_zoomTo;
        if (m_categoryTo)
            m_categoryZoom = m_categoryTo;
        m_categoryTo.reset();
        m_zoomTimer.stop();
    }
    update();
}

void Chart::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    ChartPainter::Placement placed = ChartPainter(*this, painter, QRectF(rect())).paint();
    m_scale = placed.scale;
    m_categoryScale = placed.categoryScale;
    m_pieSlices = std::move(placed.slices);
    if (hasFocus() && m_keyPick >= 0) {
        // The pick of the keys, framed as a focused item is.
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(keyPickRect().adjusted(1, 1, -1, -1));
    }
    if (m_dragging && !m_band.isNull()) {
        painter.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DashLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(m_band.normalized());
    }
}

void Chart::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        m_pressPoint = event->position().toPoint();
        m_band = QRect();
        m_dragging = allowZoom;
    }
    QWidget::mousePressEvent(event);
}

void Chart::mouseMoveEvent(QMouseEvent *event)
{
    if (m_dragging) {
        m_band = QRect(m_pressPoint, event->position().toPoint());
        update();
    }
    QWidget::mouseMoveEvent(event);
}

void Chart::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return QWidget::mouseReleaseEvent(event);
    const QPoint release = event->position().toPoint();
    const QPoint moved = release - m_pressPoint;
    const bool wasDragging = m_dragging;
    m_dragging = false;
    m_band = QRect();
    if (wasDragging && moved.manhattanLength() > 6) {
        // Down and to the right zooms into the band; up and to the left undoes the zoom.
        if (moved.x() < 0 && moved.y() < 0) {
            undoZoom();
        } else {
            const bool horizontal = m_scale.horizontal;
            const double a = m_scale.valueAt(horizontal ? m_pressPoint.x() : m_pressPoint.y());
            const double b = m_scale.valueAt(horizontal ? release.x() : release.y());
            const double first =
                m_categoryScale.valueAt(horizontal ? m_pressPoint.y() : m_pressPoint.x());
            const double last = m_categoryScale.valueAt(horizontal ? release.y() : release.x());
            zoomRectangle(first, last, a, b);
        }
        update();
        return;
    }
    update();
    m_pickedByKeys = false;
    Q_EMIT clicked();
    if (const int category = categoryAt(release); category >= 0)
        Q_EMIT categoryClicked(category);
}

int Chart::sliceAt(QPoint at) const
{
    for (const PlacedSlice &slice : m_pieSlices) {
        // Into the pie's own plane: a circle of the radius, angles counter-clockwise.
        const double dx = at.x() - slice.centre.x();
        const double dy = -(at.y() - slice.centre.y()) / slice.tilt;
        if (std::hypot(dx, dy) > slice.radius)
            continue;
        const double angle =
            std::fmod(qRadiansToDegrees(std::atan2(dy, dx)) - slice.start + 720, 360.0);
        if (angle < slice.span)
            return slice.point;
    }
    return -1;
}

int Chart::categoryAt(QPoint at) const
{
    qsizetype points = 0;
    for (const ChartSeries &series : m_series) {
        if (series.kind == ChartSeries::Pie)
            return -1;
        points = std::max(points, series.points.size());
    }
    const ValueScale &bands = m_categoryScale;
    if (bands.pixelLow == bands.pixelHigh)
        return -1;
    const double band = bands.valueAt(bands.horizontal ? at.y() : at.x());
    if (band < bands.low || band >= bands.high || band < 0 || band >= double(points))
        return -1;
    return int(band);
}

void Chart::mouseDoubleClickEvent(QMouseEvent *event)
{
    Q_EMIT doubleClicked();
    QWidget::mouseDoubleClickEvent(event);
}

bool Chart::isPie() const
{
    return std::any_of(m_series.begin(), m_series.end(),
                       [](const ChartSeries &series) { return series.kind == ChartSeries::Pie; });
}

int Chart::keyPickCount() const
{
    if (isPie())
        return int(m_pieSlices.size());
    qsizetype points = 0;
    for (const ChartSeries &series : m_series)
        points = std::max(points, series.points.size());
    const ValueScale &bands = m_categoryScale;
    // Only the categories in view (the chart may be zoomed in).
    return int(std::clamp<double>(std::min<double>(double(points), bands.high), 0, 1e6));
}

QPoint Chart::menuPosition() const
{
    return m_pickedByKeys && m_keyPick >= 0 ? mapToGlobal(keyPickRect().center()) : QCursor::pos();
}

void Chart::setPickableByKeys(bool pickable)
{
    setFocusPolicy(pickable ? Qt::StrongFocus : Qt::NoFocus);
}

QRect Chart::keyPickRect() const
{
    if (m_keyPick < 0)
        return {};
    if (isPie()) {
        for (const PlacedSlice &slice : m_pieSlices)
            if (slice.point == m_keyPick) {
                // The slice's top face: the part of the pie's ellipse between its angles.
                QPainterPath face;
                const QRectF ellipse(slice.centre.x() - slice.radius,
                                     slice.centre.y() - slice.radius * slice.tilt, 2 * slice.radius,
                                     2 * slice.radius * slice.tilt);
                face.moveTo(slice.centre);
                face.arcTo(ellipse, slice.start, slice.span);
                face.closeSubpath();
                return face.boundingRect().toAlignedRect();
            }
        return {};
    }
    const ValueScale &bands = m_categoryScale;
    const double a = bands.pixelAt(m_keyPick), b = bands.pixelAt(m_keyPick + 1);
    const double low = std::min(m_scale.pixelLow, m_scale.pixelHigh);
    const double high = std::max(m_scale.pixelLow, m_scale.pixelHigh);
    const QRectF band = bands.horizontal
                            ? QRectF(QPointF(low, std::min(a, b)), QPointF(high, std::max(a, b)))
                            : QRectF(QPointF(std::min(a, b), low), QPointF(std::max(a, b), high));
    return band.toAlignedRect();
}

void Chart::keyPressEvent(QKeyEvent *event)
{
    const int count = keyPickCount();
    const int key = event->key();
    const bool previous = key == Qt::Key_Left || key == Qt::Key_Up;
    const bool next = key == Qt::Key_Right || key == Qt::Key_Down;
    const bool menu = isMenuKey(event);
    if (count <= 0 || focusPolicy() == Qt::NoFocus) {
        QWidget::keyPressEvent(event);
        return;
    }
    if (previous || next) {
        if (isPie()) {
            // Slices in the order they are drawn, round the pie.
            int at = 0;
            for (int i = 0; i < m_pieSlices.size(); ++i)
                if (m_pieSlices[i].point == m_keyPick)
                    at = i;
            at = m_keyPick < 0 ? 0 : (at + (next ? 1 : count - 1)) % count;
            m_keyPick = m_pieSlices[at].point;
        } else {
            m_keyPick = m_keyPick < 0 ? 0 : std::clamp(m_keyPick + (next ? 1 : -1), 0, count - 1);
        }
        update();
        return;
    }
    if (m_keyPick >= 0 && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
        m_pickedByKeys = true;
        if (isPie())
            Q_EMIT sliceActivated(m_keyPick);
        else
            Q_EMIT categoryClicked(m_keyPick);
        return;
    }
    if (m_keyPick >= 0 && menu && contextMenuPolicy() == Qt::CustomContextMenu) {
        Q_EMIT customContextMenuRequested(keyPickRect().center());
        return;
    }
    QWidget::keyPressEvent(event);
}

void Chart::focusInEvent(QFocusEvent *event)
{
    // Entered by keys: the first category or slice is picked at once, so the frame shows.
    if (m_keyPick < 0 && keyPickCount() > 0)
        m_keyPick = isPie() ? m_pieSlices.value(0).point : 0;
    update();
    QWidget::focusInEvent(event);
}

void Chart::focusOutEvent(QFocusEvent *event)
{
    update();
    QWidget::focusOutEvent(event);
}
