#include "ChartPainter.h"

#include "common/NumberPattern.h"

#include <QtMath>

#include <algorithm>
#include <cmath>

namespace {

QList<const ChartSeries *> visibleSeries(const std::deque<ChartSeries> &all)
{
    QList<const ChartSeries *> shown;
    for (const ChartSeries &series : all)
        if (series.visible)
            shown.append(&series);
    return shown;
}

bool isBar(const ChartSeries &series)
{
    return series.kind == ChartSeries::Bar || series.kind == ChartSeries::HorizontalBar;
}

// Bottom and top of every bar of every bar series, stacked series standing on the previous one.
struct BarExtents {
    QList<QList<std::pair<double, double>>> extents; // per series, per point: base, top
};

BarExtents barExtents(const QList<const ChartSeries *> &series)
{
    BarExtents result;
    QList<double> tops;
    for (const ChartSeries *s : series) {
        QList<std::pair<double, double>> bars;
        QList<double> newTops;
        for (qsizetype i = 0; i < s->points.size(); ++i) {
            const double base = s->stacked && i < tops.size() ? tops[i] : 0;
            const double top = base + s->points[i].value;
            bars.append({base, top});
            newTops.append(top);
        }
        result.extents.append(bars);
        if (isBar(*s))
            tops = newTops;
    }
    return result;
}

void drawTextRotated(QPainter &painter, QPointF anchor, const QString &text, double angle)
{
    painter.save();
    painter.translate(anchor);
    painter.rotate(-angle);
    painter.drawText(QPointF(0, 0), text);
    painter.restore();
}

} // namespace

ChartPainter::ChartPainter(const Chart &chart, QPainter &painter, const QRectF &area)
    : m_chart(chart), m_painter(painter), m_area(area)
{
}

double ChartPainter::niceStep(double span, int ticks)
{
    if (span <= 0 || !std::isfinite(span))
        return 1;
    const double raw = span / std::max(ticks, 1);
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double factor : {1.0, 2.0, 5.0, 10.0})
        if (raw <= factor * power)
            return factor * power;
    return 10 * power;
}

QList<double> ChartPainter::valueTicks(double low, double high, const QString &format)
{
    // Never finer than the axis writes, so no two labels read the same.
    const double step = std::max(niceStep(high - low, 5), patternResolution(format));
    QList<double> ticks;
    for (double v = std::ceil(low / step - 1e-9) * step; v <= high + step * 1e-9; v += step)
        ticks.append(std::abs(v) < step * 1e-9 ? 0 : v);
    return ticks;
}

std::pair<double, double> ChartPainter::dataRange(const std::deque<ChartSeries> &all)
{
    const QList<const ChartSeries *> shown = visibleSeries(all);
    const BarExtents bars = barExtents(shown);
    double low = 0;
    double high = 0;
    for (const auto &series : bars.extents)
        for (const auto &[base, top] : series) {
            low = std::min({low, base, top});
            high = std::max({high, base, top});
        }
    if (high <= low)
        high = low + 1;
    // Marks beyond the bar ends need room past the longest bar.
    for (const ChartSeries *series : shown)
        if (isBar(*series) && series->marks.visible && series->marks.offset >= 0) {
            high += (high - low) * 0.15;
            break;
        }
    const double step = niceStep(high - low, 5);
    return {std::floor(low / step) * step, std::ceil(high / step) * step};
}

ChartPainter::Placement ChartPainter::paint()
{
    m_painter.save();
    m_painter.setRenderHint(QPainter::Antialiasing);
    m_painter.setRenderHint(QPainter::TextAntialiasing);
    m_painter.setClipRect(m_area);
    drawBackground();
    const QMarginsF &margins = m_chart.margins;
    QRectF free = m_area.adjusted(
        m_area.width() * margins.left() / 100, m_area.height() * margins.top() / 100,
        -m_area.width() * margins.right() / 100, -m_area.height() * margins.bottom() / 100);
    free = drawTitle(free);
    free = drawLegend(free);
    const QList<const ChartSeries *> shown = visibleSeries(m_chart.m_series);
    if (!shown.isEmpty() && shown.first()->kind == ChartSeries::Pie)
        drawPie(*shown.first(), free);
    else
        drawBox(free);
    m_painter.restore();
    return m_placement;
}

void ChartPainter::drawBackground()
{
    if (m_chart.gradient) {
        QLinearGradient fill(m_area.topLeft(), m_area.bottomLeft());
        fill.setColorAt(0, m_chart.gradientTop);
        fill.setColorAt(1, m_chart.gradientBottom);
        m_painter.fillRect(m_area, fill);
    } else {
        m_painter.fillRect(m_area, m_chart.backColor);
    }
}

