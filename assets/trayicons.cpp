#include "artwork.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>

namespace {

// A round alarm clock with two bells, turned by `degrees` about its centre.
// Drawn large and scaled down, so the small icon stays smooth.
QImage drawAlarmClock(double degrees)
{
    const int big = 96;
    QImage img(big, big, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(big / 2.0, big / 2.0);
    p.rotate(degrees);
    // The bells reach out beyond the face: keep the whole clock inside the
    // square at every angle.
    p.scale(0.8, 0.8);

    const QColor rim(150, 20, 20), bell(225, 60, 40), ink(30, 30, 40);
    // Bells and their hammer.
    p.setPen(QPen(rim, 3));
    p.setBrush(bell);
    p.drawChord(QRectF(-40, -44, 30, 30), 35 * 16, 160 * 16);
    p.drawChord(QRectF(10, -44, 30, 30), -15 * 16, 160 * 16);
    p.setPen(QPen(ink, 5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(0, -30), QPointF(0, -42));
    // Legs.
    p.drawLine(QPointF(-22, 28), QPointF(-30, 42));
    p.drawLine(QPointF(22, 28), QPointF(30, 42));

    // Face.
    QRadialGradient face(QPointF(-8, -8), 40);
    face.setColorAt(0, QColor(255, 255, 240));
    face.setColorAt(1, QColor(250, 220, 150));
    p.setPen(QPen(rim, 6));
    p.setBrush(face);
    p.drawEllipse(QPointF(0, 4), 32, 32);
    // Hour ticks.
    p.setPen(QPen(ink, 3, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 12; i += 3) {
        const double a = i * 3.14159265358979 / 6;
        p.drawLine(QPointF(24 * std::sin(a), 4 - 24 * std::cos(a)),
                   QPointF(28 * std::sin(a), 4 - 28 * std::cos(a)));
    }
    // Hands at ten past ten, the red one long, so the turn is plain to see.
    p.setPen(QPen(ink, 5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(0, 4), QPointF(-13, -6));
    p.setPen(QPen(QColor(200, 0, 0), 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(0, 4), QPointF(16, -16));
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawEllipse(QPointF(0, 4), 4, 4);
    p.end();
    return img.scaled(24, 24, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

} // namespace

// trayicon0.png is the resting icon; 1 to 9 turn it by 40 degrees each, so
// the spin ends on a full turn and the icon comes to rest upright.
bool Artwork::writeTrayIcons(const QString& dir)
{
    bool ok = true;
    for (int i = 0; i < 10; ++i)
        ok = ok && save(drawAlarmClock(40.0 * i), dir + QStringLiteral("/trayicon%1.png").arg(i));
    return ok;
}
