#include "windowoutline.h"

#include <QPolygon>

namespace WindowOutline {

const std::array<QPoint, 64>& points()
{
    static const std::array<QPoint, 64> table = {{
        {5, 60},    {6, 56},    {6, 53},    {8, 49},    {10, 46},   {12, 43},   {14, 40},
        {16, 38},   {19, 35},   {21, 33},   {23, 32},   {26, 30},   {28, 29},   {106, 29},
        {183, 28},  {254, 28},  {263, 29},  {269, 30},  {274, 32},  {279, 34},  {283, 38},
        {286, 42},  {289, 45},  {294, 50},  {291, 47},  {294, 53},  {295, 58},  {297, 62},
        {297, 214}, {298, 366}, {298, 514}, {297, 521}, {296, 529}, {293, 535}, {291, 540},
        {288, 544}, {285, 547}, {281, 551}, {277, 554}, {271, 557}, {266, 559}, {261, 560},
        {257, 561}, {251, 562}, {245, 562}, {240, 562}, {178, 562}, {114, 561}, {56, 561},
        {47, 560},  {41, 558},  {34, 556},  {28, 554},  {23, 551},  {19, 548},  {14, 544},
        {10, 540},  {7, 536},   {5, 533},   {4, 530},   {3, 525},   {3, 369},   {3, 214},
        {5, 60},
    }};
    return table;
}

QPainterPath path()
{
    const auto& p = points();
    QPainterPath outline(p[0] - kClientOrigin);
    for (size_t i = 1; i + 2 < p.size(); i += 3)
        outline.cubicTo(p[i] - kClientOrigin, p[i + 1] - kClientOrigin, p[i + 2] - kClientOrigin);
    outline.closeSubpath();
    return outline;
}

QRegion region()
{
    // Flattened to a polygon; QRegion fills it with the winding rule so the
    // small loop near the upper right corner does not punch a hole.
    return QRegion(path().toFillPolygon().toPolygon(), Qt::WindingFill);
}

} // namespace WindowOutline