QRectF ChartPainter::drawTitle(QRectF free)
{
    if (m_chart.title.isEmpty())
        return free;
    m_painter.setFont(m_chart.titleFont);
    m_painter.setPen(m_chart.titleColor);
    const QFontMetricsF metrics(m_chart.titleFont);
    const QRectF line(free.left(), free.top(), free.width(), metrics.height());
    // A title wider than the chart is cut short with an ellipsis rather than at both ends.
    m_painter.drawText(line, Qt::AlignCenter,
                       metrics.elidedText(m_chart.title, Qt::ElideRight, line.width()));
    return free.adjusted(0, metrics.height() + 4, 0, 0);
}

QRectF ChartPainter::drawLegend(QRectF free)
{
    struct Entry {
        QColor color;
        QString text;
    };
    QList<Entry> entries;
    const QList<const ChartSeries *> shown = visibleSeries(m_chart.m_series);
    if (m_chart.legendStyle == LegendStyle::SeriesTitles) {
        for (const ChartSeries *series : shown)
            entries.append({series->color, series->title});
    } else if (m_chart.legendStyle == LegendStyle::Values && !shown.isEmpty()) {
        const ChartSeries &series = *shown.first();
        for (qsizetype i = 0; i < series.points.size(); ++i)
            entries.append({series.pointColor(int(i)),
                            formatFloat(m_chart.legendFormat, series.points[i].value)});
        // Horizontal bars stand from the bottom up; the legend lists them as they stand.
        if (series.kind == ChartSeries::HorizontalBar)
            std::reverse(entries.begin(), entries.end());
    }
    if (entries.isEmpty())
        return free;

    m_painter.setFont(m_chart.legendFont);
    const QFontMetricsF metrics(m_chart.legendFont);
    const double rowHeight = metrics.height() + 3;
    const double box = m_chart.legendColorWidth;
    double textWidth = 0;
    for (const Entry &entry : entries)
        textWidth = std::max(textWidth, metrics.horizontalAdvance(entry.text));
    const double entryWidth = box + 6 + textWidth + 10;

    auto drawEntry = [&](QPointF at, const Entry &entry) {
        const QRectF swatch(at.x(), at.y() + 2, box, rowHeight - 6);
        m_painter.fillRect(swatch, entry.color);
        m_painter.setPen(entry.color.darker(160));
        m_painter.drawRect(swatch);
        m_painter.setPen(m_chart.legendTextColor);
        m_painter.drawText(QPointF(at.x() + box + 6, at.y() + metrics.ascent() + 1), entry.text);
    };

    if (m_chart.legendPosition == LegendPosition::Top) {
        const double total = entryWidth * double(entries.size());
        QPointF at(free.center().x() - total / 2, free.top());
        for (const Entry &entry : entries) {
            drawEntry(at, entry);
            at.rx() += entryWidth;
        }
        return free.adjusted(0, rowHeight + 6, 0, 0);
    }
    const double height = rowHeight * double(entries.size()) + 8;
    const QRectF frame(free.right() - entryWidth - 4, free.center().y() - height / 2,
                       entryWidth + 4, height);
    m_painter.fillRect(frame, Qt::white);
    m_painter.setPen(Qt::gray);
    m_painter.drawRect(frame);
    QPointF at(frame.left() + 6, frame.top() + 4);
    for (const Entry &entry : entries) {
        drawEntry(at, entry);
        at.ry() += rowHeight;
    }
    return free.adjusted(0, 0, -frame.width() - 10, 0);
}

