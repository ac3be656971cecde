#include "ChartColorTable.h"

const std::array<ChartColor, ChartColorTable::size> &ChartColorTable::standardPalette()
{
    static constexpr std::array<ChartColor, size> palette{
        0xFF0000, // red
        0x800000, // maroon
        0x0000FF, // blue
        0xFFFF00, // yellow
        0x008000, // green
        0x00FF00, // lime
        0xFF00FF, // fuchsia
        0x008080, // teal
        0x000080, // navy
        0x00FFFF, // aqua
        0xFFFFFF, // white
        0x808080, // gray
    };
    return palette;
}

void ChartColorTable::initAColors(bool palette, ChartColor color)
{
    if (palette)
        m_colors = standardPalette();
    else
        m_colors.fill(color);
}

ChartColor ChartColorTable::color(int index) const
{
    const int wrapped = ((index - 1) % size + size) % size;
    return m_colors[size_t(wrapped)];
}

ChartColor ChartColorTable::colorOfKey(QByteArrayView key) const
{
    // FNV-1a over the upper-cased bytes: stable from run to run, unlike a seeded hash.
    quint32 hash = 2166136261u;
    for (const char byte : key) {
        hash ^= quint8(byte >= 'a' && byte <= 'z' ? byte - 32 : byte);
        hash *= 16777619u;
    }
    return color(1 + int(hash % size));
}
