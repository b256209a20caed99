#include "backgroundrules.h"

#include <gtest/gtest.h>

#include <QSet>

namespace {

struct StepCase
{
    int row;
    int count;
    int previousRow;
    bool previousBeep;
    int nextRow;
    bool nextBeep;
};

TEST(BackgroundRules, StepsThroughTheSavedPictures)
{
    const StepCase cases[] = {
        // row, count, previous (row, beep), next (row, beep)
        {0, 3, 0, true, 1, false},     // first: up beeps and stays
        {1, 3, 0, false, 2, false},    // middle
        {2, 3, 1, false, 2, true},     // last: down beeps and stays
        {0, 1, 0, true, 0, true},      // a single picture beeps both ways
        {-1, 3, 0, false, 0, false},   // nothing selected yet: the first
        {-1, 0, -1, false, -1, false}, // empty folder: nothing to do
        {5, 3, 2, false, 2, false},    // a stale row lands on the last
    };
    for (const StepCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << c.row << " of " << c.count);
        const BackgroundRules::Step up = BackgroundRules::previous(c.row, c.count);
        EXPECT_EQ(up.row, c.previousRow);
        EXPECT_EQ(up.beep, c.previousBeep);
        const BackgroundRules::Step down = BackgroundRules::next(c.row, c.count);
        EXPECT_EQ(down.row, c.nextRow);
        EXPECT_EQ(down.beep, c.nextBeep);
    }
}

TEST(BackgroundRules, OnlyLowerCaseBmpIsShown)
{
    const std::pair<const char*, bool> cases[] = {
        {"42.bmp", true},     {"42.BMP", false}, {"42.Bmp", false}, {"sunset.bmp", true},
        {"photo.jpg", false}, {"bmp", true},     {"notabmp", true}, {"", false},
    };
    for (const auto& [name, shown] : cases)
        EXPECT_EQ(BackgroundRules::showable(QString::fromUtf8(name)), shown) << name;
}

TEST(BackgroundRules, FitsTheBoxWidth)
{
    const std::pair<QSize, QSize> cases[] = {
        {{300, 400}, {200, 267}}, // four thirds of the width, rounded
        {{100, 150}, {200, 300}}, // exactly the box
        {{200, 600}, {200, 600}}, // taller than the box: cut later
        {{1000, 1001}, {200, 200}}, {{3, 5}, {200, 333}}, {{0, 5}, {}},
    };
    for (const auto& [picture, fitted] : cases)
        EXPECT_EQ(BackgroundRules::fittedSize(picture, 200), fitted)
            << picture.width() << "x" << picture.height();
    // Filling the whole box: down its height where across is too short.
    const std::pair<QSize, QSize> covering[] = {
        {{300, 400}, {225, 300}},
        {{100, 150}, {200, 300}},
        {{200, 600}, {200, 600}},
        {{1000, 1001}, {300, 300}},
        {{0, 5}, {}},
    };
    for (const auto& [picture, fitted] : covering)
        EXPECT_EQ(BackgroundRules::coveringSize(picture, {200, 300}), fitted)
            << picture.width() << "x" << picture.height();
}

TEST(BackgroundRules, CaptionNamesExtensionAndTwips)
{
    EXPECT_EQ(BackgroundRules::dropCaption("holiday.jpg", QSize(300, 400)),
              "JPG   a.Width = 4500   a.Height = 6000");
    EXPECT_EQ(BackgroundRules::dropCaption("a.b.Png", QSize(1, 2)),
              "PNG   a.Width = 15   a.Height = 30");
    EXPECT_EQ(BackgroundRules::extension("noextension"), "NOEXTENSION");
    EXPECT_EQ(BackgroundRules::extension("trailing."), "");
}

TEST(BackgroundRules, KeptPicturesNeverReplaceEarlierOnes)
{
    struct Case
    {
        int seconds;
        QSet<QString> taken;
        std::optional<QString> name;
    };
    QSet<QString> all;
    for (int i = 0; i < 100; ++i)
        all.insert(QStringLiteral("%1.bmp").arg(i, 2, 10, QLatin1Char('0')));
    QSet<QString> allBut17 = all;
    allBut17.remove("17.bmp");
    const Case cases[] = {
        {42, {}, QString("42.bmp")},
        {7, {"42.bmp"}, QString("07.bmp")},
        {42, {"42.bmp"}, QString("43.bmp")},
        {42, {"42.bmp", "43.bmp", "44.bmp"}, QString("45.bmp")},
        {59, {"59.bmp"}, QString("60.bmp")}, // names go past the seconds' range
        {99, {"99.bmp"}, QString("00.bmp")}, // and wrap at a hundred
        {0, allBut17, QString("17.bmp")},
        {30, all, std::nullopt},
    };
    for (const Case& c : cases) {
        const auto name = BackgroundRules::freePictureName(
            c.seconds, [&](const QString& n) { return c.taken.contains(n); });
        EXPECT_EQ(name, c.name) << "seconds " << c.seconds;
        if (name) {
            EXPECT_EQ(name->size(), 6);
        }
    }
}

} // namespace