void ChartPainter::drawMark(const ChartSeries &series, const QString &text, QPointF anchor,
                            QPointF base, bool horizontal, bool positive)
{
    const ChartMarks &marks = series.marks;
    m_painter.setFont(marks.font);
    const QFontMetricsF metrics(marks.font);
    const QSizeF size(metrics.horizontalAdvance(text) + 6, metrics.height() + 2);
    // Beyond the bar end for a positive offset, inside it for a negative one.
    const double direction = positive ? 1 : -1;
    QRectF box;
    if (horizontal) {
        const double x = anchor.x() + direction * marks.offset;
        box = QRectF(marks.offset >= 0 ? x : x - size.width(), anchor.y() - size.height() / 2,
                     size.width(), size.height());
    } else {
        const double y = anchor.y() - direction * marks.offset;
        box = QRectF(anchor.x() - size.width() / 2, marks.offset >= 0 ? y - size.height() : y,
                     size.width(), size.height());
    }
    if (marks.offset < 0) {
        // Inside the bar: kept between its two ends, or on its middle when it is too short.
        const double from =
            horizontal ? std::min(anchor.x(), base.x()) : std::min(anchor.y(), base.y());
        const double to =
            horizontal ? std::max(anchor.x(), base.x()) : std::max(anchor.y(), base.y());
        const double extent = horizontal ? size.width() : size.height();
        double start = horizontal ? box.left() : box.top();
        if (to - from >= extent)
            start = std::clamp(start, from, to - extent);
        else
            start = (from + to - extent) / 2;
        if (horizontal)
            box.moveLeft(start);
        else
            box.moveTop(start);
    }
    if (!marks.transparent)
        m_painter.fillRect(box, marks.backColor.isValid() ? marks.backColor : series.color);
    if (marks.frame) {
        m_painter.setPen(QPen(series.color.darker(170), 1));
        m_painter.setBrush(Qt::NoBrush);
        m_painter.drawRect(box);
    }
    m_painter.setPen(marks.textColor);
    m_painter.drawText(box, Qt::AlignCenter, text);
}

void ChartPainter::drawPie(const ChartSeries &series, const QRectF &free)
{
    const QList<ChartSeries::Slice> slices = series.pieSlices();
    double total = 0;
    for (const ChartSeries::Slice &slice : slices)
        total += slice.value;
    if (total <= 0)
        return;

    const double depth = m_chart.view.enabled ? m_chart.view.depth : 0;
    const double tilt = depth > 0 ? 0.6 : 1.0;
    const bool marks = series.marks.visible;
    const double room = marks ? 0.62 : 0.9;
    const double zoom = m_chart.view.zoom / 100;
    const double radius =
        std::max(2.0, std::min(free.width() / 2, free.height() / 2 / tilt) * room * zoom);
    const double thickness = radius * depth / 100 * 0.5;
    const QPointF centre = free.center() - QPointF(0, thickness / 2);

    int biggest = 0;
    for (qsizetype i = 1; i < slices.size(); ++i)
        if (slices[i].value > slices[biggest].value)
            biggest = int(i);

    struct Placed {
        double start, span;
        QPointF centre;
    };
    QList<Placed> placed;
    double angle = series.rotation;
    m_placement.slices.clear();
    for (qsizetype i = 0; i < slices.size(); ++i) {
        const double span = 360 * slices[i].value / total;
        QPointF c = centre;
        if (i == biggest && series.explodeBiggestPercent > 0 && slices.size() > 1) {
            const double mid = qDegreesToRadians(angle + span / 2);
            const double pull = radius * series.explodeBiggestPercent / 100;
            c += QPointF(std::cos(mid) * pull, -std::sin(mid) * pull * tilt);
        }
        placed.append({angle, span, c});
        m_placement.slices.append({c, radius, tilt, angle, span, slices[i].point});
        angle += span;
    }

    auto rimPoint = [&](const QPointF &c, double degrees, double drop) {
        const double a = qDegreesToRadians(degrees);
        return QPointF(c.x() + std::cos(a) * radius, c.y() - std::sin(a) * radius * tilt + drop);
    };

    if (thickness > 0) {
        // The rim below the front half of each slice, the ones farther back first.
        QList<int> order;
        for (int i = 0; i < placed.size(); ++i)
            order.append(i);
        auto frontness = [&](int i) {
            return std::sin(qDegreesToRadians(placed[i].start + placed[i].span / 2));
        };
        std::sort(order.begin(), order.end(),
                  [&](int a, int b) { return frontness(a) > frontness(b); });
        for (int i : order) {
            QPolygonF rim;
            const int steps = std::max(2, int(placed[i].span / 3));
            QList<QPointF> top;
            for (int k = 0; k <= steps; ++k) {
                const double a = placed[i].start + placed[i].span * k / steps;
                if (std::sin(qDegreesToRadians(a)) <= 0.02)
                    top.append(rimPoint(placed[i].centre, a, 0));
            }
            if (top.size() < 2)
                continue;
            for (const QPointF &p : top)
                rim.append(p);
            for (auto it = top.crbegin(); it != top.crend(); ++it)
                rim.append(*it + QPointF(0, thickness));
            m_painter.setPen(QPen(slices[i].color.darker(180), 0.8));
            m_painter.setBrush(slices[i].color.darker(140));
            m_painter.drawPolygon(rim);
        }
    }
    for (int i = 0; i < placed.size(); ++i) {
        const QRectF ellipse(placed[i].centre.x() - radius, placed[i].centre.y() - radius * tilt,
                             2 * radius, 2 * radius * tilt);
        m_painter.setPen(QPen(slices[i].color.darker(170), 0.8));
        QRadialGradient shade(placed[i].centre, radius);
        shade.setColorAt(0, slices[i].color.lighter(115));
        shade.setColorAt(1, slices[i].color);
        m_painter.setBrush(shade);
        m_painter.drawPie(ellipse, int(placed[i].start * 16), int(std::ceil(placed[i].span * 16)));
    }
    if (!marks)
        return;
    m_painter.setFont(series.marks.font);
    const QFontMetricsF metrics(series.marks.font);
    for (int i = 0; i < placed.size(); ++i) {
        const double mid = placed[i].start + placed[i].span / 2;
        const double a = qDegreesToRadians(mid);
        const double drop = std::sin(a) < 0 ? thickness : 0;
        const QPointF edge = rimPoint(placed[i].centre, mid, drop);
        const QPointF out = placed[i].centre + QPointF(std::cos(a) * radius * 1.18,
                                                       -std::sin(a) * radius * tilt * 1.18 + drop +
                                                           (std::sin(a) < 0 ? 6 : -6));
        QString text = formatFloat(series.marks.format, series.marks.labelAndPercent
                                                            ? 100 * slices[i].value / total
                                                            : slices[i].value);
        if (series.marks.labelAndPercent && !slices[i].label.trimmed().isEmpty())
            text = slices[i].label + u' ' + text;
        const QSizeF size(metrics.horizontalAdvance(text) + 8, metrics.height() + 2);
        QRectF box(out.x() - (std::cos(a) < 0 ? size.width() : 0), out.y() - size.height() / 2,
                   size.width(), size.height());
        box.moveLeft(std::clamp(box.left(), m_area.left() + 1, m_area.right() - size.width() - 1));
        m_painter.setPen(QPen(Qt::black, 0.8));
        m_painter.drawLine(edge,
                           QPointF(std::cos(a) < 0 ? box.right() : box.left(), box.center().y()));
        if (!series.marks.transparent)
            m_painter.fillRect(box, QColor(255, 255, 225));
        if (series.marks.frame) {
            m_painter.setBrush(Qt::NoBrush);
            m_painter.drawRect(box);
        }
        m_painter.setPen(series.marks.textColor);
        m_painter.drawText(box, Qt::AlignCenter, text);
    }
}

