#include "volumeslider.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace {

struct Rig
{
    QStringList calls;
    VolumeSlider slider{MixerFunctions{[this](int d) {
                                           calls << QString("open %1").arg(d);
                                           return true;
                                       },
                                       [this](int i, int p) {
                                           calls << QString("volume %1 %2").arg(i).arg(p);
                                           return true;
                                       },
                                       [this](int i, int v) {
                                           calls << QString("mute %1 %2").arg(i).arg(v);
                                           return true;
                                       }}};
    QStringList take()
    {
        QStringList c = calls;
        calls.clear();
        return c;
    }
};

constexpr int kGrab = 90; // pressed in the middle of the knob
constexpr int kInside = 100;

} // namespace

TEST(VolumeSlider, PercentOfKnobTop)
{
    const std::pair<int, int> cases[] = {{60, 100}, {385, 50}, {450, 40}, {710, 0},  {66, 100},
                                         {67, 99},  {703, 2},  {704, 1},  {55, 100}, {720, 0}};
    for (const auto& [top, percent] : cases)
        EXPECT_EQ(VolumeSlider::percentAt(top), percent) << top;
}

TEST(VolumeSlider, DragWritesTheSpeakerVolume)
{
    Rig r;
    r.slider.press(kGrab);
    EXPECT_EQ(r.take(), (QStringList{"open 0", "mute 8 0"}));
    EXPECT_TRUE(r.slider.isDragging());

    r.slider.move(kInside, 385 + kGrab);
    EXPECT_EQ(r.slider.knobTop(), 385);
    EXPECT_EQ(r.slider.percentText(), "50");
    EXPECT_TRUE(r.slider.indicatorVisible());
    EXPECT_EQ(r.take(), QStringList{"volume 0 50"});

    r.slider.release();
    EXPECT_FALSE(r.slider.indicatorVisible());
    // Hovering without a button re-applies the shown percentage, knob still.
    r.slider.move(kInside, 100 + kGrab);
    EXPECT_EQ(r.slider.knobTop(), 385);
    EXPECT_EQ(r.take(), QStringList{"volume 0 50"});
}

TEST(VolumeSlider, SnapsAtBothEnds)
{
    Rig r;
    r.slider.press(kGrab);
    r.take();
    // Within 10 twips above the track the knob follows.
    r.slider.move(kInside, 52 + kGrab);
    EXPECT_EQ(r.slider.knobTop(), 52);
    EXPECT_EQ(r.slider.percentText(), "100");
    // More than 10 above: snapped to the top, drag over.
    r.slider.move(kInside, 40 + kGrab);
    EXPECT_EQ(r.slider.knobTop(), 60);
    EXPECT_EQ(r.slider.percentText(), "100");
    EXPECT_FALSE(r.slider.isDragging());
    EXPECT_FALSE(r.slider.indicatorVisible());
    EXPECT_EQ(r.take(), (QStringList{"volume 0 100", "volume 0 100"}));

    // Past the bottom: the move that finds the knob beyond the end snaps it
    // back to 700, shows 0 and silences the speakers too.
    r.slider.press(kGrab);
    r.slider.move(kInside, 730 + kGrab);
    EXPECT_EQ(r.slider.knobTop(), 730);
    EXPECT_EQ(r.slider.percentText(), "0");
    r.slider.move(kInside, 760 + kGrab);
    EXPECT_EQ(r.slider.knobTop(), 700);
    EXPECT_EQ(r.slider.percentText(), "0");
    EXPECT_FALSE(r.slider.isDragging());
    EXPECT_EQ(r.take(), (QStringList{"open 0", "mute 8 0", "volume 0 0", "volume 0 0"}));
}

TEST(VolumeSlider, LeavingSidewaysEndsTheDrag)
{
    for (int x : {-1, VolumeSlider::kKnobWidth + 1}) {
        Rig r;
        r.slider.press(kGrab);
        r.slider.move(kInside, 385 + kGrab);
        r.take();
        r.slider.move(x, 500 + kGrab);
        EXPECT_FALSE(r.slider.isDragging()) << x;
        EXPECT_EQ(r.slider.knobTop(), 385) << x;
        EXPECT_EQ(r.take(), QStringList{"volume 0 50"}) << x;
    }
}

TEST(VolumeSlider, StartUpLevels)
{
    const struct
    {
        int found;
        int top;
        const char* shown;
    } cases[] = {{50, 60, "100"}, {100, 60, "100"}, {49, 300, "50"}, {0, 300, "50"}};
    for (const auto& c : cases) {
        Rig r;
        r.slider.initialise(c.found);
        EXPECT_EQ(r.slider.knobTop(), c.top) << c.found;
        EXPECT_EQ(r.slider.percentText(), c.shown) << c.found;
        EXPECT_EQ(r.take(), QStringList{QString("volume 0 ") + c.shown}) << c.found;
    }
    // Without a mixer the slider still moves and shows percentages.
    VolumeSlider bare{MixerFunctions{}};
    bare.press(kGrab);
    bare.move(kInside, 450 + kGrab);
    EXPECT_EQ(bare.percentText(), "40");
}
