#pragma once

#include <QByteArrayView>

#include <array>

// A colour as 0xRRGGBB.
using ChartColor = quint32;

// The twelve colours (entries 1 to 12) from which the report charts colour their slices and
// bars as they add them: the standard palette, so that neighbours differ, or one colour for all.
class ChartColorTable {
public:
    static constexpr int size = 12;
    static const std::array<ChartColor, size> &standardPalette();

    ChartColorTable() { initAColors(true, 0); }

    // With palette true, the standard palette; otherwise color in every entry.
    void initAColors(bool palette, ChartColor color);
    // Entry index, counted from 1; a chart with more points than entries starts over at 1.
    ChartColor color(int index) const;
    // The entry of a key (an extension): the same key, the same colour, in every chart and run,
    // letter case aside.
    ChartColor colorOfKey(QByteArrayView key) const;

private:
    std::array<ChartColor, size> m_colors{};
};
