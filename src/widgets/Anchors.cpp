#include "Anchors.h"

#include <QWidget>

namespace {

// One axis: where the widget starts and how long it is, for its parent grown by extra.
std::pair<int, int> placeOnAxis(int start, int length, int extra, bool nearEdge, bool farEdge)
{
    if (nearEdge && farEdge)
        return {start, length + extra};
    if (farEdge)
        return {start + extra, length};
    if (nearEdge)
        return {start, length};
    return {start + extra / 2, length};
}

} // namespace

Anchors::Anchors(QObject *owner) : QObject(owner)
{
    setObjectName(QStringLiteral("anchors"));
}

void Anchors::pin(QWidget *widget, Qt::Edges edges)
{
    m_pins.push_back({widget, edges, widget->geometry()});
}

void Anchors::grow(QSize growth)
{
    m_growth = growth.isValid() ? growth : QSize(0, 0);
    for (const Pin &pin : m_pins) {
        if (!pin.widget)
            continue;
        const auto [x, width] =
            placeOnAxis(pin.designed.x(), pin.designed.width(), m_growth.width(),
                        pin.edges & Qt::LeftEdge, pin.edges & Qt::RightEdge);
        const auto [y, height] =
            placeOnAxis(pin.designed.y(), pin.designed.height(), m_growth.height(),
                        pin.edges & Qt::TopEdge, pin.edges & Qt::BottomEdge);
        pin.widget->setGeometry(x, y, width, height);
    }
    Q_EMIT grown(m_growth);
}

Anchors *Anchors::forPage(const QObject *page)
{
    return page->findChild<Anchors *>(QStringLiteral("anchors"), Qt::FindDirectChildrenOnly);
}
