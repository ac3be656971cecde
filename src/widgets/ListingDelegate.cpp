#include "ListingDelegate.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>

void ListingDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                            const QModelIndex &index) const
{
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    const QVariant background = index.data(Qt::BackgroundRole);
    painter->fillRect(option.rect, background.isValid() ? background.value<QBrush>()
                                                        : option.palette.brush(QPalette::Base));
    painter->setPen(QColor(0xa0, 0xa0, 0xa0));
    painter->drawLine(option.rect.bottomLeft(), option.rect.bottomRight());
    painter->setFont(cell.font);
    painter->setPen(option.palette.color(QPalette::Text));
    painter->drawText(option.rect.adjusted(3, 0, -3, -1), int(cell.displayAlignment), cell.text);
    // The current cell of a listing the keys reach is framed.
    if (option.state & QStyle::State_HasFocus) {
        QStyleOptionFocusRect focus;
        focus.rect = option.rect.adjusted(0, 0, -1, -1);
        focus.state = option.state;
        focus.backgroundColor = option.palette.color(QPalette::Base);
        const QWidget *view = option.widget;
        (view ? view->style() : QApplication::style())
            ->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, view);
    }
}
