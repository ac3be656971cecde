#include "PickListDelegate.h"

#include "Picklist.h"

#include <QApplication>
#include <QPainter>

namespace {

constexpr int tabStepInCharacters = 8;

} // namespace

PickListDelegate::PickListDelegate(TPickList *list) : QStyledItemDelegate(list), m_list(list) {}

QSize PickListDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    // The row height set, or more where the list's font needs it, so no descender is clipped.
    size.setHeight(std::max(m_list->ItemHeight(), QFontMetrics(m_list->font()).height() + 1));
    return size;
}

QList<QPoint> PickListDelegate::tickStrokes(int rowHeight)
{
    const int h = rowHeight % 2 == 0 ? rowHeight - 1 : rowHeight;
    const int y = h / 2 + 1;
    QList<QPoint> strokes;
    int shortLeg = 0;
    for (int j = 0; j < h / 3 - 1; ++j, ++shortLeg)
        strokes.append(QPoint(3 + j, y + j));
    const int y2 = y + shortLeg - 2;
    for (int j = 0; j < h - h / 3 - 3; ++j)
        strokes.append(QPoint(h / 3 + 2 + j, y2 - j));
    return strokes;
}

void PickListDelegate::drawTabbedText(QPainter &painter, int x, int baseline, const QString &text,
                                      const QList<int> &stops, int defaultStep)
{
    const QFontMetrics metrics = painter.fontMetrics();
    const QStringList segments = text.split(u'\t');
    for (qsizetype i = 0; i < segments.size(); ++i) {
        if (i > 0) {
            int next = -1;
            for (int stop : stops)
                if (stop > x) {
                    next = stop;
                    break;
                }
            if (next < 0) {
                const int last = stops.isEmpty() ? 0 : stops.last();
                const int step = stops.size() >= 2   ? last - stops[stops.size() - 2]
                                 : stops.size() == 1 ? last
                                                     : defaultStep;
                next = step > 0 ? last + ((x - last) / step + 1) * step : x;
            }
            x = next;
        }
        painter.drawText(x, baseline, segments[i]);
        x += metrics.horizontalAdvance(segments[i]);
    }
}

void PickListDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                             const QModelIndex &index) const
{
    const QRect rect = option.rect;
    const int left = rect.left();
    const int top = rect.top();
    const QString text = index.data(Qt::DisplayRole).toString();
    const bool selected = option.state & QStyle::State_Selected;
    const QFontMetrics metrics(m_list->font());
    const int average = metrics.averageCharWidth();
    const QColor fontColor = m_list->palette().color(QPalette::Text);

    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setFont(m_list->font());

    if (m_list->SelectedStyle() == psStandard) {
        const QPalette &palette = m_list->palette();
        painter->fillRect(rect, selected ? palette.color(QPalette::Highlight) : m_list->Color());
        painter->setPen(selected ? palette.color(QPalette::HighlightedText) : fontColor);
        const int x = left + 2;
        // The platform list's own tab positions, counted from the start of the text.
        QList<int> stops;
        for (int k = 1; k <= 64; ++k)
            stops.append(x + k * tabStepInCharacters * average);
        const int baseline = top + (rect.height() - metrics.height()) / 2 + metrics.ascent();
        if (m_list->UseTabStops())
            drawTabbedText(*painter, x, baseline, text, stops, tabStepInCharacters * average);
        else
            painter->drawText(x, baseline, QString(text).replace(u'\t', u' '));
    } else {
        const int itemHeight = m_list->ItemHeight();
        painter->fillRect(rect, m_list->Color());
        const QRect box(left + 2, top + 1, itemHeight - 2, itemHeight - 2);
        painter->fillRect(box, QApplication::palette().color(QPalette::Base));
        painter->setPen(fontColor);
        painter->drawRect(box.adjusted(0, 0, -1, -1));
        if (selected)
            for (const QPoint &stroke : tickStrokes(rect.height()))
                painter->fillRect(QRect(left + stroke.x(), top + stroke.y(), 1, 3), fontColor);

        const int x = left + itemHeight + 4;
        const int baseline = top + metrics.ascent();
        QFont font = m_list->font();
        if (m_list->SelectedStyle() == psBoldText && selected) {
            font.setBold(true);
            painter->setFont(font);
        }
        if (m_list->UseTabStops()) {
            QList<int> stops;
            for (int stop : m_list->tabStopList())
                stops.append(left + stop * average);
            drawTabbedText(*painter, x, baseline, text, stops, tabStepInCharacters * average);
        } else {
            painter->drawText(x, baseline, QString(text).replace(u'\t', u' '));
        }
    }

    if (option.state & QStyle::State_HasFocus) {
        QStyleOptionFocusRect focus;
        focus.rect = rect;
        focus.state = option.state;
        focus.backgroundColor = m_list->Color();
        m_list->style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, m_list);
    }
    painter->restore();
}
