#pragma once

#include <QStyledItemDelegate>

// Draws a display-only listing's cells: the cell's own background, the text 3 pixels in from
// the cell's edges, and a grey rule under each row. Unlike a style sheet, it follows the
// colours the cells and the grid are given later (the white of a printed picture).
class ListingDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
};
