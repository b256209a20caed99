#include "levelgeometry.h"

#include "roundhalfeven.h"

#include <algorithm>
#include <array>

namespace LevelGeometry {

namespace {

// tenths / 10 rounded to nearest, halves to even (tenths may be negative).
int roundTenthsHalfEven(int tenths)
{
    return int(divideHalfEven(tenths, 10));
}

} // namespace

QRect ellipseFor(uint8_t sample)
{
    const int s = sample;
    // Worked in tenths of a pixel: 30 - s/10 + 25 and 30 - s/10.
    const int top = s <= 115 ? 20 : 45;
    const int bottom = roundTenthsHalfEven(s <= 115 ? 550 - s : 300 - s);
    return QRect(QPoint(50, std::min(top, bottom)), QPoint(150, std::max(top, bottom)));
}

QVector<QRect> ellipsesFor(const uint8_t* block, size_t size)
{
    QVector<QRect> boxes;
    if (size < 2)
        return boxes;
    std::array<bool, 256> seen{};
    for (size_t i = 0; i + 1 < size; ++i) {
        if (seen[block[i]])
            continue;
        const QRect box = ellipseFor(block[i]);
        seen[block[i]] = true;
        if (std::find(boxes.cbegin(), boxes.cend(), box) == boxes.cend())
            boxes.append(box);
    }
    return boxes;
}

} // namespace LevelGeometry
