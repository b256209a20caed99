#include "artwork.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>

namespace {

const QColor kBrown(92, 62, 51); // the dial panel's own colour

// The clock face: brown corners, a cream ring with minute ticks and the
// twelve numerals, the inner hole brown (the hand is drawn there live).
QImage drawDial()
{
    QImage img(200, 204, QImage::Format_ARGB32_Premultiplied);
    img.fill(kBrown);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);

    const QRectF outer(1, 1, 198, 197);
    QRadialGradient bezel(outer.center(), 99);
    bezel.setColorAt(0.86, QColor(150, 110, 60));
    bezel.setColorAt(0.93, QColor(235, 200, 120));
    bezel.setColorAt(1.0, QColor(110, 75, 35));
    p.setPen(Qt::NoPen);
    p.setBrush(bezel);
    p.drawEllipse(outer);

    const QRectF face(9, 9, 182, 181);
    QRadialGradient cream(face.center() - QPointF(20, 25), 110);
    cream.setColorAt(0, QColor(255, 250, 232));
    cream.setColorAt(1, QColor(225, 210, 175));
    p.setBrush(cream);
    p.setPen(QPen(QColor(120, 85, 45), 1.5));
    p.drawEllipse(face);

    const QPointF c(100, 101);
    for (int i = 0; i < 60; ++i) {
        const double a = i * 6.0 * M_PI / 180.0;
        const QPointF dir(std::sin(a), -std::cos(a));
        const bool hour = i % 5 == 0;
        p.setPen(QPen(QColor(70, 45, 25), hour ? 2.5 : 1.0));
        p.drawLine(c + dir * (hour ? 80.0 : 84.0), c + dir * 89.0);
    }

    QFont f(QStringLiteral("DejaVu Sans"), 11, QFont::Bold);
    f.setPixelSize(15);
    p.setFont(f);
    p.setPen(QColor(60, 35, 20));
    for (int h = 1; h <= 12; ++h) {
        const double a = h * 30.0 * M_PI / 180.0;
        const QPointF at = c + QPointF(std::sin(a), -std::cos(a)) * 68.0;
        p.drawText(QRectF(at.x() - 14, at.y() - 10, 28, 20), Qt::AlignCenter, QString::number(h));
    }

    p.setPen(QPen(QColor(120, 85, 45), 2));
    p.setBrush(kBrown);
    p.drawEllipse(QRectF(44, 42, 115, 115));
    p.end();
    return img;
}

// The hand: tip at the left edge, hub 20 pixels from the right edge, a short
// tail behind it; the axis runs along the middle of the picture.
QImage drawHand()
{
    QImage img(82, 28, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const double axis = 13.5;
    QPainterPath hand;
    hand.moveTo(1, axis);
    hand.lineTo(50, axis - 4);
    hand.lineTo(80, axis - 2.5);
    hand.lineTo(80, axis + 2.5);
    hand.lineTo(50, axis + 4);
    hand.closeSubpath();
    QLinearGradient g(0, axis - 4, 0, axis + 4);
    g.setColorAt(0, QColor(255, 230, 150));
    g.setColorAt(1, QColor(190, 140, 40));
    p.setPen(QPen(QColor(60, 35, 10), 1));
    p.setBrush(g);
    p.drawPath(hand);
    p.setBrush(QColor(200, 40, 30));
    p.drawEllipse(QPointF(62, axis), 5, 5);
    p.end();
    return img;
}

void drawSun(QPainter& p, QPointF c, double r)
{
    p.setPen(QPen(QColor(240, 150, 20), r / 5.0, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 8; ++i) {
        const double a = i * M_PI / 4;
        const QPointF d(std::cos(a), std::sin(a));
        p.drawLine(c + d * r * 1.3, c + d * r * 1.8);
    }
    QRadialGradient g(c - QPointF(r / 3, r / 3), r * 1.2);
    g.setColorAt(0, QColor(255, 250, 170));
    g.setColorAt(1, QColor(250, 180, 20));
    p.setPen(QPen(QColor(200, 120, 10), 1));
    p.setBrush(g);
    p.drawEllipse(c, r, r);
}

void drawMoon(QPainter& p, QPointF c, double r)
{
    QPainterPath disc;
    disc.addEllipse(c, r, r);
    QPainterPath bite;
    bite.addEllipse(c + QPointF(r * 0.55, -r * 0.3), r * 0.9, r * 0.9);
    p.setPen(QPen(QColor(150, 150, 90), 1));
    p.setBrush(QColor(245, 240, 190));
    p.drawPath(disc - bite);
}

QImage drawIcon(bool day)
{
    QImage img(40, 40, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    if (day) {
        drawSun(p, QPointF(20, 20), 10);
    } else {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(30, 40, 90, 200));
        p.drawEllipse(QRectF(2, 2, 36, 36));
        drawMoon(p, QPointF(18, 21), 12);
        p.setPen(QPen(QColor(255, 255, 220), 1.5));
        p.drawPoint(QPointF(30, 11));
        p.drawPoint(QPointF(27, 30));
    }
    p.end();
    return img;
}

QImage drawHalfButton(bool day)
{
    QImage img(90, 25, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, 25);
    g.setColorAt(0, day ? QColor(255, 235, 160) : QColor(70, 80, 150));
    g.setColorAt(1, day ? QColor(230, 170, 60) : QColor(20, 25, 70));
    p.setPen(QPen(QColor(40, 25, 15), 1));
    p.setBrush(g);
    p.drawRoundedRect(QRectF(0.5, 0.5, 89, 24), 7, 7);
    if (day)
        drawSun(p, QPointF(14, 12.5), 4.5);
    else
        drawMoon(p, QPointF(14, 12.5), 7);
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(11);
    f.setBold(true);
    p.setFont(f);
    p.setPen(day ? QColor(80, 40, 10) : QColor(235, 235, 255));
    p.drawText(QRectF(26, 0, 62, 25), Qt::AlignCenter,
               day ? QStringLiteral("6 – 18") : QStringLiteral("18 – 6"));
    p.end();
    return img;
}

} // namespace

bool Artwork::writeDial(const QString& dir)
{
    bool ok = save(drawDial(), dir + "/dial.png") && save(drawHand(), dir + "/strelka.png");
    for (int i = 0; i < 4; ++i)
        ok = ok && save(drawIcon(i < 2), dir + QStringLiteral("/imsolnse%1.png").arg(i));
    return ok && save(drawHalfButton(true), dir + "/dopoludny.png") &&
           save(drawHalfButton(false), dir + "/poslepoledny.png");
}
