#include "dialmodel.h"
#include "roundhalfeven.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// A point on the dial at `angle` degrees clockwise from 9 o'clock, `radius`
// pixels from the centre.
QPoint pointAt(double angle, double radius)
{
    const double a = angle * M_PI / 180.0;
    return QPoint(int(std::lround(DialModel::kCx - radius * std::cos(a))),
                  int(std::lround(DialModel::kCy - radius * std::sin(a))));
}

DialModel trackedAt(QPoint p, bool dayHalf, DialModel::Pane pane = DialModel::Pane::Ring)
{
    DialModel m;
    if (!dayHalf)
        m.switchToNight();
    m.trackPointer(p.x(), p.y(), pane);
    return m;
}

} // namespace

TEST(DialModel, RoundsHalvesToEven)
{
    const struct
    {
        double v;
        int r;
    } cases[] = {
        {0.5, 0},   {1.5, 2}, {2.5, 2}, {-0.5, 0},  {-1.5, -2},  {14.5, 14},
        {15.5, 16}, {2.4, 2}, {2.6, 3}, {-2.6, -3}, {88.85, 89}, {0.0, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(roundHalfEven(c.v), c.r) << c.v;
}

TEST(DialModel, ReadingsAtTheNamedPositions)
{
    const struct
    {
        const char* where;
        QPoint p;
        int angle, minute;
        const char* sag12;
        int dayHour, nightHour;
    } cases[] = {
        {"straight above", {100, 52}, 89, 0, "00", 12, 0},
        {"3 o'clock", {150, 102}, 180, 15, "00", 15, 3},
        {"straight below", {100, 152}, 271, 30, "00", 6, 18},
        {"9 o'clock", {50, 102}, 0, 45, "00", 9, 21},
        {"07:24 / 19:24", pointAt((37 + 15) * 6 % 360, 80), (37 + 15) * 6 % 360, 37, "24", 7, 19},
        {"14:00 / 02:00", pointAt((10 + 15) * 6, 80), (10 + 15) * 6, 10, "00", 14, 2},
    };
    for (const auto& c : cases) {
        for (bool day : {true, false}) {
            const DialModel m = trackedAt(c.p, day);
            SCOPED_TRACE(std::string(c.where) + (day ? " day" : " night"));
            EXPECT_EQ(m.handAngle(), c.angle);
            EXPECT_EQ(m.minute(), QString::number(c.minute));
            EXPECT_EQ(m.sag12(), QString::fromLatin1(c.sag12));
            EXPECT_EQ(m.hourNev(), QString::number(day ? c.dayHour : c.nightHour));
        }
    }
}

TEST(DialModel, MinutePositionsRoundHalvesToEven)
{
    const struct
    {
        int angle, minute;
    } cases[] = {
        {357, 45}, {358, 45}, {359, 45}, {0, 45},   {1, 45},   {2, 45}, {3, 45},
        {93, 1},   {87, 59},  {90, 0},   {180, 15}, {270, 30}, {4, 46}, {356, 44},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DialModel::minuteOfAngle(c.angle), c.minute) << "angle " << c.angle;
}

// Around the whole dial: each of the 60 positions reads back its own minute,
// and the hour follows the halves: day right 12..17, left 6..11; night right
// 0..5, left 18..23.
TEST(DialModel, EveryPositionAroundTheDial)
{
    for (int m = 0; m < 60; ++m) {
        const QPoint p = pointAt((m + 15) * 6 % 360, 80);
        const int whole = m / 5;
        const int dayHour = m < 30 ? 12 + whole : whole;
        const int nightHour = m < 30 ? whole : 12 + whole;
        for (bool day : {true, false}) {
            const DialModel dm = trackedAt(p, day);
            EXPECT_EQ(dm.minute(), QString::number(m)) << "m=" << m;
            EXPECT_EQ(dm.hourNev(), QString::number(day ? dayHour : nightHour))
                << "m=" << m << (day ? " day" : " night");
            EXPECT_EQ(dm.sag12(), m % 5 ? QString::number(m % 5 * 12) : QStringLiteral("00"));
        }
    }
}

// The keyboard's steps reach every position in order, round the ring both
// ways, and read as the pointer there would.
TEST(DialModel, KeyStepsGoRoundTheRing)
{
    DialModel dm;
    dm.reset();
    for (int step = 1; step <= 60; ++step) {
        dm.stepHand(1);
        const int m = step % 60;
        ASSERT_EQ(dm.minute(), QString::number(m)) << "step " << step;
        EXPECT_EQ(dm.hourNev(), trackedAt(pointAt((m + 15) * 6 % 360, 80), true).hourNev());
    }
    dm.stepHand(-1);
    EXPECT_EQ(dm.minute(), "59");
    dm.stepHand(-5);
    EXPECT_EQ(dm.minute(), "54");
    dm.stepHand(65);
    EXPECT_EQ(dm.minute(), "59");
}

TEST(DialModel, LateNightPositionsReadTwentyThree)
{
    const struct
    {
        int m;
        const char* sag12;
    } cases[] = {{56, "12"}, {57, "24"}, {58, "36"}, {59, "48"}};
    for (const auto& c : cases) {
        const DialModel dm = trackedAt(pointAt((c.m + 15) * 6 % 360, 80), false);
        EXPECT_EQ(dm.hourNev(), QStringLiteral("23")) << c.m;
        EXPECT_EQ(dm.sag12(), QString::fromLatin1(c.sag12)) << c.m;
        EXPECT_EQ(dm.hourScratch(), QString::number(c.m / 5.0 + 12)) << c.m;
    }
}

TEST(DialModel, HalfSwitchesConvertTheHour)
{
    const struct
    {
        QPoint p;
        bool startDay;
        const char* before;
        const char* after;
    } cases[] = {
        {{100, 52}, true, "12", "0"},   // pointer at the top
        {{100, 152}, false, "18", "6"}, // pointer at the bottom
        {pointAt((35 + 15) * 6 % 360, 80), true, "7", "19"},
        {pointAt((15 + 15) * 6, 80), false, "3", "15"},
    };
    for (const auto& c : cases) {
        DialModel m = trackedAt(c.p, c.startDay);
        ASSERT_EQ(m.hourNev(), QString::fromLatin1(c.before));
        const QString sag = m.sag12(), minute = m.minute();
        if (c.startDay)
            m.switchToNight();
        else
            m.switchToDay();
        EXPECT_EQ(m.hourNev(), QString::fromLatin1(c.after)) << c.before;
        EXPECT_EQ(m.dayHalf(), !c.startDay);
        // Only the hour changes; the next movement recomputes the rest.
        EXPECT_EQ(m.sag12(), sag);
        EXPECT_EQ(m.minute(), minute);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(m.iconVisible(i), (i < 2) == m.dayHalf()) << i;
        // The button of the half already active changes nothing.
        const QString now = m.hourNev();
        if (c.startDay)
            m.switchToNight();
        else
            m.switchToDay();
        EXPECT_EQ(m.hourNev(), now);
    }
}

TEST(DialModel, ClicksAlternateFrozenAndTracking)
{
    DialModel m;
    m.reset();
    ASSERT_TRUE(m.frozen());
    m.moveOverRing(150, 102); // frozen: nothing moves
    m.moveOverHole(100, 140);
    EXPECT_EQ(m.hourNev(), QStringLiteral("12"));
    EXPECT_EQ(m.handAngle(), 90);

    m.pressPane(); // released, but nothing moves until the mouse does
    EXPECT_FALSE(m.frozen());
    EXPECT_EQ(m.hourNev(), QStringLiteral("12"));
    m.moveOverRing(150, 102);
    EXPECT_EQ(m.hourNev(), QStringLiteral("15"));

    m.pressPane();
    EXPECT_TRUE(m.frozen());
    m.moveOverHole(100, 140);
    EXPECT_EQ(m.hourNev(), QStringLiteral("15")); // the last reading is kept
}

TEST(DialModel, MovingOverTheRingShowsHandAndPointerEvenWhenFrozen)
{
    DialModel m;
    m.reset();
    m.enterMinuteStage();
    ASSERT_FALSE(m.handAreaVisible());
    m.pressPane(); // frozen
    m.moveOverHole(100, 120);
    EXPECT_FALSE(m.handAreaVisible());
    m.moveOverRing(180, 102);
    EXPECT_TRUE(m.handAreaVisible());
    EXPECT_TRUE(m.pointerVisible());
    EXPECT_EQ(m.minute(), QStringLiteral("00")); // still frozen
}

TEST(DialModel, ResetStartsAtTwelveFrozenWithTheFirstLook)
{
    for (bool day : {true, false}) {
        DialModel m;
        if (!day)
            m.switchToNight();
        m.trackPointer(30, 140, DialModel::Pane::Ring);
        m.enterMinuteStage();
        m.reset();
        SCOPED_TRACE(day ? "day" : "night");
        EXPECT_TRUE(m.frozen());
        EXPECT_EQ(m.stage(), DialModel::Stage::Hour);
        EXPECT_EQ(m.hourNev(), day ? QStringLiteral("12") : QStringLiteral("0"));
        EXPECT_EQ(m.sag12(), QStringLiteral("00"));
        EXPECT_DOUBLE_EQ(m.handRadians(), DialModel::kTwelveOClock);
        EXPECT_EQ(m.pointerStart(), QPointF(100, 102));
        EXPECT_EQ(m.pointerEnd(), QPointF(100, 10));
        EXPECT_TRUE(m.handAreaVisible());
        EXPECT_TRUE(m.pointerVisible());
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(m.iconVisible(i), (i < 2) == day) << i;
            EXPECT_EQ(m.iconPosition(i), QPoint(80, 150)) << i;
        }
    }
    // A switch right after a night reset gives the top of the day dial, not 24.
    DialModel m;
    m.switchToNight();
    m.reset();
    m.switchToDay();
    EXPECT_EQ(m.hourNev(), QStringLiteral("12"));
}

TEST(DialModel, HandTurnsAroundItsPivotOnTheCentre)
{
    // No turn: the points of the described construction.
    const auto flat = DialModel::handPointsFor(0.0);
    EXPECT_EQ(flat[0], QPoint(38, 91));
    EXPECT_EQ(flat[1], QPoint(120, 87));
    EXPECT_EQ(flat[2], QPoint(38, 121));

    // At every tracked angle the tip (middle of the picture's left edge)
    // lies in the pointer's direction, about 62 pixels out.
    for (int angle = 0; angle < 360; angle += 15) {
        DialModel m;
        const QPoint p = pointAt(angle, 80);
        m.trackPointer(p.x(), p.y(), DialModel::Pane::Ring);
        ASSERT_NEAR(m.handAngle(), angle, 1); // straight up or down is off by one
        const auto& pts = m.handPoints();
        const QPointF tip = (QPointF(pts[0]) + QPointF(pts[2])) / 2.0;
        const QPointF want = QPointF(pointAt(m.handAngle(), 62));
        EXPECT_NEAR(tip.x(), want.x(), 4.0) << angle;
        EXPECT_NEAR(tip.y(), want.y(), 4.0) << angle;
    }
    DialModel m;
    m.reset();
    const auto& pts = m.handPoints();
    EXPECT_NEAR((pts[0].x() + pts[2].x()) / 2.0, 100, 4);
    EXPECT_LT((pts[0].y() + pts[2].y()) / 2.0, 50);
}

TEST(DialModel, PointerLineFollowsTheHand)
{
    // The exact points of the three rules.
    DialModel m;
    m.trackPointer(50, 52, DialModel::Pane::Hole); // 45 degrees, upper left
    ASSERT_EQ(m.handAngle(), 45);
    EXPECT_NEAR(m.pointerEnd().x(), 10, 1e-9);
    EXPECT_NEAR(m.pointerEnd().y(), 100 - 88 + 3, 1e-6);
    m.trackPointer(50, 52, DialModel::Pane::Ring);
    EXPECT_NEAR(m.pointerEnd().x(), 12, 1e-9);
    m.trackPointer(150, 102, DialModel::Pane::Ring); // 180
    EXPECT_NEAR(m.pointerEnd().x(), 188, 1e-9);
    EXPECT_NEAR(m.pointerEnd().y(), 100, 1e-6);

    // 0 (and 90, 270): the pointer stays where it was.
    const QPointF before = m.pointerEnd();
    m.trackPointer(50, 102, DialModel::Pane::Ring);
    ASSERT_EQ(m.handAngle(), 0);
    EXPECT_EQ(m.pointerEnd(), before);
    EXPECT_EQ(m.hourNev(), QStringLiteral("9")); // the reading still moves

    // Everywhere else the ray from the centre points where the hand does.
    for (int angle = 5; angle < 360; angle += 10) {
        if (angle == 85 || angle == 95 || angle == 265 || angle == 275)
            continue; // the near-vertical rays pass far outside the pane
        const QPoint p = pointAt(angle, 80);
        DialModel d;
        d.trackPointer(p.x(), p.y(), DialModel::Pane::Ring);
        ASSERT_EQ(d.handAngle(), angle);
        const QPointF ray = d.pointerEnd() - d.pointerStart();
        const double rayAngle = std::atan2(-ray.y(), -ray.x()) * 180 / M_PI;
        const double diff = std::remainder(rayAngle - angle, 360.0);
        EXPECT_LT(std::abs(diff), 4.0) << "angle " << angle;
    }
}

TEST(DialModel, IconsFollowTheHourStageOnly)
{
    const struct
    {
        int m;
        QPoint pos;
    } cases[] = {
        {37, {22, 182}}, // 230 - 48.1 = 181.9; 92.5 - 70 = 22.5 -> 22
        {10, {105, 163}}, {0, {80, 150}}, {59, {78, 153}}, // 77.5 -> 78
        {45, {42, 172}},                                   // 42.5 -> 42, 171.5 -> 172
    };
    for (const auto& c : cases) {
        const DialModel dm = trackedAt(pointAt((c.m + 15) * 6 % 360, 80), true);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(dm.iconPosition(i), c.pos) << "m=" << c.m << " icon " << i;
    }
    // m = 30 leaves them where they were (the design places at first).
    const DialModel below = trackedAt({100, 152}, true);
    EXPECT_EQ(below.iconPosition(0), QPoint(4, 192));
    EXPECT_EQ(below.iconPosition(3), QPoint(158, 166));

    // Minute stage: icons hidden and left alone.
    DialModel m = trackedAt(pointAt((37 + 15) * 6 % 360, 80), true);
    m.enterMinuteStage();
    m.trackPointer(150, 102, DialModel::Pane::Ring);
    for (int i = 0; i < 4; ++i) {
        EXPECT_FALSE(m.iconVisible(i));
        EXPECT_EQ(m.iconPosition(i), QPoint(22, 182));
    }
}

TEST(DialModel, StagesCarryTwoDigitTexts)
{
    const struct
    {
        QPoint p;
        bool day;
        const char* shas;
        const char* minute;
    } cases[] = {
        {{100, 52}, false, "00", "00"}, // hour 0
        {{50, 102}, true, "09", "00"},  // hour 9
        {pointAt((37 + 15) * 6 % 360, 80), true, "07", "24"},
        {pointAt((57 + 15) * 6 % 360, 80), false, "23", "24"},
    };
    for (const auto& c : cases) {
        DialModel m = trackedAt(c.p, c.day);
        m.enterMinuteStage();
        EXPECT_EQ(m.shas(), QString::fromLatin1(c.shas));
        EXPECT_EQ(m.minute(), QString::fromLatin1(c.minute));
        EXPECT_FALSE(m.frozen());
        EXPECT_EQ(m.stage(), DialModel::Stage::Minute);
        // Confirmed without moving: "00" must not grow a third digit.
        m.confirmMinute();
        EXPECT_EQ(m.minute(), QString::fromLatin1(c.minute));
    }
    DialModel m;
    m.reset();
    m.enterMinuteStage();
    m.trackPointer(pointAt((5 + 15) * 6, 80).x(), pointAt((5 + 15) * 6, 80).y(),
                   DialModel::Pane::Ring);
    EXPECT_EQ(m.minute(), QStringLiteral("5"));
    m.confirmMinute();
    EXPECT_EQ(m.minute(), QStringLiteral("05"));
}
