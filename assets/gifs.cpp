// The sixteen animations of the main window, written as GIF files with
// giflib: the four menu item pictures (gifctl1_0..3), the four window buttons
// (gifctl9..12), the background animation (gifctl2), the help animation
// (gifctl13) and the small indicators (gifctl3..8). They share one look: the
// black device with light-blue controls. Frames are drawn with QPainter,
// edges are flattened onto a dark matte (everything sits on or near the
// black body), and each file gets one palette made by median cut, with
// index 0 as the transparent colour. Every frame covers the whole picture
// and restores to the background, so transparent pixels never show an
// older frame.
#include "artwork.h"

#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>

#include <gif_lib.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

const QColor kLightBlue(140, 200, 240);
const QColor kPaleBlue(205, 232, 255);
const QColor kDeepBlue(30, 70, 170);
const QColor kRim(90, 96, 108);
const QColor kMatte(24, 25, 29);

using Draw = std::function<void(QPainter&, double t)>; // t in [0, 1): phase of the loop

std::vector<QImage> render(QSize size, int frames, const Draw& draw)
{
    std::vector<QImage> out;
    for (int i = 0; i < frames; ++i) {
        QImage img(size, QImage::Format_ARGB32_Premultiplied);
        img.fill(Qt::transparent);
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        draw(p, double(i) / frames);
        p.end();
        out.push_back(img.convertToFormat(QImage::Format_ARGB32));
    }
    return out;
}

// Median cut over the opaque colours of all frames: at most `n` entries.
std::vector<QRgb> medianCut(const std::vector<QRgb>& colours, int n)
{
    struct Box
    {
        std::vector<QRgb> c;
    };
    std::vector<Box> boxes{{colours}};
    auto channel = [](QRgb c, int ch) {
        return ch == 0 ? qRed(c) : ch == 1 ? qGreen(c) : qBlue(c);
    };
    auto widest = [&](const Box& b, int& range) {
        int best = 0;
        range = -1;
        for (int ch = 0; ch < 3; ++ch) {
            int lo = 255, hi = 0;
            for (QRgb c : b.c) {
                lo = std::min(lo, channel(c, ch));
                hi = std::max(hi, channel(c, ch));
            }
            if (hi - lo > range) {
                range = hi - lo;
                best = ch;
            }
        }
        return best;
    };
    while (int(boxes.size()) < n) {
        int pick = -1, pickScore = 0, pickCh = 0;
        for (size_t i = 0; i < boxes.size(); ++i) {
            int range = 0;
            const int ch = widest(boxes[i], range);
            const int score = range * int(std::min<size_t>(boxes[i].c.size(), 4096));
            if (range > 0 && score > pickScore) {
                pick = int(i);
                pickScore = score;
                pickCh = ch;
            }
        }
        if (pick < 0)
            break;
        std::vector<QRgb>& c = boxes[size_t(pick)].c;
        std::sort(c.begin(), c.end(),
                  [&](QRgb a, QRgb b) { return channel(a, pickCh) < channel(b, pickCh); });
        Box upper{std::vector<QRgb>(c.begin() + qsizetype(c.size() / 2), c.end())};
        c.resize(c.size() / 2);
        boxes.push_back(std::move(upper));
    }
    std::vector<QRgb> palette;
    for (const Box& b : boxes) {
        if (b.c.empty())
            continue;
        long r = 0, g = 0, bl = 0;
        for (QRgb c : b.c) {
            r += qRed(c);
            g += qGreen(c);
            bl += qBlue(c);
        }
        const long k = long(b.c.size());
        palette.push_back(qRgb(int(r / k), int(g / k), int(bl / k)));
    }
    return palette;
}

