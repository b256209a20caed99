#pragma once

#include <QPainterPath>
#include <QPoint>
#include <QRegion>

#include <array>

// The rounded outline of the main window: 21 cubic Bezier segments through 64
// points given in window coordinates with the title bar and borders included.
namespace WindowOutline {

const std::array<QPoint, 64>& points();

// Where the client area starts in the coordinates of the point table: the
// outline starts just inside the border and below the title bar, so moving
// it by this much fits it to a frameless client area.
constexpr QPoint kClientOrigin{3, 24};

// The outline in client coordinates.
QPainterPath path();
QRegion region();

} // namespace WindowOutline
