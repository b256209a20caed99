#include "layout.h"
#include "windowoutline.h"

#include <gtest/gtest.h>

TEST(WindowOutline, CutsCornersAndKeepsTheDevice)
{
    const auto& pts = WindowOutline::points();
    EXPECT_EQ(pts.front(), pts.back()) << "the path closes on its first point";

    const QRegion shape = WindowOutline::region();
    const QSize w = Layout::kWindow;
    for (const QPoint corner : {QPoint(0, 0), QPoint(w.width() - 1, 0),
                                QPoint(0, w.height() - 1), QPoint(w.width() - 1, w.height() - 1)})
        EXPECT_FALSE(shape.contains(corner)) << corner.x() << "," << corner.y();
    // The screen, the hint line and the control button lie inside.
    EXPECT_TRUE(shape.contains(Layout::kPanel));
    EXPECT_TRUE(shape.contains(Layout::kHintLine));
    EXPECT_TRUE(shape.contains(Layout::kControlButtonFrame));
    // Nothing of the shape lies outside the client area.
    EXPECT_TRUE(QRegion(QRect(QPoint(0, 0), w)).contains(shape.boundingRect()));
    // The upper right loop of the outline does not punch a hole near the edge.
    EXPECT_TRUE(shape.contains(QPoint(280, 30)));
}