bool writeGif(const QString& path, const std::vector<QImage>& frames,
              const std::vector<int>& delaysCs)
{
    const int w = frames.front().width(), h = frames.front().height();
    // Flatten half-transparent edges onto the matte; the rest is either
    // opaque or transparent.
    std::vector<std::vector<int>> flat; // -1 transparent, else 0xRRGGBB
    std::vector<QRgb> opaque;
    for (const QImage& f : frames) {
        std::vector<int> px(size_t(w) * h, -1);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const QRgb c = f.pixel(x, y);
                const int a = qAlpha(c);
                if (a < 110)
                    continue;
                auto mix = [a](int v, int m) { return (v * a + m * (255 - a)) / 255; };
                const QRgb m = qRgb(mix(qRed(c), kMatte.red()), mix(qGreen(c), kMatte.green()),
                                    mix(qBlue(c), kMatte.blue()));
                px[size_t(y) * w + x] = int(m & 0xffffff);
                opaque.push_back(m);
            }
        flat.push_back(std::move(px));
    }
    std::vector<QRgb> palette = medianCut(opaque, 255);
    palette.insert(palette.begin(), kMatte.rgb()); // index 0: transparent
    GifColorType colours[256] = {};
    for (size_t i = 0; i < palette.size(); ++i)
        colours[i] = {GifByteType(qRed(palette[i])), GifByteType(qGreen(palette[i])),
                      GifByteType(qBlue(palette[i]))};
    QHash<int, GifPixelType> nearest;
    auto indexOf = [&](int c) -> GifPixelType {
        if (c < 0)
            return 0;
        auto it = nearest.constFind(c);
        if (it != nearest.constEnd())
            return *it;
        int best = 1, bestDist = INT_MAX;
        for (size_t i = 1; i < palette.size(); ++i) {
            const int dr = qRed(palette[i]) - ((c >> 16) & 0xff);
            const int dg = qGreen(palette[i]) - ((c >> 8) & 0xff);
            const int db = qBlue(palette[i]) - (c & 0xff);
            const int d = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
            if (d < bestDist) {
                bestDist = d;
                best = int(i);
            }
        }
        nearest.insert(c, GifPixelType(best));
        return GifPixelType(best);
    };

    int error = 0;
    GifFileType* gif = EGifOpenFileName(path.toLocal8Bit().constData(), false, &error);
    if (!gif) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    ColorMapObject* map = GifMakeMapObject(256, colours);
    EGifSetGifVersion(gif, true);
    bool ok = EGifPutScreenDesc(gif, w, h, 8, 0, map) == GIF_OK;
    // Loop for ever (read by browsers and viewers; the control loops anyway).
    static const GifByteType netscape[] = "NETSCAPE2.0";
    static const GifByteType loop[] = {1, 0, 0};
    ok = ok && EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
         EGifPutExtensionBlock(gif, 11, netscape) == GIF_OK &&
         EGifPutExtensionBlock(gif, 3, loop) == GIF_OK && EGifPutExtensionTrailer(gif) == GIF_OK;
    std::vector<GifPixelType> row(static_cast<size_t>(w));
    for (size_t f = 0; ok && f < flat.size(); ++f) {
        GraphicsControlBlock gcb{DISPOSE_BACKGROUND, false, delaysCs[f % delaysCs.size()], 0};
        GifByteType ext[4];
        EGifGCBToExtension(&gcb, ext);
        ok = EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, ext) == GIF_OK &&
             EGifPutImageDesc(gif, 0, 0, w, h, false, nullptr) == GIF_OK;
        for (int y = 0; ok && y < h; ++y) {
            for (int x = 0; x < w; ++x)
                row[size_t(x)] = indexOf(flat[f][size_t(y) * w + x]);
            ok = EGifPutLine(gif, row.data(), w) == GIF_OK;
        }
    }
    ok = EGifCloseFile(gif, &error) == GIF_OK && ok;
    GifFreeMapObject(map);
    if (!ok)
        std::fprintf(stderr, "cannot write %s (giflib error %d)\n", qPrintable(path), error);
    return ok;
}

bool write(const QString& dir, const char* name, QSize size, int frames, int delayCs,
           const Draw& draw)
{
    return writeGif(dir + '/' + name, render(size, frames, draw), {delayCs});
}

double wave(double t) // 0..1..0 over one loop
{
    return 0.5 - 0.5 * qCos(2 * M_PI * t);
}

