// The decoder against giflib on files made here and now by ImageMagick and by
// giflib's encoder: every frame must come out with the same pixels, mask and
// delay as giflib's images composited the same way.
#include "gifdecode.h"
#include "giflibreference.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <random>

namespace {

class GifCorpus : public ::testing::Test
{
protected:
    QTemporaryDir m_dir;

    QString path(const QString& name) const { return m_dir.filePath(name); }

    // Runs ImageMagick's convert with the arguments; the last one is the output.
    QByteArray convert(const QStringList& args)
    {
        QProcess p;
        p.start(QStringLiteral(QUILL_CONVERT), args);
        EXPECT_TRUE(p.waitForFinished(60000));
        EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
        return read(args.last());
    }

    QByteArray read(const QString& file)
    {
        QFile f(file);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << file.toStdString();
        return f.readAll();
    }

    // A GIF written by giflib's encoder: frames of `w` x `h` with a palette of
    // 2^bits colours; frame `localOn` gets a local palette of its own, frame
    // `interlaceOn` is stored interlaced, frame 1 is transparent where index 0.
    QByteArray giflibWrite(const QString& name, int w, int h, int bits, int frames, int localOn,
                           int interlaceOn)
    {
        int error = 0;
        GifFileType* gif = EGifOpenFileName(qPrintable(path(name)), false, &error);
        EXPECT_TRUE(gif);
        if (!gif)
            return {};
        const int colours = 1 << bits;
        std::vector<GifColorType> global(static_cast<size_t>(colours));
        std::vector<GifColorType> local(static_cast<size_t>(colours));
        for (int i = 0; i < colours; ++i) {
            global[size_t(i)] = {GifByteType(i * 255 / colours), GifByteType(255 - i),
                                 GifByteType(i * 37)};
            local[size_t(i)] = {GifByteType(i * 11), GifByteType(i * 3), GifByteType(200 - i / 2)};
        }
        ColorMapObject* globalMap = GifMakeMapObject(colours, global.data());
        ColorMapObject* localMap = GifMakeMapObject(colours, local.data());
        EGifSetGifVersion(gif, true);
        EXPECT_EQ(EGifPutScreenDesc(gif, w, h, bits, 0, globalMap), GIF_OK);
        std::mt19937 rng(unsigned(w * 31 + bits));
        std::vector<GifPixelType> image(size_t(w) * h);
        for (int f = 0; f < frames; ++f) {
            GraphicsControlBlock gcb{DISPOSE_DO_NOT, false, 3 + f,
                                     f == 1 ? 0 : NO_TRANSPARENT_COLOR};
            GifByteType ext[4];
            EGifGCBToExtension(&gcb, ext);
            EXPECT_EQ(EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, ext), GIF_OK);
            for (size_t i = 0; i < image.size(); ++i)
                image[i] =
                    GifPixelType((i / 5) % 4 == 0 ? (i / 40 + f) % colours : rng() % colours);
            const bool interlaced = f == interlaceOn;
            EXPECT_EQ(
                EGifPutImageDesc(gif, 0, 0, w, h, interlaced, f == localOn ? localMap : nullptr),
                GIF_OK);
            static const int start[] = {0, 4, 2, 1}, step[] = {8, 8, 4, 2};
            for (int pass = interlaced ? 0 : 3; pass < 4; ++pass)
                for (int y = interlaced ? start[pass] : 0; y < h; y += interlaced ? step[pass] : 1)
                    EXPECT_EQ(EGifPutLine(gif, image.data() + size_t(y) * w, w), GIF_OK);
        }
        EXPECT_EQ(EGifCloseFile(gif, &error), GIF_OK);
        GifFreeMapObject(globalMap);
        GifFreeMapObject(localMap);
        return read(path(name));
    }

    static void expectSame(const QByteArray& data, size_t minFrames)
    {
        const GiflibFrames ref = giflibDecode(data);
        ASSERT_TRUE(ref.ok) << "giflib error " << ref.errorCode;
        const DecodedGif ours = decodeAll(data);
        ASSERT_EQ(ours.error, GifError::None) << gifErrorName(ours.error);
        ASSERT_EQ(ours.frames.size(), ref.frames.size());
        ASSERT_GE(ours.frames.size(), minFrames);
        for (size_t i = 0; i < ref.frames.size(); ++i) {
            SCOPED_TRACE(testing::Message() << "frame " << i);
            EXPECT_EQ(ours.frames[i].delayMs, ref.frames[i].delayMs);
            ASSERT_EQ(ours.frames[i].image.size(), ref.frames[i].image.size());
            EXPECT_TRUE(ours.frames[i].image == ref.frames[i].image);
            EXPECT_TRUE(ours.frames[i].mask == ref.frames[i].mask);
        }
    }
};

