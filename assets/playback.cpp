#include "artwork.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

enum class Glyph { Play, Pause, Resume, Stop };

// One playback key, 22 x 17 pixels: a rounded pad with its glyph. `lit` is
// the state picture (playing, paused, pressed): a greener pad.
QImage key(Glyph glyph, bool lit, const QColor& glyphColour)
{
    QImage img(22, 17, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath pad;
    pad.addRoundedRect(QRectF(0.5, 0.5, 21, 16), 4, 4);
    QLinearGradient g(0, 0, 0, 17);
    if (lit) {
        g.setColorAt(0, QColor(60, 120, 70));
        g.setColorAt(1, QColor(20, 60, 30));
    } else {
        g.setColorAt(0, QColor(70, 86, 110));
        g.setColorAt(1, QColor(22, 30, 44));
    }
    p.fillPath(pad, g);
    p.setPen(QPen(lit ? QColor(120, 255, 140) : QColor(130, 150, 180), 1));
    p.drawPath(pad);

    p.setPen(Qt::NoPen);
    p.setBrush(glyphColour);
    switch (glyph) {
    case Glyph::Play:
        p.drawPolygon(QPolygonF({QPointF(8, 4), QPointF(15.5, 8.5), QPointF(8, 13)}));
        break;
    case Glyph::Pause:
        p.drawRect(QRectF(7, 4.5, 3, 8));
        p.drawRect(QRectF(12, 4.5, 3, 8));
        break;
    case Glyph::Resume:
        p.drawRect(QRectF(6, 4.5, 2.5, 8));
        p.drawPolygon(QPolygonF({QPointF(10, 4.5), QPointF(16, 8.5), QPointF(10, 12.5)}));
        break;
    case Glyph::Stop:
        p.drawRoundedRect(QRectF(7, 4.5, 8, 8), 1, 1);
        break;
    }
    p.end();
    return img;
}

QImage bar(bool filled)
{
    QImage img(114, 9, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, 9);
    if (filled) {
        g.setColorAt(0, QColor(150, 255, 150));
        g.setColorAt(0.5, QColor(0, 210, 60));
        g.setColorAt(1, QColor(0, 110, 30));
        p.fillRect(img.rect(), g);
    } else {
        g.setColorAt(0, QColor(0, 0, 0));
        g.setColorAt(1, QColor(30, 40, 60));
        QPainterPath groove;
        groove.addRoundedRect(QRectF(0.5, 0.5, 113, 8), 3, 3);
        p.fillPath(groove, g);
        p.setPen(QPen(QColor(70, 100, 140), 1));
        p.drawPath(groove);
    }
    p.end();
    return img;
}

QImage knob()
{
    QImage img(22, 12, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath body;
    body.addRoundedRect(QRectF(0.5, 0.5, 21, 11), 3, 3);
    QLinearGradient g(0, 0, 0, 12);
    g.setColorAt(0, QColor(235, 240, 250));
    g.setColorAt(0.5, QColor(160, 170, 185));
    g.setColorAt(1, QColor(90, 98, 112));
    p.fillPath(body, g);
    p.setPen(QPen(QColor(30, 34, 40), 1));
    p.drawPath(body);
    p.setPen(QPen(QColor(0, 170, 60), 1.5));
    p.drawLine(QPointF(4, 6), QPointF(18, 6)); // the grip line marks the value
    p.end();
    return img;
}

QImage eraser()
{
    QImage img(20, 20, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    // A small bin: lid, body with ribs, in a warm red.
    const QColor red(230, 70, 60), dark(120, 20, 20);
    p.setPen(QPen(dark, 1));
    p.setBrush(red);
    p.drawRoundedRect(QRectF(3.5, 3.5, 13, 2.5), 1, 1);
    p.drawRect(QRectF(8, 1.5, 4, 2));
    QPainterPath body;
    body.moveTo(5, 7);
    body.lineTo(15, 7);
    body.lineTo(14, 18.5);
    body.lineTo(6, 18.5);
    body.closeSubpath();
    QLinearGradient g(5, 0, 15, 0);
    g.setColorAt(0, red.lighter(130));
    g.setColorAt(1, red.darker(130));
    p.setBrush(g);
    p.drawPath(body);
    p.setPen(QPen(QColor(255, 210, 200), 1));
    for (qreal x : {8.0, 10.0, 12.0})
        p.drawLine(QPointF(x, 9), QPointF(x, 16.5));
    p.end();
    return img;
}

} // namespace

bool Artwork::writePlayback(const QString& dir)
{
    const QColor glyph(120, 255, 140), hot(255, 90, 80), amber(255, 210, 90);
    return save(key(Glyph::Play, false, glyph), dir + "/imgpusk0.png") &&
           save(key(Glyph::Play, true, QColor(200, 255, 210)), dir + "/imgpusk1.png") &&
           save(key(Glyph::Pause, false, glyph), dir + "/imgpausa2_0.png") &&
           save(key(Glyph::Resume, true, amber), dir + "/imgpausa2_1.png") &&
           save(key(Glyph::Stop, false, glyph), dir + "/imgstop2_0.png") &&
           save(key(Glyph::Stop, true, hot), dir + "/imgstop2_1.png") &&
           save(bar(false), dir + "/imgsliderfon.png") && save(bar(true), dir + "/imgslider.png") &&
           save(knob(), dir + "/picgromkoct.png") && save(eraser(), dir + "/imgsteret.png");
}
