#pragma once

#include <QPoint>
#include <QPointF>
#include <QString>

#include <array>

// The arithmetic of the clock dial, without any widget: where the pointer is
// relative to the dial centre becomes an angle, a minute position, an hour
// reading of the active half of the day, the place of the day/night icons,
// the three corners of the rotated hand and the end of the pointer line.
// The panel passes mouse events in and shows what this class computes.
class DialModel
{
public:
    static constexpr double kPi = 3.14159265358979;
    // Radians that point the hand at 12 o'clock (angle 90, plus the 3-degree
    // offset the hand picture needs).
    static constexpr double kTwelveOClock = 1.62233292;
    // All three panes are 200 x 204, so the centre is (100, 102).
    static constexpr int kPaneWidth = 200;
    static constexpr int kPaneHeight = 204;
    static constexpr int kCx = kPaneWidth / 2;
    static constexpr int kCy = kPaneHeight / 2;
    // The hand picture, whose pivot is (w - 20, 5).
    static constexpr int kHandWidth = 82;
    static constexpr int kHandHeight = 28;
    // Fixed end of the reference line the pointer geometry is measured from.
    static constexpr QPoint kReferenceEnd{188, 100};

    enum class Pane { Hole, Ring };
    enum class Stage { Hour = 1, Minute = 2 };

    DialModel();

    // Pointer angle in degrees clockwise from 9 o'clock, 0..359.
    static int angleAt(int x, int y);
    // Minute position 0..59 of an angle (12 o'clock is 0).
    static int minuteOfAngle(int angle);
    // The fractional hour of minute position m in the given half (m / 5,
    // moved by 12 where the half needs it), and its whole hour 0..23.
    static double fractionalHour(int m, bool dayHalf);
    static int hourOf(int m, bool dayHalf);
    // "00", "12", "24", "36" or "48": the minutes of the hour stage.
    static QString sag12Of(int m);
    // Where the four day/night icons go for minute position m; m = 30 leaves
    // them at `current`.
    static QPoint iconPositionFor(int m, QPoint current);
    // The destinations of the hand picture's upper-left, upper-right and
    // lower-left corners for a rotation of `radians`.
    static std::array<QPoint, 3> handPointsFor(double radians);
    static QString twoDigits(const QString& number);

    // Program start: the day half is on.
    void startUp() { m_dayHalf = true; }

    // Mouse events of the two panes that take them. Each click toggles
    // between tracking and frozen.
    void pressPane();
    void moveOverHole(int x, int y);
    void moveOverRing(int x, int y);
    // The computation of one tracked pointer position.
    void trackPointer(int x, int y, Pane pane);
    // The keyboard's way to point: the hand moves `positions` minute
    // positions round the ring (negative: back), as if the pointer were
    // there.
    void stepHand(int positions);

    // The day and night buttons.
    void switchToDay();
    void switchToNight();

    // Back to 12:00 (0:00 in the night half), frozen, hour stage, with the
    // labels, icons, hand and pointer as they are at start-up.
    void reset();
    // Hour stage to minute stage: the hour reading moves to the hour label
    // (two digits), the 12-minute steps to the minute label, the dial follows
    // the mouse at once.
    void enterMinuteStage();
    // The minute stage is confirmed: the minute gets two digits.
    void confirmMinute();

    int handAngle() const { return m_handAngle; }
    double handRadians() const { return m_handRadians; }
    const std::array<QPoint, 3>& handPoints() const { return m_handPoints; }
    bool dayHalf() const { return m_dayHalf; }
    bool frozen() const { return m_frozen; }
    Stage stage() const { return m_stage; }

    QString hourNev() const { return m_hourNev; }
    QString sag12() const { return m_sag12; }
    QString minute() const { return m_minute; }
    QString shas() const { return m_shas; }
    QString hourScratch() const { return m_hourScratch; }

    // Icons 0, 1 are the day icons, 2, 3 the night icons (0 and 2 in the
    // corner pane, 1 and 3 in the ring pane). Once moved, all four share one
    // position, so the parts seen through the two panes join up.
    bool iconVisible(int i) const { return m_iconVisible[size_t(i)]; }
    QPoint iconPosition(int i) const { return m_iconPos[size_t(i)]; }

    bool handAreaVisible() const { return m_handAreaVisible; }
    bool pointerVisible() const { return m_pointerVisible; }
    QPointF pointerStart() const { return m_pointerStart; }
    QPointF pointerEnd() const { return m_pointerEnd; }

private:
    void drawHand(double radians);
    void applyIconVisibility();

    int m_handAngle = 90;
    double m_handRadians = kTwelveOClock;
    std::array<QPoint, 3> m_handPoints{};
    bool m_dayHalf = true;
    bool m_frozen = false;
    Stage m_stage = Stage::Hour;

    QString m_hourNev = QStringLiteral("12");
    QString m_sag12 = QStringLiteral("00");
    QString m_minute = QStringLiteral("00");
    QString m_shas = QStringLiteral("00");
    QString m_hourScratch;

    std::array<bool, 4> m_iconVisible{true, true, false, false};
    std::array<QPoint, 4> m_iconPos{QPoint(4, 192), QPoint(8, 184), QPoint(160, 180),
                                    QPoint(158, 166)};

    bool m_handAreaVisible = true;
    bool m_pointerVisible = true;
    QPointF m_pointerStart{kCx, kCy};
    QPointF m_pointerEnd{kCx, 10};
    QPointF m_referenceStart{kCx, kCy};
};
