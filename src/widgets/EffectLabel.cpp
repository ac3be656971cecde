#include "EffectLabel.h"

#include <QPainter>

EffectLabel::EffectLabel(const QString &text, QWidget *parent) : QWidget(parent), m_text(text)
{
    setAttribute(Qt::WA_TranslucentBackground);
}

void EffectLabel::setText(const QString &text)
{
    m_text = text;
    updateGeometry();
    update();
}

void EffectLabel::setEffect(Effect effect, int depth, const QColor &effectColor)
{
    m_effect = effect;
    m_depth = std::max(depth, 0);
    m_effectColor = effectColor;
    updateGeometry();
    update();
}

void EffectLabel::setTextColor(const QColor &color)
{
    m_textColor = color;
    update();
}

void EffectLabel::setAlignment(Qt::Alignment alignment)
{
    m_alignment = alignment;
    update();
}

QSize EffectLabel::sizeHint() const
{
    const QFontMetrics metrics(font());
    return QSize(metrics.horizontalAdvance(m_text) + m_depth + 4, metrics.height() + m_depth + 2);
}

void EffectLabel::paintLabel(QPainter &painter, const QRectF &area) const
{
    painter.save();
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setFont(font());
    const QRectF text = area.adjusted(1, 1, -m_depth - 1, -m_depth - 1);
    switch (m_effect) {
    case Plain:
        break;
    case Highlight:
        painter.setPen(m_effectColor);
        painter.drawText(text.translated(-1, -1), int(m_alignment), m_text);
        break;
    case GraduatedShadow:
        // Copies from the farthest, faintest one to the nearest, darkest one.
        for (int step = m_depth; step >= 1; --step) {
            QColor shade = m_effectColor;
            shade.setAlphaF(0.85 * (m_depth - step + 1) / (m_depth + 1));
            painter.setPen(shade);
            painter.drawText(text.translated(step, step), int(m_alignment), m_text);
        }
        break;
    case ExtrudedShadow:
        painter.setPen(m_effectColor);
        for (int step = m_depth; step >= 1; --step)
            painter.drawText(text.translated(step, step), int(m_alignment), m_text);
        break;
    }
    painter.setPen(m_textColor);
    painter.drawText(text, int(m_alignment), m_text);
    painter.restore();
}

void EffectLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    paintLabel(painter, QRectF(rect()));
}
