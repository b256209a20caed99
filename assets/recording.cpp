#include "artwork.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

// The recording panel's keys: small dark keys of the device with a
// light-blue rim; the pressed picture sits lower and darker.
namespace {

enum class Symbol { Record, Pause, Stop };

QImage drawKey(Symbol symbol, bool pressed)
{
    QImage img(44, 32, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal shift = pressed ? 1.5 : 0;

    QPainterPath key;
    key.addRoundedRect(QRectF(1.5, 1.5 + shift, 41, 28), 8, 8);
    QLinearGradient body(0, 0, 0, 32);
    body.setColorAt(0, pressed ? QColor(10, 12, 16) : QColor(58, 64, 74));
    body.setColorAt(1, pressed ? QColor(34, 38, 46) : QColor(16, 18, 22));
    p.fillPath(key, body);
    p.setPen(QPen(pressed ? QColor(90, 150, 210) : QColor(150, 205, 250), 1.5));
    p.drawPath(key);

    p.setPen(Qt::NoPen);
    const QPointF c(22, 15.5 + shift);
    switch (symbol) {
    case Symbol::Record:
        p.setBrush(pressed ? QColor(255, 70, 70) : QColor(215, 40, 40));
        p.drawEllipse(c, 7, 7);
        break;
    case Symbol::Pause:
        p.setBrush(pressed ? QColor(120, 200, 255) : QColor(200, 230, 255));
        p.drawRoundedRect(QRectF(c.x() - 7, c.y() - 7, 5, 14), 1, 1);
        p.drawRoundedRect(QRectF(c.x() + 2, c.y() - 7, 5, 14), 1, 1);
        break;
    case Symbol::Stop:
        p.setBrush(pressed ? QColor(120, 200, 255) : QColor(200, 230, 255));
        p.drawRoundedRect(QRectF(c.x() - 6.5, c.y() - 6.5, 13, 13), 2, 2);
        break;
    }
    return img;
}

// A loudspeaker; crossed out while the speakers are muted.
QImage drawSpeaker(bool muted)
{
    QImage img(26, 24, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor blue(170, 215, 250);
    p.setPen(Qt::NoPen);
    p.setBrush(blue);
    p.drawPolygon(QPolygonF({QPointF(3, 9), QPointF(8, 9), QPointF(14, 3), QPointF(14, 21),
                             QPointF(8, 15), QPointF(3, 15)}));
    p.setBrush(Qt::NoBrush);
    if (muted) {
        p.setPen(QPen(QColor(230, 50, 50), 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(16, 7), QPointF(24, 17));
        p.drawLine(QPointF(24, 7), QPointF(16, 17));
    } else {
        p.setPen(QPen(blue, 1.6, Qt::SolidLine, Qt::RoundCap));
        p.drawArc(QRectF(11, 6, 8, 12), -60 * 16, 120 * 16);
        p.drawArc(QRectF(10, 2, 14, 20), -60 * 16, 120 * 16);
    }
    return img;
}

// Three sliders: the system's recording mixer.
QImage drawMixer()
{
    QImage img(30, 26, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath key;
    key.addRoundedRect(QRectF(1, 1, 28, 24), 6, 6);
    p.fillPath(key, QColor(30, 34, 40));
    p.setPen(QPen(QColor(150, 205, 250), 1.2));
    p.drawPath(key);
    const qreal knobs[] = {8, 16, 11};
    for (int i = 0; i < 3; ++i) {
        const qreal x = 8 + 7 * i;
        p.setPen(QPen(QColor(110, 150, 190), 1.4));
        p.drawLine(QPointF(x, 5), QPointF(x, 21));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(200, 230, 255));
        p.drawRoundedRect(QRectF(x - 3, knobs[i] - 1.5, 6, 3), 1, 1);
    }
    return img;
}

} // namespace

bool Artwork::writeRecording(const QString& dir)
{
    const struct
    {
        const char* name;
        Symbol symbol;
    } keys[] = {{"record", Symbol::Record}, {"pause", Symbol::Pause}, {"stop", Symbol::Stop}};
    for (const auto& k : keys) {
        for (int pressed = 0; pressed < 2; ++pressed) {
            if (!save(drawKey(k.symbol, pressed == 1),
                      dir +
                          QStringLiteral("/rec_%1%2.png").arg(QLatin1String(k.name)).arg(pressed)))
                return false;
        }
    }
    return save(drawSpeaker(false), dir + QStringLiteral("/rec_dinamik0.png")) &&
           save(drawSpeaker(true), dir + QStringLiteral("/rec_dinamik1.png")) &&
           save(drawMixer(), dir + QStringLiteral("/rec_mixer.png"));
}