double ChartPainter::BoxLayout::valuePixel(double value) const
{
    const double share = (std::clamp(value, low, high) - low) / (high - low);
    return horizontal ? front.left() + share * front.width()
                      : front.bottom() - share * front.height();
}

double ChartPainter::BoxLayout::bandCentre(int category) const
{
    const double offset = (category + 0.5 - firstBand) * band;
    return horizontal ? front.bottom() - offset : front.left() + offset;
}

Chart::ValueScale ChartPainter::BoxLayout::valueScale() const
{
    return Chart::ValueScale{low, high, valuePixel(low), valuePixel(high), horizontal};
}

Chart::ValueScale ChartPainter::BoxLayout::bandScale() const
{
    return Chart::ValueScale{firstBand, lastBand, horizontal ? front.bottom() : front.left(),
                             horizontal ? front.top() : front.right(), horizontal};
}

const ChartAxis &ChartPainter::valueAxis(const BoxLayout &box) const
{
    return box.horizontal ? m_chart.bottomAxis : m_chart.leftAxis;
}

const ChartAxis &ChartPainter::categoryAxis(const BoxLayout &box) const
{
    return box.horizontal ? m_chart.leftAxis : m_chart.bottomAxis;
}

ChartPainter::BoxLayout ChartPainter::layoutBox(const QRectF &free) const
{
    BoxLayout box;
    box.free = free;
    box.shown = visibleSeries(m_chart.m_series);
    for (qsizetype s = 0; s < box.shown.size(); ++s) {
        const ChartSeries &series = *box.shown[s];
        box.horizontal = box.horizontal || series.kind == ChartSeries::HorizontalBar;
        box.categories = std::max(box.categories, int(series.points.size()));
        if (series.kind == ChartSeries::Line)
            box.lineSeries.append(int(s));
    }
    std::tie(box.low, box.high) = m_chart.valueRange();
    const ChartAxis &values = valueAxis(box);
    const ChartAxis &categories = categoryAxis(box);
    box.ticks = valueTicks(box.low, box.high, values.format);

    // Category labels: from the points of the first series that has them.
    box.labels = QStringList(box.categories);
    for (const ChartSeries *series : box.shown)
        for (qsizetype i = 0; i < series->points.size(); ++i)
            if (box.labels[i].isEmpty())
                box.labels[i] = series->points[i].label;

    // Room for the axes' labels and titles.
    const QFontMetricsF valueMetrics(values.labelFont);
    const QFontMetricsF categoryMetrics(categories.labelFont);
    double valueLabelWidth = 0;
    for (double v : box.ticks)
        valueLabelWidth = std::max(valueLabelWidth,
                                   valueMetrics.horizontalAdvance(formatFloat(values.format, v)));
    double categoryLabelExtent = 0;
    for (const QString &label : box.labels)
        categoryLabelExtent =
            std::max(categoryLabelExtent, categoryMetrics.horizontalAdvance(label));
    const bool turned = categories.labelAngle == 90;
    auto titleRoom = [](const ChartAxis &axis) {
        return axis.visible && !axis.title.isEmpty() ? QFontMetricsF(axis.titleFont).height() + 4
                                                     : 0.0;
    };
    QRectF plot = free;
    if (!box.horizontal) {
        plot.setLeft(plot.left() + titleRoom(m_chart.leftAxis) +
                     (m_chart.leftAxis.visible ? valueLabelWidth + 8 : 0));
        if (m_chart.rightAxis.visible)
            plot.setRight(plot.right() -
                          QFontMetricsF(m_chart.rightAxis.labelFont)
                              .horizontalAdvance(formatFloat(m_chart.rightAxis.format, box.high)) -
                          10);
        plot.setBottom(plot.bottom() - titleRoom(m_chart.bottomAxis) -
                       (m_chart.bottomAxis.visible
                            ? (turned ? categoryLabelExtent : categoryMetrics.height()) + 6
                            : 0));
    } else {
        plot.setLeft(plot.left() + titleRoom(m_chart.leftAxis) +
                     (m_chart.leftAxis.visible ? categoryLabelExtent + 8 : 0));
        plot.setBottom(plot.bottom() - titleRoom(m_chart.bottomAxis) -
                       (m_chart.bottomAxis.visible ? valueMetrics.height() + 6 : 0));
        plot.setRight(plot.right() - valueLabelWidth / 2);
    }
    box.plot = plot;

    const View3D &view = m_chart.view;
    box.depth = view.enabled ? view.depth * std::min(plot.width(), plot.height()) / 100 : 0;
    box.front = plot;
    if (view.orthogonal) {
        const double slant = box.depth * 0.70710678;
        box.front.adjust(0, slant, -slant, 0);
    } else {
        box.front.adjust(box.depth / 2, box.depth / 2, -box.depth / 2, -box.depth / 2);
    }
    if (!box.drawable())
        return box;
    std::tie(box.firstBand, box.lastBand) =
        m_chart.m_categoryZoom.value_or(std::pair{0.0, double(box.categories)});
    box.band = box.categories > 0 && box.lastBand > box.firstBand
                   ? (box.horizontal ? box.front.height() : box.front.width()) /
                         (box.lastBand - box.firstBand)
                   : 0;

    // Each bar series that stands on the floor gets a slot of the depth of its own; a stacked
    // series shares the slot of the one it stands on, and series set side by side within the
    // band (by their offsets) stand in one slot.
    const bool sideBySide =
        std::any_of(box.shown.begin(), box.shown.end(), [](const ChartSeries *series) {
            return isBar(*series) && series->offsetPercent != 0;
        });
    QList<int> slotOf;
    int slots = 0;
    for (const ChartSeries *series : box.shown) {
        if (isBar(*series) && !(series->stacked && slots > 0) && !(sideBySide && slots > 0))
            ++slots;
        slotOf.append(std::max(slots - 1, 0));
    }
    const double barSlot = box.depth / std::max(slots, 1);
    if (slots > 0)
        box.barFront = barSlot * 0.1;
    const BarExtents extents = barExtents(box.shown);
    for (qsizetype s = 0; s < box.shown.size(); ++s) {
        const ChartSeries &series = *box.shown[s];
        if (!isBar(series))
            continue;
        for (qsizetype i = 0; i < series.points.size(); ++i) {
            const auto [base, top] = extents.extents[s][i];
            const double along = box.bandCentre(int(i)) +
                                 box.band * series.offsetPercent / 100 * (box.horizontal ? -1 : 1);
            const double half = box.band * series.barWidthPercent / 200;
            const double v0 = box.valuePixel(base), v1 = box.valuePixel(top);
            BoxLayout::Bar bar;
            bar.series = int(s);
            bar.point = int(i);
            bar.empty = base == top;
            if (box.horizontal) {
                bar.x0 = std::min(v0, v1), bar.x1 = std::max(v0, v1);
                bar.y0 = along - half, bar.y1 = along + half;
            } else {
                bar.x0 = along - half, bar.x1 = along + half;
                bar.y0 = std::min(v0, v1), bar.y1 = std::max(v0, v1);
            }
            bar.z0 = barSlot * (slotOf[s] + 0.1);
            bar.z1 = barSlot * (slotOf[s] + 0.9);
            box.bars.append(bar);
            if (series.marks.visible)
                box.marks.append({int(s), int(i), series.markText(int(i)), along, v1, v0, bar.z0,
                                  bar.z1, top >= base});
        }
    }
    return box;
}

