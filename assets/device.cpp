#include "artwork.h"

#include "layout.h"
#include "windowoutline.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace {

void roundKey(QPainter& p, const QRectF& r, const QColor& base)
{
    QRadialGradient g(r.center() - QPointF(r.width() * 0.2, r.height() * 0.25), r.width() * 0.8);
    g.setColorAt(0, base.lighter(170));
    g.setColorAt(0.6, base);
    g.setColorAt(1, base.darker(180));
    p.setPen(QPen(QColor(0, 0, 0, 200), 1.5));
    p.setBrush(g);
    p.drawEllipse(r);
}

} // namespace

bool Artwork::writeDevice(const QString& dir)
{
    const QRect area = Layout::kPicture1;
    // Clear outside the outline, so that the window's corners stay clear.
    QImage img(area.size(), QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);

    // Body: a rounded black case with a soft sheen from the upper left.
    // The body follows the window's own outline, so nothing of the window
    // shows around it.
    const QPainterPath body = WindowOutline::path();
    QLinearGradient sheen(0, 0, area.width(), area.height());
    sheen.setColorAt(0, QColor(70, 72, 78));
    sheen.setColorAt(0.35, QColor(28, 29, 33));
    sheen.setColorAt(1, QColor(10, 10, 12));
    p.fillPath(body, sheen);
    p.setPen(QPen(QColor(120, 124, 132), 1.2));
    p.drawPath(body);
    QPainterPath inner;
    inner.addRoundedRect(QRectF(8.5, 12.5, 279, 516), 22, 22);
    p.setPen(QPen(QColor(0, 0, 0, 160), 2));
    p.drawPath(inner);

    // Screen bezel around the panels, with a thin lit edge.
    const QRectF screen = QRectF(Layout::kPanel).adjusted(-10, -10, 10, 26);
    QPainterPath bezel;
    bezel.addRoundedRect(screen, 10, 10);
    QLinearGradient bezelGrad(screen.topLeft(), screen.bottomLeft());
    bezelGrad.setColorAt(0, QColor(36, 38, 44));
    bezelGrad.setColorAt(1, QColor(18, 19, 22));
    p.fillPath(bezel, bezelGrad);
    p.setPen(QPen(QColor(90, 94, 104), 1));
    p.drawPath(bezel);
    p.fillRect(QRectF(Layout::kPanel).adjusted(-2, -2, 2, 2), QColor(0, 0, 0));
    p.fillRect(QRectF(Layout::kHintLine), QColor(6, 22, 14));

    // Sockets for the four window buttons and the recording lamp.
    for (const QRect& r :
         {Layout::kMenuButton, Layout::kHelpButton, Layout::kAboutButton, Layout::kExitButton}) {
        p.setPen(QPen(QColor(0, 0, 0), 2));
        p.setBrush(QColor(20, 21, 24));
        p.drawEllipse(QRectF(r).adjusted(-2, -2, 2, 2));
    }
    p.setBrush(QColor(40, 10, 10));
    p.drawEllipse(QRectF(Layout::kLamp).adjusted(-2, -2, 2, 2));

    // Speaker grille between the buttons and the lamp.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(4, 4, 5));
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 6; ++col)
            p.drawEllipse(QPointF(172 + col * 7 + (row % 2) * 3.5, 40 + row * 7), 2, 2);

    // Key pad: a recessed ring around the control button and four round keys.
    const QRectF pad = QRectF(Layout::kControlButtonFrame).adjusted(-8, -4, 8, 10);
    QRadialGradient padGrad(pad.center(), pad.width() / 2);
    padGrad.setColorAt(0.7, QColor(12, 12, 14));
    padGrad.setColorAt(0.9, QColor(34, 36, 40));
    padGrad.setColorAt(1, QColor(60, 63, 70));
    p.setBrush(padGrad);
    p.setPen(QPen(QColor(0, 0, 0), 2));
    p.drawEllipse(pad);
    roundKey(p, QRectF(36, 410, 42, 42), QColor(52, 54, 60));
    roundKey(p, QRectF(222, 410, 42, 42), QColor(52, 54, 60));
    roundKey(p, QRectF(52, 470, 30, 30), QColor(110, 24, 24));
    roundKey(p, QRectF(218, 470, 30, 30), QColor(24, 90, 40));

    // Maker's mark under the key pad.
    p.setPen(QColor(150, 154, 162));
    QFont f(QStringLiteral("DejaVu Sans"), 7);
    f.setLetterSpacing(QFont::AbsoluteSpacing, 2);
    p.setFont(f);
    p.drawText(QRectF(0, 505, area.width(), 16), Qt::AlignCenter, QStringLiteral("QUILLMUR"));
    p.end();
    return save(img, dir + "/device.png");
}

