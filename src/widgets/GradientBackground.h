#pragma once

#include <QWidget>

// A panel filled with a vertical two-colour gradient; the children stand on it.
class GradientBackground : public QWidget {
    Q_OBJECT

public:
    enum Style { TwoColour, AllBlue };

    explicit GradientBackground(QWidget *parent = nullptr);

    void setColors(const QColor &top, const QColor &bottom);
    // The deep blue fading to black of the program's main window.
    void setStyle(Style style);
    QColor topColor() const { return m_top; }
    QColor bottomColor() const { return m_bottom; }

    static void paintGradient(QPainter &painter, const QRectF &area, const QColor &top,
                              const QColor &bottom);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_top = QColor(0, 0, 160);
    QColor m_bottom = Qt::black;
};
