#include "LabelFit.h"

#include <QFontMetrics>
#include <QLabel>

void fitLabelToText(QLabel *label)
{
    const int frame = 2 * (label->frameWidth() + label->margin()) + 4;
    const int needed = QFontMetrics(label->font()).horizontalAdvance(label->text()) + frame;
    QRect area = label->geometry();
    if (needed <= area.width())
        return;
    if (label->alignment() & Qt::AlignRight)
        area.setLeft(area.right() + 1 - needed);
    else
        area.setWidth(needed);
    label->setGeometry(area);
    // Widened over a neighbour, it stands in front of it: no digit is hidden.
    label->raise();
}
