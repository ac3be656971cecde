#include "GradientBackground.h"

#include <QPainter>

GradientBackground::GradientBackground(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void GradientBackground::setColors(const QColor &top, const QColor &bottom)
{
    m_top = top;
    m_bottom = bottom;
    update();
}

void GradientBackground::setStyle(Style style)
{
    if (style == AllBlue)
        setColors(QColor(0, 0, 255), QColor(0, 0, 40));
    else
        setColors(Qt::white, QColor(192, 192, 192));
}

void GradientBackground::paintGradient(QPainter &painter, const QRectF &area, const QColor &top,
                                       const QColor &bottom)
{
    QLinearGradient fill(area.topLeft(), area.bottomLeft());
    fill.setColorAt(0, top);
    fill.setColorAt(1, bottom);
    painter.fillRect(area, fill);
}

void GradientBackground::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    paintGradient(painter, QRectF(rect()), m_top, m_bottom);
}