void ChartPainter::drawBox(const QRectF &free)
{
    const BoxLayout box = layoutBox(free);
    if (!box.drawable())
        return;
    m_placement.scale = box.valueScale();
    m_placement.categoryScale = box.bandScale();
    const Projection3D projection(m_chart.view, box.front, box.depth);
    drawWalls(box, projection);
    drawValueAxis(box, projection, valueAxis(box), false);
    if (!box.horizontal)
        drawValueAxis(box, projection, m_chart.rightAxis, true);
    drawCategoryLabels(box, projection);
    drawAxisTitles(box);

    // Zoomed into some bands, the rest are cut off at the plot's sides along the band axis.
    m_painter.save();
    if (m_chart.m_categoryZoom) {
        const QRectF everything =
            free.adjusted(-free.width(), -free.height(), free.width(), free.height());
        m_painter.setClipRect(
            box.horizontal
                ? QRectF(everything.left(), box.plot.top(), everything.width(), box.plot.height())
                : QRectF(box.plot.left(), everything.top(), box.plot.width(), everything.height()));
    }
    for (const Face &face : barFaces(box, projection)) {
        m_painter.setPen(QPen(face.outline, 0.8));
        m_painter.setBrush(face.brush);
        m_painter.drawPolygon(face.polygon);
    }
    drawLines(box, projection);
    for (const BoxLayout::Mark &mark : box.marks) {
        // Marks beyond the bar end clear its 3D faces: a horizontal bar's right of its end
        // face, level with its front; a vertical bar's over the middle of its top. Inside ones
        // sit on the front face.
        const ChartSeries &series = *box.shown[mark.series];
        const bool beyond = series.marks.offset >= 0;
        const QPointF anchor =
            box.horizontal
                ? QPointF(projection.map(mark.end, mark.along, beyond ? mark.z1 : mark.z0).x(),
                          projection.map(mark.end, mark.along, mark.z0).y())
                : projection.map(mark.along, mark.end, beyond ? (mark.z0 + mark.z1) / 2 : mark.z0);
        const QPointF base = box.horizontal ? projection.map(mark.start, mark.along, mark.z0)
                                            : projection.map(mark.along, mark.start, mark.z0);
        drawMark(series, mark.text, anchor, base, box.horizontal, mark.positive);
    }
    m_painter.restore();
}

