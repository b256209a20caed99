#include "layout.h"
#include "windowoutline.h"

#include <QImage>
#include <QPainter>
#include <QPolygonF>

#include <gtest/gtest.h>

#include <array>
#include <utility>

namespace {

// The device's outline as drawn: 21 cubic Bezier segments through 64 points,
// in window coordinates with the title bar (the client area starts at 3,24).
constexpr std::array<std::pair<int, int>, 64> kOutline{{
    {5, 60},    {6, 56},    {6, 53},    {8, 49},    {10, 46},   {12, 43},   {14, 40},   {16, 38},
    {19, 35},   {21, 33},   {23, 32},   {26, 30},   {28, 29},   {106, 29},  {183, 28},  {254, 28},
    {263, 29},  {269, 30},  {274, 32},  {279, 34},  {283, 38},  {286, 42},  {289, 45},  {294, 50},
    {291, 47},  {294, 53},  {295, 58},  {297, 62},  {297, 214}, {298, 366}, {298, 514}, {297, 521},
    {296, 529}, {293, 535}, {291, 540}, {288, 544}, {285, 547}, {281, 551}, {277, 554}, {271, 557},
    {266, 559}, {261, 560}, {257, 561}, {251, 562}, {245, 562}, {240, 562}, {178, 562}, {114, 561},
    {56, 561},  {47, 560},  {41, 558},  {34, 556},  {28, 554},  {23, 551},  {19, 548},  {14, 544},
    {10, 540},  {7, 536},   {5, 533},   {4, 530},   {3, 525},   {3, 369},   {3, 214},   {5, 60},
}};

} // namespace

TEST(WindowOutline, FollowsTheDrawnCurve)
{
    const auto& pts = WindowOutline::points();
    for (size_t i = 0; i < kOutline.size(); ++i)
        EXPECT_EQ(pts[i], QPoint(kOutline[i].first, kOutline[i].second)) << "point " << i + 1;

    // The curve worked out here, point by point, filled the same way.
    QPolygonF curve;
    const auto at = [](size_t i) {
        return QPointF(kOutline[i].first - 3, kOutline[i].second - 24);
    };
    for (size_t i = 0; i + 3 < kOutline.size(); i += 3)
        for (int k = 0; k <= 64; ++k) {
            const double t = k / 64.0, u = 1 - t;
            curve << u * u * u * at(i) + 3 * u * u * t * at(i + 1) + 3 * u * t * t * at(i + 2) +
                         t * t * t * at(i + 3);
        }
    const QRegion expected(curve.toPolygon(), Qt::WindingFill);
    // Pixels within a pixel and a half of the curve may fall either way.
    QImage band(Layout::kWindow, QImage::Format_Grayscale8);
    band.fill(0);
    QPainter p(&band);
    p.setPen(QPen(Qt::white, 3));
    p.drawPolyline(curve);
    p.end();
    const QRegion shape = WindowOutline::region();
    int inside = 0;
    for (int y = 0; y < band.height(); ++y)
        for (int x = 0; x < band.width(); ++x) {
            if (band.pixelColor(x, y) != Qt::black)
                continue;
            const bool want = expected.contains(QPoint(x, y));
            inside += want;
            ASSERT_EQ(shape.contains(QPoint(x, y)), want) << x << "," << y;
        }
    EXPECT_GT(inside, 150000); // most of the window
}

TEST(WindowOutline, CutsCornersAndKeepsTheDevice)
{
    const auto& pts = WindowOutline::points();
    EXPECT_EQ(pts.front(), pts.back()) << "the path closes on its first point";

    const QRegion shape = WindowOutline::region();
    const QSize w = Layout::kWindow;
    for (const QPoint corner : {QPoint(0, 0), QPoint(w.width() - 1, 0), QPoint(0, w.height() - 1),
                                QPoint(w.width() - 1, w.height() - 1)})
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
