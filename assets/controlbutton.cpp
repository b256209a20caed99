#include "artwork.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

// Zones from top to bottom: 1 arrow up, 3 OK, 2 arrow down (as the window
// numbers them). `red` names the zone drawn in red, 0 for none.
QImage drawButton(int red, bool pressed)
{
    QImage img(90, 90, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);

    QPainterPath pad;
    pad.addRoundedRect(QRectF(2.5, 2.5, 85, 85), 22, 22);
    QLinearGradient g(0, 0, 0, 90);
    if (pressed) {
        g.setColorAt(0, QColor(120, 160, 200));
        g.setColorAt(1, QColor(170, 205, 235));
    } else {
        g.setColorAt(0, QColor(205, 232, 255));
        g.setColorAt(1, QColor(140, 190, 235));
    }
    p.fillPath(pad, g);
    p.setPen(QPen(QColor(40, 80, 140), 2));
    p.drawPath(pad);
    if (!pressed) {
        QPainterPath gloss;
        gloss.addRoundedRect(QRectF(8, 6, 74, 30), 15, 15);
        p.fillPath(gloss, QColor(255, 255, 255, 70));
    }

    const QColor blue(30, 70, 170), hot(220, 30, 30);
    p.setPen(Qt::NoPen);
    p.setBrush(red == 1 ? hot : blue);
    p.drawPolygon(QPolygonF({QPointF(45, 7), QPointF(61, 24), QPointF(29, 24)}));
    p.setBrush(red == 2 ? hot : blue);
    p.drawPolygon(QPolygonF({QPointF(45, 83), QPointF(61, 66), QPointF(29, 66)}));
    p.setPen(red == 3 ? hot : blue);
    QFont f(QStringLiteral("DejaVu Sans"), 17, QFont::Bold);
    p.setFont(f);
    p.drawText(QRectF(0, 30, 90, 30), Qt::AlignCenter, QStringLiteral("OK"));
    p.end();
    return img;
}

} // namespace

bool Artwork::writeControlButton(const QString& dir)
{
    bool ok = save(drawButton(0, false), dir + "/picok0.png");
    for (int zone = 1; zone <= 3; ++zone) {
        ok = ok && save(drawButton(zone, false), dir + QStringLiteral("/picok%1.png").arg(zone));
        ok = ok && save(drawButton(zone, true), dir + QStringLiteral("/picture3_%1.png").arg(zone));
    }
    return ok;
}
