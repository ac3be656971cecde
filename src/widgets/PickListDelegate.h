#pragma once

#include <QStyledItemDelegate>

class TPickList;

// Draws the rows of a pick list: in the check-box style a box, ticked for a selected row, then
// the text with its TABs expanded to the list's tab stops; in the standard style a highlighted
// row with TABs at every eighth average character width.
class PickListDelegate : public QStyledItemDelegate {
public:
    explicit PickListDelegate(TPickList *list);

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    // The tick's vertical strokes, 3 pixels tall, for a row of height rowHeight whose left top
    // corner is at the origin: the top pixel of each stroke.
    static QList<QPoint> tickStrokes(int rowHeight);

    // Draws text at (x, baseline) with each TAB moved to the next stop; stops are absolute x
    // positions, repeated at the last spacing, or every defaultStep when there are none.
    static void drawTabbedText(QPainter &painter, int x, int baseline, const QString &text,
                               const QList<int> &stops, int defaultStep);

private:
    TPickList *m_list;
};