// The round dark badge all pictures of the window share.
void badge(QPainter& p, const QRectF& r, double glow = 0)
{
    QRadialGradient g(r.center() - QPointF(r.width() * 0.18, r.height() * 0.22), r.width() * 0.75);
    g.setColorAt(0, QColor(58, 63, 74));
    g.setColorAt(0.7, QColor(24, 26, 31));
    g.setColorAt(1, QColor(12, 12, 14));
    p.setBrush(g);
    QColor rim = kRim;
    if (glow > 0)
        rim = QColor::fromRgbF(rim.redF() + (kLightBlue.redF() - rim.redF()) * glow,
                               rim.greenF() + (kLightBlue.greenF() - rim.greenF()) * glow,
                               rim.blueF() + (kLightBlue.blueF() - rim.blueF()) * glow);
    p.setPen(QPen(rim, std::max(1.2, r.width() / 22)));
    p.drawEllipse(r);
}

// A bright arc running round a badge's rim.
void runningArc(QPainter& p, const QRectF& r, double t)
{
    QPen pen(kPaleBlue, std::max(1.6, r.width() / 16), Qt::SolidLine, Qt::RoundCap);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawArc(r, int(-t * 360 * 16) + 90 * 16, 70 * 16);
}

QColor mixColour(const QColor& a, const QColor& b, double k)
{
    return QColor::fromRgbF(a.redF() + (b.redF() - a.redF()) * k,
                            a.greenF() + (b.greenF() - a.greenF()) * k,
                            a.blueF() + (b.blueF() - a.blueF()) * k);
}

// ---- window buttons, 28 x 28 ----

void windowButton(QPainter& p, double t,
                  const std::function<void(QPainter&, const QColor&)>& symbol,
                  const QColor& tint = kLightBlue)
{
    const QRectF r(1.5, 1.5, 25, 25);
    badge(p, r);
    runningArc(p, r, t);
    symbol(p, mixColour(tint, kPaleBlue, wave(t) * 0.6));
}

void menuSymbol(QPainter& p, const QColor& c)
{
    p.setPen(QPen(c, 2.4, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 3; ++i)
        p.drawLine(QPointF(8.5, 9.5 + i * 4.5), QPointF(19.5, 9.5 + i * 4.5));
}

void letterSymbol(QPainter& p, const QColor& c, const QString& letter)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(16);
    f.setBold(true);
    p.setFont(f);
    p.setPen(c);
    p.drawText(QRectF(0, 0, 28, 28), Qt::AlignCenter, letter);
}

