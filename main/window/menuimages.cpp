#include "menuimages.h"

#include <QFontMetrics>
#include <QPainter>

namespace {
constexpr const char* kCaptions[4] = {
    "Уже\nзапланированные\nзадачи",
    "Создать\nновую запись",
    "Записать и\nсохранить\nв файл",
    "Настройки",
};
// Room kept at the left of each item for its animation.
constexpr int kAnimationWidth = 62;
// Clear space on both sides of a caption's longest line.
constexpr int kCaptionMargin = 4;

QImage rgb32(const QImage& img)
{
    return img.format() == QImage::Format_RGB32 ? img : img.convertToFormat(QImage::Format_RGB32);
}
} // namespace

QImage MenuImages::captions()
{
    QImage img(kWidth, kHeight, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::TextAntialiasing, false); // crisp masks for the bit operations
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setBold(true);
    f.setStyleStrategy(QFont::NoAntialias);
    // The largest size at which every line keeps clear of the screen's edge.
    const int room = kWidth - kAnimationWidth - 2 * kCaptionMargin;
    for (int px = 13; px > 8; --px) {
        f.setPixelSize(px);
        const QFontMetrics fm(f);
        bool fits = true;
        for (const char* caption : kCaptions)
            for (const QString& line : QString::fromUtf8(caption).split(QLatin1Char('\n')))
                fits = fits && fm.horizontalAdvance(line) <= room;
        if (fits)
            break;
    }
    p.setFont(f);
    p.setPen(Qt::black);
    const int q = kHeight / 4;
    for (int i = 0; i < 4; ++i)
        p.drawText(QRect(kAnimationWidth + kCaptionMargin, i * q, room, q), Qt::AlignCenter,
                   QString::fromUtf8(kCaptions[i]));
    return img;
}

QImage MenuImages::blend(const QImage& source, QSize size, int alpha, QColor background)
{
    QImage out(size, QImage::Format_RGB32);
    out.fill(background);
    if (source.isNull())
        return out;
    QPainter p(&out);
    p.setOpacity(alpha / 255.0);
    p.drawImage(QRect(QPoint(0, 0), size), source);
    return out;
}

namespace {
// Applies `op` to each pixel of `target` with the pixel of `mask` at the same place.
template <typename Op> void combine(QImage& target, const QImage& mask, Op op)
{
    target = rgb32(target);
    const QImage m = rgb32(mask);
    const int h = qMin(target.height(), m.height());
    const int w = qMin(target.width(), m.width());
    for (int y = 0; y < h; ++y) {
        auto* t = reinterpret_cast<QRgb*>(target.scanLine(y));
        const auto* s = reinterpret_cast<const QRgb*>(m.constScanLine(y));
        for (int x = 0; x < w; ++x)
            t[x] = op(t[x], s[x]) | 0xff000000u;
    }
}
} // namespace

void MenuImages::andInto(QImage& target, const QImage& mask)
{
    combine(target, mask, [](QRgb t, QRgb m) { return t & m; });
}

void MenuImages::orInvertedInto(QImage& target, const QImage& mask)
{
    combine(target, mask, [](QRgb t, QRgb m) { return ~(~t & m); });
}

QImage MenuImages::quarter(const QImage& picture, int i, QSize itemSize)
{
    // The item is one row shorter than a quarter (74 of 75). Squeezing the
    // strip would drop a row from the middle, right through the captions
    // (the crossbar of "Н"); cutting it keeps every caption row and loses
    // only the quarter's bottom row, which the captions leave free.
    const int q = picture.height() / 4;
    const QImage strip = picture.copy(0, i * q, itemSize.width(), qMin(q, itemSize.height()));
    return strip.size() == itemSize
               ? strip
               : strip.scaled(itemSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QImage MenuImages::boxContent(const QImage& picture)
{
    QImage box(kWidth, kHeight, QImage::Format_RGB32);
    box.fill(boxColour());
    if (!picture.isNull()) {
        QPainter p(&box);
        p.drawImage(0, 0, picture);
    }
    return box;
}

void MenuImages::build(const QImage& background)
{
    const QSize size(kWidth, kHeight);
    const QImage text = captions();
    const QImage box = boxContent(background);
    m_preview = blend(box, size, 50, boxColour());
    m_dimmed = blend(box, size, 100, boxColour());
    andInto(m_dimmed, text);
    m_bright = box;
    orInvertedInto(m_bright, text);
}
