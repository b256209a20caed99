#include "dialmodel.h"

#include "roundhalfeven.h"

#include <cmath>

DialModel::DialModel()
{
    drawHand(m_handRadians);
}

int DialModel::angleAt(int x, int y)
{
    const int dy = kCy - y;
    int dx = x - kCx;
    if (dx == 0)
        dx = -1; // straight above or below counts as the left side
    const double degrees = std::atan(double(dy) / double(dx)) * 180.0 / kPi;
    int angle = x > kCx ? roundHalfEven(180.0 - degrees) : roundHalfEven(-degrees);
    if (angle < 0)
        angle += 360;
    return angle;
}

int DialModel::minuteOfAngle(int angle)
{
    int m = roundHalfEven(angle / 6.0) - 15;
    if (m < 0)
        m += 60;
    return m;
}

double DialModel::fractionalHour(int m, bool dayHalf)
{
    double hour = m / 5.0; // 37 gives 7.4
    if (m < 1)
        hour = 0.0;
    else if (!dayHalf)
        hour += 12.0;
    if (!dayHalf && m > 0 && m < 30)
        hour -= 12.0; // the right half of the night dial reads 0..5
    if (dayHalf && m >= 0 && m < 30)
        hour += 12.0; // the right half of the day dial reads 12..17
    return hour;
}

int DialModel::hourOf(int m, bool dayHalf)
{
    return int(std::floor(fractionalHour(m, dayHalf))); // only the whole digits are read
}

QString DialModel::sag12Of(int m)
{
    // The tenths of m / 5 times 6: .2 .4 .6 .8 become 12 24 36 48 minutes.
    const int tenths = (m % 5) * 2;
    return tenths == 0 ? QStringLiteral("00") : QString::number(tenths * 6);
}

QPoint DialModel::iconPositionFor(int m, QPoint current)
{
    if (m > 30)
        return QPoint(roundHalfEven(2.5 * m - 70), roundHalfEven(230 - 1.3 * m));
    if (m < 30) {
        const int centred = kPaneWidth / 2 - 40 / 2; // pane middle minus half an icon
        return QPoint(roundHalfEven(2.5 * m + centred), roundHalfEven(1.3 * m + 150));
    }
    return current;
}

std::array<QPoint, 3> DialModel::handPointsFor(double radians)
{
    const double w = kHandWidth, h = kHandHeight;
    // Destinations of the upper-left, upper-right and lower-left corners
    // before the turn; the slight spread gives the hand its taper.
    std::array<QPoint, 3> pts{QPoint(0, roundHalfEven(-0.5 * h + 8)), QPoint(int(w), -10),
                              QPoint(0, 24)};
    const int centreX = kPaneWidth / 2;
    const double c = std::cos(radians), s = std::sin(radians);
    for (QPoint& p : pts) {
        // Turn around the pivot (w - 20, 5) and put the pivot on the centre.
        const double u = p.x() - w + 20, v = p.y() - 5;
        p = QPoint(roundHalfEven(c * u - s * v) + centreX,
                   roundHalfEven(s * u + c * v + kPaneHeight / 2.0));
    }
    return pts;
}

QString DialModel::twoDigits(const QString& number)
{
    // Normalise rather than prepend blindly: "00" stays "00", "7" becomes "07".
    const int v = number.toInt();
    return v < 10 ? QStringLiteral("0") + QString::number(v) : QString::number(v);
}

void DialModel::pressPane()
{
    m_frozen = !m_frozen;
}

void DialModel::moveOverHole(int x, int y)
{
    if (!m_frozen)
        trackPointer(x, y, Pane::Hole);
}

void DialModel::moveOverRing(int x, int y)
{
    m_handAreaVisible = true;
    m_pointerVisible = true;
    if (!m_frozen)
        trackPointer(x, y, Pane::Ring);
}