TEST_F(GifCorpus, ImageMagickFiles)
{
    struct Case
    {
        const char* name;
        QStringList args;
        size_t frames;
    };
    const Case cases[] = {
        {"transparency over an earlier frame",
         {"-dispose",
          "none",
          "-delay",
          "10",
          "-size",
          "60x40",
          "xc:red",
          "(",
          "-size",
          "60x40",
          "xc:none",
          "-fill",
          "blue",
          "-draw",
          "circle 30 20 30 5",
          ")",
          "(",
          "-size",
          "60x40",
          "xc:none",
          "-fill",
          "yellow",
          "-draw",
          "rectangle 2 2 20 12",
          ")",
          path("transp.gif")},
         3},
        {"disposal 2",
         {"-dispose",
          "background",
          "-delay",
          "7",
          "-size",
          "60x40",
          "xc:none",
          "-fill",
          "green",
          "-draw",
          "rectangle 5 5 30 30",
          "(",
          "-size",
          "60x40",
          "xc:none",
          "-fill",
          "blue",
          "-draw",
          "rectangle 20 10 50 35",
          ")",
          "(",
          "-size",
          "60x40",
          "xc:none",
          "-fill",
          "white",
          "-draw",
          "rectangle 0 0 10 10",
          ")",
          path("dispose2.gif")},
         3},
        {"interlaced frame",
         {"-seed", "7", "-size", "91x67", "plasma:fractal", "-colors", "64", "-interlace", "GIF",
          path("interlaced.gif")},
         1},
        {"photo with a full table and clear codes",
         {"-seed", "3", "-size", "320x240", "plasma:fractal", "-colors", "256", path("photo.gif")},
         1},
        {"noise with a full table and clear codes",
         {"-seed", "5", "-size", "200x150", "xc:", "+noise", "Random", "-colors", "256",
          path("noise.gif")},
         1},
        {"local palette on the middle frame only",
         {"-delay", "4", "-size", "32x32", "gradient:red-blue", "(", "-size", "32x32",
          "gradient:green-yellow", ")", "(", "-size", "32x32", "gradient:red-blue", ")",
          path("local.gif")},
         3},
        {"two colours",
         {"-size", "33x17", "pattern:checkerboard", "-monochrome", path("mono.gif")},
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        expectSame(convert(c.args), c.frames);
    }
}

TEST_F(GifCorpus, GiflibFilesWithEveryCodeSize)
{
    // giflib writes the minimum code size from the palette: 2 for 2 and 4
    // colours, then 3..8.
    for (int bits = 1; bits <= 8; ++bits) {
        SCOPED_TRACE(testing::Message() << bits << " bits per pixel");
        expectSame(giflibWrite(QStringLiteral("bits%1.gif").arg(bits), 37, 23, bits, 3, 2, 1), 3);
    }
}

TEST_F(GifCorpus, GiflibLargeTableLocalPaletteInterlace)
{
    // 256 colours of noise fill the 4096-entry table many times over, and
    // giflib's encoder clears it each time.
    // The local palette goes on the last frame: giflib 5.2 loses the copy of
    // a local palette when a frame without one follows.
    expectSame(giflibWrite(QStringLiteral("big.gif"), 301, 203, 8, 3, 2, 1), 3);
}

TEST_F(GifCorpus, TruncatedFileFailsInBoth)
{
    const QByteArray whole = convert(
        {"-seed", "3", "-size", "120x90", "plasma:fractal", "-colors", "128", path("cut.gif")});
    struct Cut
    {
        qsizetype at;
        size_t frames; // decoded before the cut
    };
    for (const Cut& cut : {Cut{20, 0}, Cut{whole.size() / 2, 0}, Cut{whole.size() - 1, 1}}) {
        SCOPED_TRACE(testing::Message() << "cut at " << cut.at);
        const QByteArray part = whole.left(cut.at);
        EXPECT_FALSE(giflibDecode(part).ok);
        const DecodedGif ours = decodeAll(part);
        EXPECT_EQ(ours.error, GifError::Truncated) << gifErrorName(ours.error);
        EXPECT_EQ(ours.frames.size(), cut.frames);
    }
}

TEST_F(GifCorpus, ProgramAnimations)
{
    // The sixteen animations the asset generator writes for the main window:
    // each decodes alike in both, animates, and has a transparent surround.
    struct Case
    {
        const char* name;
        QSize size;
    };
    const Case cases[] = {
        {"gifctl1_0.gif", {60, 60}}, {"gifctl1_1.gif", {60, 60}}, {"gifctl1_2.gif", {60, 60}},
        {"gifctl1_3.gif", {60, 60}}, {"gifctl2.gif", {64, 64}},   {"gifctl3.gif", {44, 42}},
        {"gifctl4.gif", {32, 32}},   {"gifctl5.gif", {32, 32}},   {"gifctl6.gif", {44, 40}},
        {"gifctl7.gif", {32, 32}},   {"gifctl8.gif", {40, 40}},   {"gifctl9.gif", {28, 28}},
        {"gifctl10.gif", {28, 28}},  {"gifctl11.gif", {28, 28}},  {"gifctl12.gif", {28, 28}},
        {"gifctl13.gif", {56, 56}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QByteArray data = read(QStringLiteral(QUILL_ASSET_DIR "/") + c.name);
        expectSame(data, 4);
        const DecodedGif d = decodeAll(data);
        ASSERT_FALSE(d.frames.empty());
        EXPECT_EQ(d.frames[0].image.size(), c.size);
        EXPECT_FALSE(opaqueAt(d.frames[0].mask, 0, 0)); // corners see the device
        bool moves = false;
        for (size_t i = 1; i < d.frames.size(); ++i) {
            moves = moves || d.frames[i].image != d.frames[0].image;
            EXPECT_GT(d.frames[i].delayMs, 0);
        }
        EXPECT_TRUE(moves);
    }
}

} // namespace
