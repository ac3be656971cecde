#pragma once

#include <QWidget>

// A caption drawn with an effect: a light highlight above and left of the text, a graduated
// shadow fading away below and right of it, or a solid extruded shadow of a given depth.
class EffectLabel : public QWidget {
    Q_OBJECT

public:
    enum Effect { Plain, Highlight, GraduatedShadow, ExtrudedShadow };

    explicit EffectLabel(const QString &text = QString(), QWidget *parent = nullptr);

    QString text() const { return m_text; }
    void setText(const QString &text);
    void setEffect(Effect effect, int depth = 3, const QColor &effectColor = Qt::darkGray);
    void setTextColor(const QColor &color);
    QColor textColor() const { return m_textColor; }
    void setAlignment(Qt::Alignment alignment);
    Effect effect() const { return m_effect; }
    int depth() const { return m_depth; }

    QSize sizeHint() const override;
    // Draws text into area with the effect, for the screen and for printing alike.
    void paintLabel(QPainter &painter, const QRectF &area) const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_text;
    Effect m_effect = Plain;
    int m_depth = 3;
    QColor m_effectColor = Qt::darkGray;
    QColor m_textColor = Qt::black;
    Qt::Alignment m_alignment = Qt::AlignLeft | Qt::AlignVCenter;
};