void DialModel::trackPointer(int x, int y, Pane pane)
{
    m_handAngle = angleAt(x, y);

    const int m = minuteOfAngle(m_handAngle);
    m_minute = QString::number(m);
    m_sag12 = sag12Of(m);
    if (m_stage != Stage::Minute) {
        applyIconVisibility();
        for (QPoint& p : m_iconPos)
            p = iconPositionFor(m, p);
    }
    const double hour = fractionalHour(m, m_dayHalf);
    m_hourScratch = QString::number(hour);
    m_hourNev = QString::number(hourOf(m, m_dayHalf));

    m_handRadians = (m_handAngle + 3) * 1.744444 / 100.0;
    drawHand(m_handRadians);

    // The pointer: a ray from the centre through a point on the reference
    // line (right half) or on a vertical line near the left edge.
    const double rx = kReferenceEnd.x(), ry = kReferenceEnd.y();
    const double d = rx - m_referenceStart.x();
    const double xLeft = pane == Pane::Hole ? 10 : 12;
    const int a = m_handAngle;
    if (a > 90 && a < 270)
        m_pointerEnd = QPointF(rx, ry - d * std::tan(-a * kPi / 180.0));
    else if ((a > 0 && a < 90) || (a > 270 && a < 360))
        m_pointerEnd = QPointF(xLeft, ry - d * std::tan(a * kPi / 180.0) + 3);
    // 0, 90 and 270: the tangent is not taken there and the pointer stays.
}

void DialModel::stepHand(int positions)
{
    const int m = ((minuteOfAngle(m_handAngle) + positions) % 60 + 60) % 60;
    // Angles run clockwise from 9 o'clock; 12 o'clock is 90 and position 0.
    const double radians = ((90 + m * 6) % 360) * kPi / 180.0;
    constexpr double kRadius = 80.0;
    trackPointer(kCx + int(std::lround(-kRadius * std::cos(radians))),
                 kCy + int(std::lround(-kRadius * std::sin(radians))), Pane::Ring);
}

void DialModel::drawHand(double radians)
{
    m_handPoints = handPointsFor(radians);
}

void DialModel::applyIconVisibility()
{
    m_iconVisible = {m_dayHalf, m_dayHalf, !m_dayHalf, !m_dayHalf};
}

void DialModel::switchToDay()
{
    if (!m_dayHalf) {
        const int v = m_hourNev.toInt();
        m_hourNev = QString::number(v >= 18 && v < 24 ? v - 12 : v + 12);
    }
    m_dayHalf = true;
    applyIconVisibility();
}

void DialModel::switchToNight()
{
    if (m_dayHalf) {
        const int v = m_hourNev.toInt();
        m_hourNev = QString::number(v >= 12 && v < 18 ? v - 12 : v + 12);
    }
    m_dayHalf = false;
    applyIconVisibility();
}

void DialModel::reset()
{
    m_handAngle = 90;
    m_handRadians = kTwelveOClock;
    drawHand(m_handRadians);
    m_referenceStart = QPointF(kCx, kCy);
    m_pointerStart = QPointF(kCx, kCy);
    m_pointerEnd = QPointF(kCx, 10);
    m_frozen = true;
    // The top of the night dial reads 0; writing 12 there would turn into 24
    // on a switch to the day half.
    m_hourNev = m_dayHalf ? QStringLiteral("12") : QStringLiteral("0");
    m_sag12 = QStringLiteral("00");
    m_stage = Stage::Hour;
    m_handAreaVisible = true;
    m_pointerVisible = true;
    applyIconVisibility();
    for (QPoint& p : m_iconPos)
        p = iconPositionFor(0, p);
}

void DialModel::enterMinuteStage()
{
    m_shas = twoDigits(m_hourNev);
    m_minute = m_sag12;
    m_iconVisible = {false, false, false, false};
    m_handAreaVisible = false;
    m_pointerVisible = false;
    m_frozen = false;
    m_stage = Stage::Minute;
}

void DialModel::confirmMinute()
{
    m_minute = twoDigits(m_minute);
}
