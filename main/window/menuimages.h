#pragma once

#include <QImage>

#include <array>

// The pictures of the main menu, made from the background picture: a dimmed
// copy with dark captions for the normal look, the bright picture with light
// captions for the highlighted item, and a faint preview for the settings
// panel. Pure image work; the menu panel only shows the results.
class MenuImages
{
public:
    static constexpr int kWidth = 200;
    static constexpr int kHeight = 300;

    // The four captions, black on white, one centred in each quarter (right
    // of the item's animation).
    static QImage captions();

    // Alpha-blends `source`, stretched to `size`, with a constant alpha of
    // `alpha` of 255 over a box cleared to `background`.
    static QImage blend(const QImage& source, QSize size, int alpha, QColor background);

    // Pixel-by-pixel bitwise AND of `mask` into `target` (same size).
    static void andInto(QImage& target, const QImage& mask);
    // Invert, AND, invert: the target OR the inverted mask.
    static void orInvertedInto(QImage& target, const QImage& mask);

    // The i-th horizontal quarter of `picture` for an item of `itemSize`:
    // cut to the item's height when the item is not taller, else stretched.
    static QImage quarter(const QImage& picture, int i, QSize itemSize);

    // What the 200 x 300 background box shows of a picture: its upper left
    // part, on the box colour where the picture is smaller.
    static QImage boxContent(const QImage& picture);

    // Builds all three looks from the background picture. A null picture
    // gives the plain box colour with captions.
    void build(const QImage& background);

    const QImage& dimmed() const { return m_dimmed; }   // picProzr
    const QImage& bright() const { return m_bright; }   // fonMeny after the build
    const QImage& preview() const { return m_preview; } // picWibora

    static QColor boxColour() { return QColor(236, 236, 236); }

private:
    QImage m_dimmed;
    QImage m_bright;
    QImage m_preview;
};
