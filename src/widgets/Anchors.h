#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSize>

#include <vector>

class QWidget;

// Lets a page laid out at fixed positions grow with its window. Each widget is pinned to some
// of its parent's edges at its designed geometry; grow(growth) then places it as if its parent
// were growth larger than designed: pinned to left and right it widens, to the right only it
// moves right, to neither it keeps its place in the middle; the same for top and bottom.
// grow(QSize()) restores the designed geometry exactly.
class Anchors : public QObject {
    Q_OBJECT
public:
    // Owned by owner; owner's grow is found by forPage.
    explicit Anchors(QObject *owner);

    // Records widget's present geometry as its designed one.
    void pin(QWidget *widget, Qt::Edges edges);
    void grow(QSize growth);
    QSize growth() const { return m_growth; }

    // The anchors of page, or nullptr when it has none.
    static Anchors *forPage(const QObject *page);

Q_SIGNALS:
    // After the pinned widgets are placed: for what a page places itself.
    void grown(QSize growth);

private:
    struct Pin {
        QPointer<QWidget> widget;
        Qt::Edges edges;
        QRect designed;
    };
    std::vector<Pin> m_pins;
    QSize m_growth{0, 0};
};