void powerSymbol(QPainter& p, const QColor& c)
{
    p.setPen(QPen(c, 2.2, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(8, 8.5, 12, 12), 120 * 16, 300 * 16);
    p.drawLine(QPointF(14, 6.5), QPointF(14, 13.5));
}

// ---- menu items, 60 x 60 ----

const QRectF kItemBadge(3, 3, 54, 54);

void listItem(QPainter& p, double t)
{
    badge(p, kItemBadge, 0.3);
    const int active = int(t * 4); // 0..3: how many lines are ticked
    p.setBrush(QColor(235, 242, 250));
    p.setPen(QPen(kDeepBlue, 1.2));
    p.drawRoundedRect(QRectF(17, 13, 27, 34), 3, 3);
    for (int i = 0; i < 3; ++i) {
        const double y = 21 + i * 9;
        p.setPen(
            QPen(i < active ? kDeepBlue : QColor(150, 165, 185), 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(27, y), QPointF(39, y));
        p.setPen(QPen(QColor(40, 150, 60), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        if (i < active)
            p.drawPolyline(
                QPolygonF({QPointF(20.5, y - 0.5), QPointF(22.5, y + 2), QPointF(25.5, y - 3)}));
        else
            p.setPen(QPen(QColor(160, 170, 185), 1.2)), p.drawRect(QRectF(20.5, y - 2.5, 4, 4));
    }
}

void clockItem(QPainter& p, double t)
{
    badge(p, kItemBadge, 0.3);
    const QPointF c(30, 30);
    p.setBrush(QColor(235, 242, 250));
    p.setPen(QPen(kDeepBlue, 1.5));
    p.drawEllipse(c, 19, 19);
    for (int i = 0; i < 12; ++i) {
        const double a = i * M_PI / 6;
        const double r0 = i % 3 ? 16 : 14;
        p.setPen(QPen(kDeepBlue, i % 3 ? 1 : 2));
        p.drawLine(c + QPointF(qSin(a) * r0, -qCos(a) * r0),
                   c + QPointF(qSin(a) * 17.5, -qCos(a) * 17.5));
    }
    const double minute = t * 2 * M_PI, hour = (t + 0.35) * 2 * M_PI / 12 + 2.2;
    p.setPen(QPen(QColor(30, 35, 50), 2.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c, c + QPointF(qSin(hour) * 9, -qCos(hour) * 9));
    p.setPen(QPen(kDeepBlue, 1.8, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c, c + QPointF(qSin(minute) * 14, -qCos(minute) * 14));
    p.setBrush(QColor(200, 40, 40));
    p.setPen(Qt::NoPen);
    p.drawEllipse(c, 2, 2);
}

void microphone(QPainter& p, QPointF at, double scale, const QColor& body)
{
    p.save();
    p.translate(at);
    p.scale(scale, scale);
    p.setPen(QPen(QColor(20, 30, 60), 1.2));
    p.setBrush(body);
    p.drawRoundedRect(QRectF(-4, -10, 8, 14), 4, 4);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(body, 1.8, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(-6.5, -5, 13, 12), 200 * 16, 140 * 16);
    p.drawLine(QPointF(0, 7), QPointF(0, 10));
    p.drawLine(QPointF(-3.5, 10.5), QPointF(3.5, 10.5));
    p.restore();
}

void micToFileItem(QPainter& p, double t)
{
    badge(p, kItemBadge, 0.3);
    microphone(p, QPointF(18, 30), 1.05, kPaleBlue);
    // The document the voice goes into.
    QPainterPath doc;
    doc.moveTo(34, 18);
    doc.lineTo(43, 18);
    doc.lineTo(47, 22);
    doc.lineTo(47, 42);
    doc.lineTo(34, 42);
    doc.closeSubpath();
    p.setPen(QPen(kDeepBlue, 1.2));
    p.setBrush(QColor(235, 242, 250));
    p.drawPath(doc);
    const int lines = int(t * 8) / 2; // the file fills up
    p.setPen(QPen(kDeepBlue, 1.6, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < std::min(lines, 4); ++i)
        p.drawLine(QPointF(37, 26 + i * 4), QPointF(44, 26 + i * 4));
    // Sound waves travelling from the microphone to the file.
    p.setBrush(Qt::NoBrush);
    for (int k = 0; k < 3; ++k) {
        const double s = std::fmod(t + k / 3.0, 1.0);
        QColor c = kLightBlue;
        c.setAlphaF(1 - s);
        p.setPen(QPen(c, 1.8, Qt::SolidLine, Qt::RoundCap));
        const double x = 22 + s * 10;
        p.drawArc(QRectF(x - 4, 24, 8, 12), -50 * 16, 100 * 16);
    }
}

void gearItem(QPainter& p, double t)
{
    badge(p, kItemBadge, 0.3);
    p.save();
    p.translate(30, 30);
    p.rotate(t * 45); // eight teeth: a 45 degree turn looks like a full loop
    QPainterPath gear;
    const int teeth = 8;
    for (int i = 0; i < teeth * 2; ++i) {
        const double a0 = i * M_PI / teeth, a1 = (i + 1) * M_PI / teeth;
        const double r = i % 2 ? 14.0 : 19.0;
        const QPointF p0(qCos(a0 + 0.06) * r, qSin(a0 + 0.06) * r);
        const QPointF p1(qCos(a1 - 0.06) * r, qSin(a1 - 0.06) * r);
        if (i == 0)
            gear.moveTo(p0);
        else
            gear.lineTo(p0);
        gear.lineTo(p1);
    }
    gear.closeSubpath();
    QPainterPath hole;
    hole.addEllipse(QPointF(0, 0), 5.5, 5.5);
    QRadialGradient g(QPointF(-5, -6), 26);
    g.setColorAt(0, kPaleBlue);
    g.setColorAt(1, QColor(90, 140, 190));
    p.setBrush(g);
    p.setPen(QPen(kDeepBlue, 1.2));
    p.drawPath(gear.subtracted(hole));
    p.restore();
}

// ---- background, help and indicators ----

void bell(QPainter& p, double t)
{
    const double swing = 16 * qSin(2 * M_PI * t);
    p.save();
    p.translate(32, 10);
    p.rotate(swing);
    QPainterPath body;
    body.moveTo(-4, 6);
    body.cubicTo(-14, 8, -12, 30, -20, 38);
    body.lineTo(20, 38);
    body.cubicTo(12, 30, 14, 8, 4, 6);
    body.closeSubpath();
    QLinearGradient g(-20, 0, 20, 0);
    g.setColorAt(0, QColor(110, 160, 210));
    g.setColorAt(0.4, kPaleBlue);
    g.setColorAt(1, QColor(70, 110, 170));
    p.setPen(QPen(QColor(20, 40, 90), 1.4));
    p.setBrush(g);
    p.drawPath(body);
    p.drawEllipse(QPointF(0, 4), 3.5, 3.5);
    p.setBrush(QColor(20, 40, 90));
    p.drawEllipse(QPointF(-swing * 0.25, 41), 4, 4);
    p.restore();
    // Sound arcs at the ends of the swing.
    const double loud = std::abs(qSin(2 * M_PI * t));
    if (loud > 0.6) {
        QColor c = kPaleBlue;
        c.setAlphaF((loud - 0.6) / 0.4);
        p.setPen(QPen(c, 2, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        const bool right = qSin(2 * M_PI * t) < 0;
        for (int k = 0; k < 2; ++k) {
            const QRectF r = QRectF(32 - 26 - k * 5, 18 - k * 5, 52 + k * 10, 40 + k * 10);
            p.drawArc(r, right ? -30 * 16 : 150 * 16, 50 * 16);
        }
    }
}

void lightbulb(QPainter& p, double t)
{
    const double glow = wave(t);
    const QPointF c(28, 24);
    for (int i = 0; i < 8; ++i) {
        const double a = i * M_PI / 4 + M_PI / 8;
        QColor ray(255, 225, 120);
        ray.setAlphaF(0.25 + 0.75 * glow);
        p.setPen(QPen(ray, 2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(c + QPointF(qCos(a) * 17, qSin(a) * 17),
                   c + QPointF(qCos(a) * (20 + 4 * glow), qSin(a) * (20 + 4 * glow)));
    }
    QRadialGradient g(c - QPointF(3, 4), 16);
    g.setColorAt(0, mixColour(QColor(255, 250, 220), Qt::white, glow));
    g.setColorAt(1, mixColour(QColor(200, 190, 140), QColor(255, 215, 90), glow));
    p.setBrush(g);
    p.setPen(QPen(QColor(120, 100, 40), 1.2));
    p.drawEllipse(c, 13, 13);
    p.setBrush(QColor(150, 160, 175));
    p.setPen(QPen(QColor(60, 64, 72), 1));
    p.drawRoundedRect(QRectF(22, 36, 12, 10), 2, 2);
    p.setPen(QPen(QColor(60, 64, 72), 1.2));
    p.drawLine(QPointF(22.5, 39.5), QPointF(33.5, 39.5));
    p.drawLine(QPointF(22.5, 42.5), QPointF(33.5, 42.5));
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(15);
    f.setBold(true);
    p.setFont(f);
    p.setPen(kDeepBlue);
    p.drawText(QRectF(15, 11, 26, 26), Qt::AlignCenter, QStringLiteral("?"));
}

void recording(QPainter& p, double t)
{
    const QPointF c(16, 16);
    const double s = wave(t);
    QColor ring(230, 60, 60);
    ring.setAlphaF(1 - t);
    p.setPen(QPen(ring, 2));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, 8 + t * 6, 8 + t * 6);
    QRadialGradient g(c - QPointF(2, 3), 10);
    g.setColorAt(0, mixColour(QColor(255, 120, 120), QColor(255, 200, 200), s));
    g.setColorAt(1, QColor(170, 20, 20));
    p.setBrush(g);
    p.setPen(QPen(QColor(90, 10, 10), 1));
    p.drawEllipse(c, 7 + s, 7 + s);
}

void equalizer(QPainter& p, double t)
{
    badge(p, QRectF(1.5, 1.5, 29, 29));
    static const double phase[] = {0.0, 0.37, 0.71, 0.18};
    for (int i = 0; i < 4; ++i) {
        const double hgt = 4 + 13 * wave(std::fmod(t * (i % 2 ? 2 : 1) + phase[i], 1.0));
        QLinearGradient g(0, 24, 0, 8);
        g.setColorAt(0, kLightBlue);
        g.setColorAt(1, kPaleBlue);
        p.setBrush(g);
        p.setPen(Qt::NoPen);
        p.drawRoundedRect(QRectF(7.5 + i * 4.5, 24 - hgt, 3.2, hgt), 1, 1);
    }
}

void trash(QPainter& p, double t)
{
    const double lift = 5 * wave(t);
    const double tilt = -14 * wave(t);
    p.setPen(QPen(QColor(20, 40, 90), 1.3));
    QLinearGradient g(8, 0, 32, 0);
    g.setColorAt(0, QColor(110, 160, 210));
    g.setColorAt(0.5, kPaleBlue);
    g.setColorAt(1, QColor(80, 120, 180));
    p.setBrush(g);
    QPainterPath can;
    can.moveTo(11, 17);
    can.lineTo(29, 17);
    can.lineTo(27, 37);
    can.lineTo(13, 37);
    can.closeSubpath();
    p.drawPath(can);
    p.setPen(QPen(QColor(20, 40, 90), 1.2));
    for (int i = 0; i < 3; ++i)
        p.drawLine(QPointF(16 + i * 4, 21), QPointF(16 + i * 4 - 0.3 * (i - 1), 33));
    p.save();
    p.translate(9, 15 - lift);
    p.rotate(tilt);
    p.setBrush(g);
    p.setPen(QPen(QColor(20, 40, 90), 1.3));
    p.drawRoundedRect(QRectF(0, -3, 22, 4), 1.5, 1.5);
    p.drawRoundedRect(QRectF(8, -6, 6, 3), 1, 1);
    p.restore();
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(12);
    f.setBold(true);
    p.setFont(f);
    QColor q(255, 200, 80);
    q.setAlphaF(0.4 + 0.6 * wave(t));
    p.setPen(q);
    p.drawText(QRectF(27, 0, 13, 14), Qt::AlignCenter, QStringLiteral("?"));
}

void speaker(QPainter& p, double t)
{
    QPainterPath cone;
    cone.moveTo(4, 12);
    cone.lineTo(9, 12);
    cone.lineTo(15, 6);
    cone.lineTo(15, 26);
    cone.lineTo(9, 20);
    cone.lineTo(4, 20);
    cone.closeSubpath();
    p.setPen(QPen(QColor(20, 40, 90), 1.2));
    p.setBrush(kPaleBlue);
    p.drawPath(cone);
    const int waves = int(t * 4); // 0..3 arcs
    p.setBrush(Qt::NoBrush);
    for (int k = 0; k < 3; ++k) {
        QColor c = kLightBlue;
        c.setAlphaF(k < waves ? 1.0 : 0.15);
        p.setPen(QPen(c, 2, Qt::SolidLine, Qt::RoundCap));
        const double r = 5 + k * 4.5;
        p.drawArc(QRectF(15 - r, 16 - r, 2 * r, 2 * r), -45 * 16, 90 * 16);
    }
}

void warning(QPainter& p, double t)
{
    const double s = wave(t);
    QPainterPath tri;
    tri.moveTo(22, 4);
    tri.lineTo(41, 38);
    tri.lineTo(3, 38);
    tri.closeSubpath();
    p.setPen(QPen(QColor(90, 50, 0), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(mixColour(QColor(230, 150, 20), QColor(255, 215, 70), s));
    p.drawPath(tri);
    p.setPen(QPen(QColor(40, 20, 0), 3.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(22, 15), QPointF(22, 27));
    p.setBrush(QColor(40, 20, 0));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(22, 32.5), 2, 2);
}

void quill(QPainter& p, double t)
{
    // A quill writes a wavy line, which is wiped at the end of the loop.
    auto lineY = [](double u) { return 33 + 2.5 * qSin((u - 4) / 2.6); };
    const double x = 4 + 22 * t;
    p.setPen(QPen(kLightBlue, 1.8, Qt::SolidLine, Qt::RoundCap));
    QPainterPath line;
    line.moveTo(4, lineY(4));
    for (double u = 4; u <= x; u += 0.5)
        line.lineTo(u, lineY(u));
    p.drawPath(line);
    p.save();
    p.translate(x, lineY(x));
    p.rotate(32);
    QPainterPath feather;
    feather.moveTo(0, 0);
    feather.cubicTo(5, -6, 7, -20, 3, -30);
    feather.cubicTo(-3, -22, -4, -8, 0, 0);
    p.setBrush(kPaleBlue);
    p.setPen(QPen(QColor(20, 40, 90), 1));
    p.drawPath(feather);
    p.drawLine(QPointF(0, 0), QPointF(2.5, -26));
    p.restore();
}

} // namespace

bool Artwork::writeGifs(const QString& dir)
{
    const QSize button(28, 28), item(60, 60);
    bool ok = write(dir, "gifctl1_0.gif", item, 8, 15, listItem);
    ok = ok && write(dir, "gifctl1_1.gif", item, 12, 10, clockItem);
    ok = ok && write(dir, "gifctl1_2.gif", item, 8, 12, micToFileItem);
    ok = ok && write(dir, "gifctl1_3.gif", item, 8, 8, gearItem);
    ok = ok && write(dir, "gifctl2.gif", QSize(64, 64), 12, 9, bell);
    ok = ok && write(dir, "gifctl3.gif", QSize(44, 42), 8, 10, warning);
    ok = ok && write(dir, "gifctl4.gif", QSize(32, 32), 8, 10, recording);
    ok = ok && write(dir, "gifctl5.gif", QSize(32, 32), 4, 20, speaker);
    ok = ok && write(dir, "gifctl6.gif", QSize(44, 40), 12, 10, quill);
    ok = ok && write(dir, "gifctl7.gif", QSize(32, 32), 10, 8, equalizer);
    ok = ok && write(dir, "gifctl8.gif", QSize(40, 40), 8, 12, trash);
    ok = ok && write(dir, "gifctl9.gif", button, 8, 8, [](QPainter& p, double t) {
             windowButton(p, t, [](QPainter& q, const QColor& c) {
                 letterSymbol(q, c, QStringLiteral("?"));
             });
         });
    ok = ok && write(dir, "gifctl10.gif", button, 8, 8, [](QPainter& p, double t) {
             windowButton(p, t, powerSymbol, QColor(235, 110, 100));
         });
    ok = ok && write(dir, "gifctl11.gif", button, 8, 8, [](QPainter& p, double t) {
             windowButton(p, t, [](QPainter& q, const QColor& c) {
                 letterSymbol(q, c, QStringLiteral("i"));
             });
         });
    ok = ok && write(dir, "gifctl12.gif", button, 8, 8,
                     [](QPainter& p, double t) { windowButton(p, t, menuSymbol); });
    ok = ok && write(dir, "gifctl13.gif", QSize(56, 56), 10, 10, lightbulb);
    return ok;
}