bool Artwork::writeBackground(const QString& dir)
{
    QImage img(200, 300, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    // Dusk sky over hills: calm colours, bright enough for dark captions once dimmed.
    QLinearGradient sky(0, 0, 0, 300);
    sky.setColorAt(0, QColor(38, 70, 140));
    sky.setColorAt(0.45, QColor(120, 150, 210));
    sky.setColorAt(0.7, QColor(250, 190, 140));
    sky.setColorAt(1, QColor(250, 220, 170));
    p.fillRect(img.rect(), sky);
    p.setPen(Qt::NoPen);
    QRadialGradient sun(QPointF(140, 190), 40);
    sun.setColorAt(0, QColor(255, 250, 220));
    sun.setColorAt(0.4, QColor(255, 220, 150, 220));
    sun.setColorAt(1, QColor(255, 200, 140, 0));
    p.setBrush(sun);
    p.drawEllipse(QPointF(140, 190), 40, 40);
    for (int i = 0; i < 30; ++i) {
        const int x = (i * 53) % 200, y = (i * 37) % 120;
        p.setBrush(QColor(255, 255, 255, 60 + (i * 13) % 120));
        p.drawEllipse(QPointF(x, y), 0.8 + (i % 3) * 0.4, 0.8 + (i % 3) * 0.4);
    }
    QPainterPath far;
    far.moveTo(0, 230);
    far.cubicTo(40, 200, 90, 215, 120, 225);
    far.cubicTo(150, 235, 180, 205, 200, 215);
    far.lineTo(200, 300);
    far.lineTo(0, 300);
    p.fillPath(far, QColor(90, 80, 130));
    QPainterPath near;
    near.moveTo(0, 265);
    near.cubicTo(50, 240, 110, 270, 200, 250);
    near.lineTo(200, 300);
    near.lineTo(0, 300);
    p.fillPath(near, QColor(50, 45, 80));
    p.end();
    return save(img, dir + "/1.jpg");
}

bool Artwork::writeIcon(const QString& dir)
{
    // A small picture of the device for the launcher and the autostart entry.
    QImage img(64, 64, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient body(0, 0, 64, 64);
    body.setColorAt(0, QColor(80, 82, 90));
    body.setColorAt(1, QColor(10, 10, 12));
    p.setBrush(body);
    p.setPen(QPen(QColor(150, 154, 162), 1.5));
    p.drawRoundedRect(QRectF(14.5, 2.5, 35, 59), 8, 8);
    QLinearGradient screen(0, 8, 0, 36);
    screen.setColorAt(0, QColor(120, 150, 210));
    screen.setColorAt(1, QColor(250, 200, 150));
    p.setPen(Qt::NoPen);
    p.setBrush(screen);
    p.drawRect(QRectF(20, 9, 24, 28));
    p.setBrush(QColor(160, 205, 245));
    p.drawRoundedRect(QRectF(25, 42, 14, 14), 4, 4);
    p.setBrush(QColor(220, 30, 30));
    p.drawEllipse(QPointF(32, 49), 2.5, 2.5);
    p.end();
    return save(img, dir + "/quillmur.png");
}
