#include "clsframe.h"
#include "framebuffers.h"
#include "gifbuilder.h"
#include "gifdecode.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>

namespace {

using Frame = GifBuilder::Frame;

std::vector<uint8_t> pattern(int w, int h, int colours, unsigned seed = 1)
{
    // Runs (for long LZW strings and the code-equals-next-entry case) mixed
    // with noise (for many short ones).
    std::mt19937 rng(seed);
    std::vector<uint8_t> px(size_t(w) * h);
    for (size_t i = 0; i < px.size(); ++i)
        px[i] = uint8_t((i / 37) % 3 == 0 ? (i / 37) % colours : rng() % colours);
    return px;
}

Frame frame(int left, int top, int w, int h, std::vector<uint8_t> px)
{
    Frame f;
    f.left = left;
    f.top = top;
    f.width = w;
    f.height = h;
    f.indexes = std::move(px);
    return f;
}

// Checks that the frame's area shows `f`'s pixels through `palette`, opaque.
void expectPixels(const DecodedGif::Frame& out, const Frame& f, const QVector<QRgb>& palette)
{
    for (int y = 0; y < f.height; ++y)
        for (int x = 0; x < f.width; ++x) {
            const int i = f.indexes[size_t(y) * f.width + x];
            ASSERT_EQ(colourAt(out.image, f.left + x, f.top + y), palette[i] & 0xffffff)
                << "at " << x << "," << y;
            ASSERT_TRUE(opaqueAt(out.mask, f.left + x, f.top + y));
        }
}

// LZW data made of codes all minCodeSize + 1 bits wide.
QByteArray rawCodes(int minCodeSize, std::initializer_list<int> codes)
{
    QByteArray data;
    uint32_t acc = 0;
    int bits = 0;
    for (int c : codes) {
        acc |= uint32_t(c) << bits;
        bits += minCodeSize + 1;
        while (bits >= 8) {
            data.append(char(acc & 0xff));
            acc >>= 8;
            bits -= 8;
        }
    }
    if (bits)
        data.append(char(acc & 0xff));
    return QByteArray(1, char(minCodeSize)) + QByteArray(1, char(data.size())) + data +
           QByteArray(1, char(0));
}

QByteArray header(int w, int h, int paletteBits)
{
    QByteArray out("GIF89a");
    out += char(w & 0xff);
    out += char(w >> 8);
    out += char(h & 0xff);
    out += char(h >> 8);
    out += char(paletteBits ? 0x80 | (paletteBits - 1) : 0);
    out += QByteArray(2, 0);
    out += QByteArray(3 * (paletteBits ? 1 << paletteBits : 0), char(0x40));
    return out;
}

const QByteArray kDescriptor2x2("\x2C\0\0\0\0\x02\0\x02\0\0", 10);

TEST(ClsGif, Gif87aSingleFrameThenEnd)
{
    const QVector<QRgb> pal = GifBuilder::palette(4);
    GifBuilder b(5, 3, pal, "GIF87a");
    const Frame f = frame(0, 0, 5, 3, pattern(5, 3, 4));
    b.add(f);
    clsGIF gif;
    gif.setGIFdata(b.bytes());
    ASSERT_EQ(gif.Reset(), GifError::None);
    EXPECT_EQ(gif.Width(), 5);
    EXPECT_EQ(gif.Height(), 3);
    const std::optional<QImage> first = gif.NextFrame();
    ASSERT_TRUE(first);
    EXPECT_EQ(gif.DelayMS(), 0);
    expectPixels({*first, gif.NextMask(), 0}, f, pal);
    EXPECT_FALSE(gif.NextFrame());
    EXPECT_TRUE(gif.ended());
    EXPECT_EQ(gif.error(), GifError::None);
    EXPECT_FALSE(gif.NextFrame()); // stays ended until Reset
    ASSERT_EQ(gif.Reset(), GifError::None);
    EXPECT_TRUE(gif.NextFrame());
}

TEST(ClsGif, NothingBeforeReset)
{
    GifBuilder b(2, 2, GifBuilder::palette(2));
    b.add(frame(0, 0, 2, 2, {0, 1, 1, 0}));
    clsGIF gif;
    gif.setGIFdata(b.bytes());
    EXPECT_FALSE(gif.NextFrame());
}

// Minimum code sizes 2..9 decode, sub-blocks of any length (codes then run
// across their boundaries), clear codes anywhere, a full 4096-entry table,
// a missing end code after the last pixel, interlaced rows.
TEST(ClsGif, ImageDataVariants)
{
    struct Case
    {
        const char* name;
        int w, h, colours, minCodeSize, subBlock, clearEvery;
        bool endCode, interlaced;
    };
    const Case cases[] = {
        {"code size 2", 17, 9, 4, 2, 255, 0, true, false},
        {"code size 3", 17, 9, 8, 3, 255, 0, true, false},
        {"code size 4", 17, 9, 16, 4, 255, 0, true, false},
        {"code size 5", 17, 9, 32, 5, 255, 0, true, false},
        {"code size 6", 17, 9, 64, 6, 255, 0, true, false},
        {"code size 7", 17, 9, 128, 7, 255, 0, true, false},
        {"code size 8", 17, 9, 256, 8, 255, 0, true, false},
        {"code size 9", 17, 9, 256, 9, 255, 0, true, false},
        {"code size 2, two colours", 40, 40, 2, 2, 255, 0, true, false},
        {"one-byte sub-blocks", 31, 13, 32, 5, 1, 0, true, false},
        {"two-byte sub-blocks", 31, 13, 32, 5, 2, 0, true, false},
        {"three-byte sub-blocks", 31, 13, 256, 8, 3, 0, true, false},
        {"seven-byte sub-blocks", 31, 13, 256, 9, 7, 0, true, false},
        {"full table, no clear", 300, 200, 256, 8, 255, 0, true, false},
        {"full table, small codes", 300, 200, 4, 2, 255, 0, true, false},
        {"clear every 100 codes", 300, 200, 256, 8, 255, 100, true, false},
        {"clear every code", 20, 10, 16, 4, 255, 1, true, false},
        {"no end code", 23, 7, 16, 4, 255, 0, false, false},
        {"interlaced", 7, 19, 16, 4, 255, 0, true, true},
        {"interlaced, 3 rows", 5, 3, 16, 4, 255, 0, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QVector<QRgb> pal = GifBuilder::palette(c.colours);
        GifBuilder b(c.w, c.h, pal);
        Frame f = frame(0, 0, c.w, c.h, pattern(c.w, c.h, c.colours, unsigned(c.w * c.h)));
        f.minCodeSize = c.minCodeSize;
        f.subBlock = c.subBlock;
        f.clearEvery = c.clearEvery;
        f.endCode = c.endCode;
        f.interlaced = c.interlaced;
        b.add(f);
        const DecodedGif d = decodeAll(b.bytes());
        EXPECT_EQ(d.error, GifError::None) << gifErrorName(d.error);
        ASSERT_EQ(d.frames.size(), 1u);
        expectPixels(d.frames[0], f, pal);
    }
}

TEST(ClsGif, SolidRunUsesTheEntryBeingMade)
{
    // A run of one colour is coded with the entry the decoder is just making.
    const QVector<QRgb> pal = GifBuilder::palette(4);
    GifBuilder b(1000, 1, pal);
    const Frame f = frame(0, 0, 1000, 1, std::vector<uint8_t>(1000, 3));
    b.add(f);
    const DecodedGif d = decodeAll(b.bytes());
    ASSERT_EQ(d.frames.size(), 1u);
    expectPixels(d.frames[0], f, pal);
}

TEST(ClsGif, TransparencyLetsEarlierFramesShow)
{
    const QVector<QRgb> pal = GifBuilder::palette(4);
    GifBuilder b(4, 2, pal);
    b.add(frame(0, 0, 4, 2, std::vector<uint8_t>(8, 1)));
    Frame top = frame(0, 0, 4, 2, {0, 0, 2, 2, 0, 0, 2, 2});
    top.withControl = true;
    top.transparent = 0;
    top.delayCs = 7;
    b.add(top);
    const DecodedGif d = decodeAll(b.bytes());
    ASSERT_EQ(d.frames.size(), 2u);
    EXPECT_EQ(d.frames[1].delayMs, 70);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(colourAt(d.frames[1].image, x, y), pal[x < 2 ? 1 : 2] & 0xffffff);
            EXPECT_TRUE(opaqueAt(d.frames[1].mask, x, y));
        }
    // The first frame kept its own pixels.
    EXPECT_EQ(colourAt(d.frames[0].image, 3, 1), pal[1] & 0xffffff);
}

TEST(ClsGif, TransparentFirstFrameLeavesMaskClear)
{
    GifBuilder b(3, 1, GifBuilder::palette(4));
    Frame f = frame(0, 0, 3, 1, {2, 0, 2});
    f.withControl = true;
    f.transparent = 2;
    b.add(f);
    const DecodedGif d = decodeAll(b.bytes());
    ASSERT_EQ(d.frames.size(), 1u);
    EXPECT_FALSE(opaqueAt(d.frames[0].mask, 0, 0));
    EXPECT_TRUE(opaqueAt(d.frames[0].mask, 1, 0));
    EXPECT_FALSE(opaqueAt(d.frames[0].mask, 2, 0));
}

TEST(ClsGif, FirstFrameShortOfTheScreenLeavesTheRestBlackAndClear)
{
    // Opaque and as wide as the screen, but only two of its four rows.
    const QVector<QRgb> pal = GifBuilder::palette(4);
    for (const int top : {0, 1, 2}) {
        GifBuilder b(3, 4, pal);
        b.add(frame(0, top, 3, 2, std::vector<uint8_t>(6, 1)));
        const DecodedGif d = decodeAll(b.bytes());
        ASSERT_EQ(d.frames.size(), 1u);
        for (int y = 0; y < 4; ++y) {
            const bool inside = y == top || y == top + 1;
            EXPECT_EQ(colourAt(d.frames[0].image, 2, y), inside ? pal[1] & 0xffffff : 0u)
                << "top " << top << ", row " << y;
            EXPECT_EQ(d.frames[0].mask.pixel(2, y), inside ? 0xffffffffu : 0xff000000u)
                << "top " << top << ", row " << y;
        }
    }
}

TEST(ClsGif, DisposalTwoClearsOnlyTheMaskOfItsOwnArea)
{
    const QVector<QRgb> pal = GifBuilder::palette(4);
    GifBuilder b(6, 6, pal);
    Frame first = frame(1, 1, 3, 3, std::vector<uint8_t>(9, 1));
    first.withControl = true;
    first.disposal = 2;
    b.add(first);
    b.add(frame(4, 4, 2, 2, std::vector<uint8_t>(4, 2))); // no control extension
    b.add(frame(0, 0, 1, 1, {3}));
    const DecodedGif d = decodeAll(b.bytes());
    ASSERT_EQ(d.frames.size(), 3u);
    EXPECT_TRUE(opaqueAt(d.frames[0].mask, 2, 2)); // disposal acts before the next frame
    for (int y = 1; y < 4; ++y)
        for (int x = 1; x < 4; ++x) {
            EXPECT_FALSE(opaqueAt(d.frames[1].mask, x, y));
            EXPECT_EQ(colourAt(d.frames[1].image, x, y), pal[1] & 0xffffff);
        }
    EXPECT_TRUE(opaqueAt(d.frames[1].mask, 4, 4));
    // The second frame had no control extension, so no disposal of its own:
    // its area stays when the third frame is drawn.
    EXPECT_TRUE(opaqueAt(d.frames[2].mask, 5, 5));
    EXPECT_FALSE(opaqueAt(d.frames[2].mask, 0, 1));
}

TEST(ClsGif, LocalPaletteAppliesToItsFrameOnly)
{
    const QVector<QRgb> global = GifBuilder::palette(4);
    const QVector<QRgb> local = {qRgb(9, 9, 9), qRgb(200, 100, 50)};
    GifBuilder b(2, 1, global);
    Frame withLocal = frame(0, 0, 2, 1, {1, 0});
    withLocal.localPalette = local;
    b.add(withLocal);
    b.add(frame(0, 0, 2, 1, {1, 0}));
    const DecodedGif d = decodeAll(b.bytes());
    ASSERT_EQ(d.frames.size(), 2u);
    EXPECT_EQ(colourAt(d.frames[0].image, 0, 0), local[1] & 0xffffff);
    EXPECT_EQ(colourAt(d.frames[1].image, 0, 0), global[1] & 0xffffff);
    EXPECT_EQ(colourAt(d.frames[1].image, 1, 0), global[0] & 0xffffff);
}

TEST(ClsGif, LocalPaletteWithoutGlobal)
{
    GifBuilder b(2, 1);
    Frame f = frame(0, 0, 2, 1, {1, 0});
    f.localPalette = {qRgb(1, 2, 3), qRgb(4, 5, 6)};
    b.add(f);
    const DecodedGif d = decodeAll(b.bytes());
    ASSERT_EQ(d.frames.size(), 1u);
    EXPECT_EQ(colourAt(d.frames[0].image, 0, 0), qRgb(4, 5, 6) & 0xffffff);
}

TEST(ClsGif, FramesReachingOffTheScreenAreClipped)
{
    const QVector<QRgb> pal = GifBuilder::palette(4);
    GifBuilder b(4, 4, pal);
    Frame over = frame(2, 3, 5, 5, std::vector<uint8_t>(25, 2));
    over.withControl = true;
    over.disposal = 2;
    b.add(over);
    b.add(frame(60000, 60000, 3, 3, std::vector<uint8_t>(9, 1)));
    // As wide as the screen, but hanging off its bottom.
    b.add(frame(0, 2, 4, 5, std::vector<uint8_t>(20, 3)));
    const DecodedGif d = decodeAll(b.bytes());
    ASSERT_EQ(d.error, GifError::None);
    ASSERT_EQ(d.frames.size(), 3u);
    EXPECT_TRUE(opaqueAt(d.frames[0].mask, 3, 3));
    EXPECT_FALSE(opaqueAt(d.frames[0].mask, 1, 3));
    EXPECT_FALSE(opaqueAt(d.frames[1].mask, 3, 3));
    EXPECT_EQ(colourAt(d.frames[2].image, 0, 3), pal[3] & 0xffffff);
    EXPECT_TRUE(opaqueAt(d.frames[2].mask, 0, 3));
    EXPECT_FALSE(opaqueAt(d.frames[2].mask, 0, 1));
}

TEST(ClsGif, TrailingSubBlocksAfterTheImageAreSkipped)
{
    // The end code may sit in a sub-block of its own, after the one that
    // completed the image; what follows up to the terminator is skipped.
    const Frame f = frame(0, 0, 2, 2, {1, 2, 3, 0});
    QByteArray data = header(2, 2, 2) + kDescriptor2x2;
    QByteArray image = GifBuilder::lzw(f.indexes, 2, 255, 0, true);
    image.chop(1);
    image += QByteArray("\x02\xAA\xBB\x01\xCC\x00", 6);
    data += image + QByteArray(1, char(0x3B));
    const DecodedGif d = decodeAll(data);
    EXPECT_EQ(d.error, GifError::None);
    EXPECT_EQ(d.frames.size(), 1u);
}

TEST(ClsGif, ImageDataEndingEarlyKeepsWhatWasDecoded)
{
    const QByteArray data =
        header(2, 2, 2) + kDescriptor2x2 + rawCodes(2, {4, 1, 2, 5}) + QByteArray(1, 0x3B);
    const DecodedGif d = decodeAll(data);
    ASSERT_EQ(d.error, GifError::None);
    ASSERT_EQ(d.frames.size(), 1u);
    EXPECT_TRUE(opaqueAt(d.frames[0].mask, 1, 0));
    // What the data did not reach is black and transparent, as after a clear.
    for (const QPoint p : {QPoint(0, 1), QPoint(1, 1)}) {
        EXPECT_EQ(colourAt(d.frames[0].image, p.x(), p.y()), 0u);
        EXPECT_EQ(d.frames[0].mask.pixel(p), 0xff000000u);
    }

    // In a later frame it keeps what the frames before left there.
    const QByteArray later = header(2, 2, 2) + kDescriptor2x2 + rawCodes(2, {4, 1, 2, 4, 3, 0, 5}) +
                             kDescriptor2x2 + rawCodes(2, {4, 1, 2, 5}) + QByteArray(1, 0x3B);
    const DecodedGif l = decodeAll(later);
    ASSERT_EQ(l.error, GifError::None);
    ASSERT_EQ(l.frames.size(), 2u);
    for (const QPoint p : {QPoint(0, 1), QPoint(1, 1)}) {
        EXPECT_EQ(colourAt(l.frames[1].image, p.x(), p.y()), 0x404040u);
        EXPECT_TRUE(opaqueAt(l.frames[1].mask, p.x(), p.y()));
    }
}

TEST(ClsGif, FormatErrors)
{
    // Clear codes keep every code 3 bits wide.
    const QByteArray okImage = kDescriptor2x2 + rawCodes(2, {4, 1, 4, 2, 4, 3, 4, 0, 5});
    struct Case
    {
        const char* name;
        QByteArray data;
        GifError error;
        size_t framesBefore;
    };
    const Case cases[] = {
        {"signature", QByteArray("GIF88a") + header(2, 2, 2).mid(6) + okImage + "\x3B",
         GifError::BadSignature, 0},
        {"short header", QByteArray("GIF89a\x02", 7), GifError::Truncated, 0},
        {"empty screen", header(0, 2, 2) + okImage + "\x3B", GifError::BadScreenSize, 0},
        {"huge screen", header(65535, 65535, 2) + okImage + "\x3B", GifError::BadScreenSize, 0},
        {"control block size 5",
         header(2, 2, 2) + QByteArray("\x21\xF9\x05\0\0\0\0\0\0", 9) + okImage + "\x3B",
         GifError::BadGraphicControl, 0},
        {"control without terminator",
         header(2, 2, 2) + QByteArray("\x21\xF9\x04\0\0\0\0\x07", 8) + okImage + "\x3B",
         GifError::BadGraphicControl, 0},
        {"unknown introducer", header(2, 2, 2) + okImage + "\x99" + okImage + "\x3B",
         GifError::BadBlockIntroducer, 1},
        {"no colour table", header(2, 2, 0) + okImage + "\x3B", GifError::NoColorTable, 0},
        {"code size 1", header(2, 2, 2) + kDescriptor2x2 + rawCodes(1, {2, 1, 1, 1, 1, 3}) + "\x3B",
         GifError::BadCodeSize, 0},
        {"code size 10",
         header(2, 2, 2) + kDescriptor2x2 + rawCodes(10, {1024, 1, 1, 1, 1, 1025}) + "\x3B",
         GifError::BadCodeSize, 0},
        {"code beyond the next entry",
         header(2, 2, 2) + kDescriptor2x2 + rawCodes(2, {4, 1, 7, 5}) + "\x3B", GifError::BadCode,
         0},
        {"image too large",
         header(2, 2, 2) + QByteArray("\x2C\0\0\0\0\xff\xff\xff\xff\0", 10) +
             rawCodes(2, {4, 1, 5}) + "\x3B",
         GifError::BadFrameSize, 0},
        {"second frame broken",
         header(2, 2, 2) + okImage + kDescriptor2x2 + rawCodes(2, {4, 1, 7}) + "\x3B",
         GifError::BadCode, 1},
        {"no trailer", header(2, 2, 2) + okImage, GifError::Truncated, 1},
        {"extension without terminator",
         header(2, 2, 2) + QByteArray("\x21\xFE\x03"
                                      "abc",
                                      6),
         GifError::Truncated, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const DecodedGif d = decodeAll(c.data);
        EXPECT_EQ(d.error, c.error) << gifErrorName(d.error);
        EXPECT_EQ(d.frames.size(), c.framesBefore);
    }
}

TEST(ClsGif, ScreenSizesTakenAndRefused)
{
    const struct
    {
        int width, height;
        GifError error;
    } cases[] = {
        {5000, 4000, GifError::None}, // an ordinary big animation
        {16384, 4096, GifError::None},         {8192, 8192, GifError::None}, // 64 megapixels
        {8193, 8193, GifError::BadScreenSize}, {16385, 1, GifError::BadScreenSize},
        {1, 16385, GifError::BadScreenSize},   {0, 5, GifError::BadScreenSize},
    };
    QTemporaryDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
        const QByteArray head = header(c.width, c.height, 2);
        EXPECT_EQ(clsGIF::checkHeader(head), c.error);
        // A refused header is all that LoadFile reads of the file.
        QFile file(dir.filePath("big.gif"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(head + QByteArray(4096, '\0'));
        file.close();
        clsGIF gif;
        EXPECT_EQ(gif.LoadFile(file.fileName()), c.error);
        EXPECT_EQ(gif.GIFdata().size(), c.error == GifError::None ? head.size() + 4096 : 0);
    }
    EXPECT_EQ(clsGIF::checkHeader(header(2, 2, 2).left(12)), GifError::Truncated);
    EXPECT_EQ(clsGIF::checkHeader("GIF88a" + header(2, 2, 2).mid(6)), GifError::BadSignature);
}

TEST(ClsGif, EveryCutOfAFileIsTruncated)
{
    GifBuilder b(9, 7, GifBuilder::palette(16));
    Frame f = frame(0, 0, 9, 7, pattern(9, 7, 16));
    f.withControl = true;
    f.delayCs = 5;
    f.subBlock = 4;
    b.add(f);
    Frame local = frame(2, 1, 5, 5, pattern(5, 5, 4, 9));
    local.localPalette = GifBuilder::palette(4);
    b.add(local);
    const QByteArray whole = b.bytes();
    ASSERT_EQ(decodeAll(whole).error, GifError::None);
    for (qsizetype n = 0; n < whole.size(); ++n) {
        const DecodedGif d = decodeAll(whole.left(n));
        ASSERT_EQ(d.error, GifError::Truncated) << "cut at " << n;
        ASSERT_LE(d.frames.size(), 2u);
    }
}

TEST(ClsGif, LoadFileAndFrames)
{
    QTemporaryDir dir;
    const QVector<QRgb> pal = GifBuilder::palette(4);
    GifBuilder b(3, 3, pal);
    Frame f = frame(0, 0, 3, 3, pattern(3, 3, 4));
    f.withControl = true;
    f.delayCs = 12;
    b.add(f);
    QFile file(dir.filePath("a.gif"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(b.bytes());
    file.close();

    clsGIF gif;
    EXPECT_EQ(gif.LoadFile(dir.filePath("missing.gif")), GifError::Unreadable);
    ASSERT_EQ(gif.LoadFile(file.fileName()), GifError::None);
    EXPECT_EQ(gif.GIFdata(), b.bytes());
    ASSERT_EQ(gif.Reset(), GifError::None);
    clsFrame one, two;
    ASSERT_TRUE(one.LoadNext(gif));
    EXPECT_EQ(one.DelayMS(), 120);
    EXPECT_EQ(one.Bitmap().size(), QSize(3, 3));
    EXPECT_EQ(one.Mask().size(), QSize(3, 3));
    EXPECT_FALSE(two.LoadNext(gif));
    EXPECT_FALSE(two.hasBitmap());
}

TEST(ClsGif, KeptFramesAreNotChangedByLaterFrames)
{
    const QVector<QRgb> pal = GifBuilder::palette(4);
    GifBuilder b(2, 1, pal);
    b.add(frame(0, 0, 2, 1, {1, 1}));
    b.add(frame(0, 0, 2, 1, {2, 2}));
    const DecodedGif d = decodeAll(b.bytes());
    ASSERT_EQ(d.frames.size(), 2u);
    EXPECT_EQ(colourAt(d.frames[0].image, 0, 0), pal[1] & 0xffffff);
    EXPECT_EQ(colourAt(d.frames[1].image, 0, 0), pal[2] & 0xffffff);
}

TEST(ClsGif, StartingOverNeverReusesMemoryStillHeld)
{
    // An animation starts over with Reset at each loop; the pictures it gave
    // out before may still be on screen, and must stay as they were.
    const QVector<QRgb> pal = GifBuilder::palette(4);
    GifBuilder b(3, 2, pal);
    b.add(frame(0, 0, 3, 2, {1, 1, 1, 1, 1, 1}));
    b.add(frame(0, 0, 3, 2, {2, 2, 2, 2, 2, 2}));
    clsGIF gif;
    gif.setGIFdata(b.bytes());
    ASSERT_EQ(gif.Reset(), GifError::None);
    const QImage kept = *gif.NextFrame();
    const QImage keptMask = gif.NextMask();
    for (int loop = 0; loop < 3; ++loop) {
        ASSERT_EQ(gif.Reset(), GifError::None);
        while (gif.NextFrame()) {
        }
    }
    EXPECT_EQ(colourAt(kept, 2, 1), pal[1] & 0xffffff);
    EXPECT_TRUE(opaqueAt(keptMask, 2, 1));

    // Memory no picture holds any more comes back for the next one of its
    // size; a large picture's goes back to the system.
    const uchar* first = nullptr;
    {
        QImage a = FrameBuffers::make(640, 480);
        a.fill(Qt::red);
        first = a.constBits();
    }
    const QImage again = FrameBuffers::make(640, 480);
    EXPECT_EQ(again.constBits(), first);
    const qsizetype before = FrameBuffers::pooledBytes();
    FrameBuffers::make(2000, 2000).fill(Qt::blue);
    EXPECT_EQ(FrameBuffers::pooledBytes(), before);
    EXPECT_TRUE(FrameBuffers::make(0, 5).isNull());
}

} // namespace
