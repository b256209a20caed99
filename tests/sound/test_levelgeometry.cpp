#include "levelgeometry.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct EllipseCase
{
    int sample;
    int top;
    int bottom;
};

TEST(LevelGeometry, OneSampleGivesItsBox)
{
    for (const EllipseCase c : {
             EllipseCase{128, 17, 45}, // silence: 30 - 12.8
             EllipseCase{255, 4, 45},  // 30 - 25.5 = 4.5, half to even -> 4
             EllipseCase{0, 20, 55},   // 55 - 0
             EllipseCase{115, 20, 44}, // 55 - 11.5 = 43.5 -> 44
             EllipseCase{116, 18, 45}, // 30 - 11.6 = 18.4 -> 18
             EllipseCase{125, 18, 45}, // 17.5 -> 18
             EllipseCase{135, 16, 45}, // 16.5 -> 16
             EllipseCase{5, 20, 54},   // 54.5 -> 54
             EllipseCase{15, 20, 54},  // 53.5 -> 54
         }) {
        const QRect box = LevelGeometry::ellipseFor(uint8_t(c.sample));
        EXPECT_EQ(box.left(), 50) << c.sample;
        EXPECT_EQ(box.right(), 150) << c.sample;
        EXPECT_EQ(box.top(), c.top) << c.sample;
        EXPECT_EQ(box.bottom(), c.bottom) << c.sample;
    }
}

TEST(LevelGeometry, SilentBlockIsOneEllipse)
{
    const std::vector<uint8_t> silence(256, 128);
    const QVector<QRect> boxes = LevelGeometry::ellipsesFor(silence.data(), silence.size());
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0].top(), 17);
    EXPECT_EQ(boxes[0].bottom(), 45);
}

TEST(LevelGeometry, LastByteOfTheBlockIsNotDrawn)
{
    std::vector<uint8_t> block(256, 128);
    block[255] = 0; // only the last byte is loud
    EXPECT_EQ(LevelGeometry::ellipsesFor(block.data(), block.size()).size(), 1);
    block[254] = 0;
    const QVector<QRect> boxes = LevelGeometry::ellipsesFor(block.data(), block.size());
    ASSERT_EQ(boxes.size(), 2);
    EXPECT_EQ(boxes[1].bottom(), 55);
}

TEST(LevelGeometry, SwingSpreadsThePicture)
{
    std::vector<uint8_t> block(256);
    for (size_t i = 0; i < block.size(); ++i)
        block[i] = i % 2 ? 255 : 0;
    const QVector<QRect> boxes = LevelGeometry::ellipsesFor(block.data(), block.size());
    ASSERT_EQ(boxes.size(), 2);
    int top = 100, bottom = 0;
    for (const QRect& b : boxes) {
        top = std::min(top, b.top());
        bottom = std::max(bottom, b.bottom());
    }
    EXPECT_EQ(top, 4);
    EXPECT_EQ(bottom, 55);
}

} // namespace