void ChartPainter::drawWalls(const BoxLayout &box, const Projection3D &projection)
{
    const double l = box.front.left(), r = box.front.right(), t = box.front.top(),
                 b = box.front.bottom(), depth = box.depth;
    auto quad = [&](std::initializer_list<std::array<double, 3>> corners) {
        QPolygonF polygon;
        for (const auto &c : corners)
            polygon.append(projection.map(c[0], c[1], c[2]));
        return polygon;
    };
    auto wall = [&](const ChartWall &w, const QPolygonF &polygon) {
        if (w.transparent)
            return;
        m_painter.setPen(QPen(w.color.darker(130), 0.8));
        m_painter.setBrush(w.color);
        m_painter.drawPolygon(polygon);
    };
    wall(m_chart.backWall, quad({{l, t, depth}, {r, t, depth}, {r, b, depth}, {l, b, depth}}));
    if (depth > 0) {
        wall(m_chart.leftWall, quad({{l, t, 0}, {l, t, depth}, {l, b, depth}, {l, b, 0}}));
        wall(m_chart.bottomWall, quad({{l, b, 0}, {r, b, 0}, {r, b, depth}, {l, b, depth}}));
    }
    // The value grid on the back wall.
    const ChartAxis &axis = valueAxis(box);
    if (!axis.grid)
        return;
    m_painter.setPen(QPen(axis.tickColor, 0.6, Qt::DotLine));
    for (double v : box.ticks) {
        const double p = box.valuePixel(v);
        m_painter.drawPolyline(box.horizontal ? quad({{p, b, 0}, {p, b, depth}, {p, t, depth}})
                                              : quad({{l, p, 0}, {l, p, depth}, {r, p, depth}}));
    }
}

