#include "LegibleInk.h"

#include <algorithm>
#include <cstdlib>

QColor legibleInk(const QColor &ink, const QColor &background)
{
    // Lightness apart, on the 0 to 255 scale: text needs about a third of it.
    constexpr int enough = 90;
    const int back = background.lightness();
    if (std::abs(ink.lightness() - back) >= enough)
        return ink;
    const QColor hsl = ink.toHsl();
    const int lightness =
        back < 128 ? std::min(255, back + enough + 40) : std::max(0, back - enough - 40);
    return QColor::fromHsl(hsl.hslHue(), hsl.hslSaturation(), lightness, ink.alpha());
}
