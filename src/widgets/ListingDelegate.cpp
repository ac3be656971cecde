#include "ListingDelegate.h"

#include <QPainter>

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
}