void ChartPainter::drawValueAxis(const BoxLayout &box, const Projection3D &projection,
                                 const ChartAxis &axis, bool right)
{
    if (!axis.visible)
        return;
    const double l = box.front.left(), r = box.front.right(), t = box.front.top(),
                 b = box.front.bottom();
    m_painter.setFont(axis.labelFont);
    const QFontMetricsF metrics(axis.labelFont);
    for (double v : box.ticks) {
        const QString text = formatFloat(axis.format, v);
        const double p = box.valuePixel(v);
        m_painter.setPen(axis.tickColor);
        if (box.horizontal) {
            const QPointF at = projection.map(p, b, 0);
            m_painter.drawLine(at, at + QPointF(0, 4));
            m_painter.setPen(axis.labelColor);
            m_painter.drawText(QPointF(at.x() - metrics.horizontalAdvance(text) / 2,
                                       at.y() + 5 + metrics.ascent()),
                               text);
        } else {
            const QPointF at = right ? projection.map(r, p, box.depth) : projection.map(l, p, 0);
            const double dir = right ? 1 : -1;
            m_painter.drawLine(at, at + QPointF(4 * dir, 0));
            m_painter.setPen(axis.labelColor);
            const double x = right ? at.x() + 6 : at.x() - 6 - metrics.horizontalAdvance(text);
            m_painter.drawText(QPointF(x, at.y() + metrics.ascent() / 2 - 1), text);
        }
    }
    if (!axis.lineVisible)
        return;
    m_painter.setPen(QPen(axis.tickColor, 1));
    if (box.horizontal)
        m_painter.drawLine(projection.map(l, b, 0), projection.map(r, b, 0));
    else if (right)
        m_painter.drawLine(projection.map(r, t, box.depth), projection.map(r, b, box.depth));
    else
        m_painter.drawLine(projection.map(l, t, 0), projection.map(l, b, 0));
}

void ChartPainter::drawCategoryLabels(const BoxLayout &box, const Projection3D &projection)
{
    const ChartAxis &axis = categoryAxis(box);
    if (!axis.visible)
        return;
    m_painter.setFont(axis.labelFont);
    m_painter.setPen(axis.labelColor);
    const QFontMetricsF metrics(axis.labelFont);
    const bool turned = axis.labelAngle == 90;
    // Labels that would touch the one before are left out.
    double lastEdge = -1e9;
    for (int i = 0; i < box.categories; ++i) {
        const QString &text = box.labels[i];
        if (text.isEmpty() || i + 0.5 < box.firstBand || i + 0.5 > box.lastBand)
            continue;
        const double width = metrics.horizontalAdvance(text);
        if (box.horizontal) {
            const QPointF at = projection.map(box.front.left(), box.bandCentre(i), box.barFront);
            m_painter.drawText(QPointF(at.x() - 6 - width, at.y() + metrics.ascent() / 2 - 1),
                               text);
            continue;
        }
        const QPointF at = projection.map(box.bandCentre(i), box.front.bottom(), box.barFront);
        const double extent = turned ? metrics.height() : width;
        const double start = at.x() - extent / 2;
        if (start < lastEdge + axis.labelSeparation)
            continue;
        lastEdge = start + extent;
        if (turned)
            drawTextRotated(m_painter,
                            QPointF(at.x() + metrics.ascent() / 2 - 1, at.y() + 6 + width), text,
                            90);
        else
            m_painter.drawText(QPointF(start, at.y() + 4 + metrics.ascent()), text);
    }
}

void ChartPainter::drawAxisTitles(const BoxLayout &box)
{
    for (const bool vertical : {true, false}) {
        const ChartAxis &axis = vertical ? m_chart.leftAxis : m_chart.bottomAxis;
        if (!axis.visible || axis.title.isEmpty())
            continue;
        m_painter.setFont(axis.titleFont);
        m_painter.setPen(axis.labelColor);
        const QFontMetricsF metrics(axis.titleFont);
        const double width = metrics.horizontalAdvance(axis.title);
        if (vertical)
            drawTextRotated(
                m_painter,
                QPointF(box.free.left() + metrics.ascent(), box.plot.center().y() + width / 2),
                axis.title, 90);
        else
            m_painter.drawText(
                QPointF(box.plot.center().x() - width / 2, box.free.bottom() - metrics.descent()),
                axis.title);
    }
}

