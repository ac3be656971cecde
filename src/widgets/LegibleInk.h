#pragma once

#include <QColor>

// ink as it is where it stands out from background; on a background too close to it in
// lightness (a dark desktop palette under navy text), ink lightened or darkened until it
// reads, its hue kept. Colours that are chart data are never passed here.
QColor legibleInk(const QColor &ink, const QColor &background);
