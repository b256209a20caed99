#pragma once

#include <QRect>
#include <QVector>

#include <cstddef>
#include <cstdint>

// The level picture of one input block: for each drawn sample an ellipse
// 100 px wide whose height grows with the sample's distance from silence.
namespace LevelGeometry {

// The box of one sample as the meter draws it. Samples up to 115 span from
// y 20 down to 55 - s/10, louder ones from y 45 up to 30 - s/10 (rounded to
// nearest, halves to even); the result is normalised (top <= bottom).
QRect ellipseFor(uint8_t sample);

// The distinct boxes of a block: positions 0 .. size-2 (the last byte of a
// block is not drawn). The ellipses are drawn unfilled over one another, so
// drawing each distinct box once gives the same picture.
QVector<QRect> ellipsesFor(const uint8_t* block, size_t size);

} // namespace LevelGeometry