QList<ChartPainter::Face> ChartPainter::barFaces(const BoxLayout &box,
                                                 const Projection3D &projection) const
{
    QList<Face> faces;
    for (const BoxLayout::Bar &bar : box.bars) {
        if (bar.empty)
            continue;
        const ChartSeries &series = *box.shown[bar.series];
        const QColor colour = series.pointColor(bar.point);
        const QColor outline = series.outline.isValid() ? series.outline : colour.darker(150);
        const double x0 = bar.x0, x1 = bar.x1, y0 = bar.y0, y1 = bar.y1, z0 = bar.z0, z1 = bar.z1;
        struct Side {
            double nx, ny, nz;
            std::array<std::array<double, 3>, 4> corners;
            QColor shade;
        };
        const Side sides[] = {
            {0, 0, -1, {{{x0, y0, z0}, {x1, y0, z0}, {x1, y1, z0}, {x0, y1, z0}}}, colour},
            {0,
             0,
             1,
             {{{x1, y0, z1}, {x0, y0, z1}, {x0, y1, z1}, {x1, y1, z1}}},
             colour.darker(150)},
            {0,
             -1,
             0,
             {{{x0, y0, z1}, {x1, y0, z1}, {x1, y0, z0}, {x0, y0, z0}}},
             colour.lighter(125)},
            {0,
             1,
             0,
             {{{x0, y1, z0}, {x1, y1, z0}, {x1, y1, z1}, {x0, y1, z1}}},
             colour.darker(150)},
            {-1,
             0,
             0,
             {{{x0, y0, z1}, {x0, y0, z0}, {x0, y1, z0}, {x0, y1, z1}}},
             colour.darker(130)},
            {1,
             0,
             0,
             {{{x1, y0, z0}, {x1, y0, z1}, {x1, y1, z1}, {x1, y1, z0}}},
             colour.darker(130)},
        };
        for (const Side &side : sides) {
            // Flat, only the front face is drawn.
            if (box.depth <= 0 && side.nz >= 0)
                continue;
            double cx = 0, cy = 0, cz = 0;
            QPolygonF polygon;
            for (const auto &c : side.corners) {
                polygon.append(projection.map(c[0], c[1], c[2]));
                cx += c[0] / 4, cy += c[1] / 4, cz += c[2] / 4;
            }
            if (box.depth > 0 && !projection.facesViewer(side.nx, side.ny, side.nz, cx, cy, cz))
                continue;
            QBrush brush(side.shade);
            if (series.gradient && side.nz < 0) {
                QLinearGradient fill(polygon.boundingRect().topLeft(),
                                     box.horizontal ? polygon.boundingRect().bottomLeft()
                                                    : polygon.boundingRect().topRight());
                fill.setColorAt(0, colour.lighter(160));
                fill.setColorAt(0.5, colour);
                fill.setColorAt(1, colour.darker(140));
                brush = QBrush(fill);
            }
            faces.append({polygon, projection.distance(cx, cy, cz), brush, outline});
        }
    }
    std::stable_sort(faces.begin(), faces.end(),
                     [](const Face &a, const Face &c) { return a.distance > c.distance; });
    return faces;
}

void ChartPainter::drawLines(const BoxLayout &box, const Projection3D &projection)
{
    // Each series a ribbon at its own depth, the first series in front.
    const qsizetype count = box.lineSeries.size();
    const double slot = count == 0 ? 0 : box.depth / double(count);
    for (qsizetype k = count - 1; k >= 0; --k) {
        const ChartSeries &series = *box.shown[box.lineSeries[k]];
        const double z0 = slot * double(k), z1 = slot * double(k + 1);
        QList<QPointF> points;
        for (qsizetype i = 0; i < series.points.size(); ++i)
            points.append({box.bandCentre(int(i)), box.valuePixel(series.points[i].value)});
        if (slot > 0) {
            m_painter.setPen(QPen(series.color.darker(150), 0.6));
            m_painter.setBrush(series.color.darker(120));
            for (qsizetype i = 0; i + 1 < points.size(); ++i) {
                const QPointF a = points[i], b = points[i + 1];
                m_painter.drawPolygon(
                    QPolygonF{projection.map(a.x(), a.y(), z0), projection.map(b.x(), b.y(), z0),
                              projection.map(b.x(), b.y(), z1), projection.map(a.x(), a.y(), z1)});
            }
        }
        QPolygonF line;
        for (const QPointF &point : points)
            line.append(projection.map(point.x(), point.y(), z0));
        m_painter.setPen(QPen(series.color, 2));
        m_painter.setBrush(Qt::NoBrush);
        m_painter.drawPolyline(line);
    }
}
