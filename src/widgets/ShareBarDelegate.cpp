#include "ShareBarDelegate.h"

#include <QApplication>
#include <QPainter>

void ShareBarDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                             const QModelIndex &index) const
{
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    const QString text = cell.text;
    cell.text.clear();
    const QWidget *view = option.widget;
    QStyle *style = view ? view->style() : QApplication::style();
    // The row's own background and selection first, then the bar, then the figure.
    style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, view);
    const double share = std::clamp(index.data(m_role).toDouble(), 0.0, 1.0);
    const QRect frame = option.rect.adjusted(3, 3, -3, -3);
    const QRect bar(frame.left(), frame.top(), int(frame.width() * share + 0.5), frame.height());
    painter->save();
    painter->setPen(option.palette.color(QPalette::Mid));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(frame.adjusted(0, 0, -1, -1));
    painter->fillRect(bar, option.palette.color(QPalette::Highlight).lighter(130));
    painter->setPen(option.palette.color(QPalette::Text));
    painter->drawText(frame.adjusted(2, 0, -2, 0), Qt::AlignRight | Qt::AlignVCenter, text);
    painter->restore();
}
