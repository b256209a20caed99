// Decoding every frame of a GIF: the suite's own decoder against giflib
// (DGifSlurp plus the same compositing), file by file: each of the program's
// animations, then pictures made by ImageMagick at start: a 640 x 480
// photo, the same dithered (Floyd-Steinberg, fine detail), a three-frame
// photo, a 60-frame 480 x 360 animation optimised to the parts that move, and
// a 90 x 90 button. A row per
// file gives ours / giflib (goal: at most 0.5, twice giflib's speed).
#include "benchrows.h"
#include "clsgif.h"
#include "giflibreference.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace {

std::vector<std::pair<std::string, QByteArray>> g_files;

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray convert(const QTemporaryDir& tmp, const char* name, QStringList args)
{
    const QString out = tmp.filePath(QString::fromLatin1(name));
    args << out;
    QProcess p;
    p.start(QStringLiteral(QUILL_CONVERT), args);
    p.waitForFinished(120000);
    return readFile(out);
}

bool loadInputs()
{
    const QDir art(QStringLiteral(QUILL_ASSET_DIR));
    for (const QString& name : art.entryList({QStringLiteral("gifctl*.gif")}, QDir::Files))
        g_files.emplace_back(name.toStdString(), readFile(art.filePath(name)));
    const size_t program = g_files.size();
    QTemporaryDir tmp;
    const QStringList plasma = {"-size", "640x480", "plasma:fractal", "-blur", "0x1"};
    g_files.emplace_back("photo 640x480", convert(tmp, "photo1.gif",
                                                  QStringList{"-seed", "11"} + plasma +
                                                      QStringList{"-colors", "256"}));
    g_files.emplace_back("photo 640x480, 3 frames",
                         convert(tmp, "photo3.gif",
                                 QStringList{"-seed", "11"} + plasma + QStringList{"("} + plasma +
                                     QStringList{")", "("} + plasma +
                                     QStringList{")", "-colors", "256", "-delay", "10"}));
    // What people's GIFs mostly are: a photo dithered to 256 colours, its
    // fine detail kept, and an animation whose frames carry only what moved.
    g_files.emplace_back("photo 640x480, dithered",
                         convert(tmp, "dithered.gif",
                                 {"-seed", "11", "-size", "640x480", "plasma:fractal", "-dither",
                                  "FloydSteinberg", "-colors", "256"}));
    QStringList animation = {"-seed",  "7",      "-size",   "480x360", "plasma:fractal",
                             "-write", "mpr:bg", "+delete", "-delay",  "4"};
    for (int i = 0; i < 60; ++i) {
        const int x = 40 + i * 6, y = 60 + i * 37 % 240, bar = 400 - i * 5;
        animation << "("
                  << "mpr:bg"
                  << "-fill"
                  << "#e03030"
                  << "-draw" << QStringLiteral("circle %1,%2 %3,%2").arg(x).arg(y).arg(x + 24)
                  << "-fill"
                  << "white"
                  << "-draw" << QStringLiteral("rectangle %1,300 %2,330").arg(bar).arg(bar + 40)
                  << ")";
    }
    animation << "-layers"
              << "Optimize";
    g_files.emplace_back("animation 480x360, 60 optimised frames",
                         convert(tmp, "animation.gif", animation));
    g_files.emplace_back("button 90x90",
                         convert(tmp, "button.gif",
                                 {"-size", "90x90", "xc:none", "-fill", "#3a7bd5", "-draw",
                                  "roundrectangle 2,2 87,87 14,14", "-fill", "#a8d0ff", "-draw",
                                  "roundrectangle 8,8 81,40 10,10", "-fill", "white", "-draw",
                                  "circle 45,58 45,72", "-colors", "64"}));
    bool ok = program == 16;
    for (const auto& [name, data] : g_files)
        ok = ok && !data.isEmpty();
    if (!ok)
        std::fprintf(stderr, "inputs missing: %zu program GIFs, or a made file is empty\n",
                     program);
    return ok;
}

int decodeOurs(const QByteArray& data)
{
    clsGIF gif;
    gif.setGIFdata(data);
    if (gif.Reset() != GifError::None)
        return -1;
    int frames = 0;
    while (std::optional<QImage> frame = gif.NextFrame()) {
        benchmark::DoNotOptimize(frame->constBits());
        ++frames;
    }
    return gif.error() == GifError::None ? frames : -1;
}

int decodeGiflib(const QByteArray& data)
{
    const GiflibFrames f = giflibDecode(data, false);
    return f.ok ? 1 : -1;
}

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (!loadInputs())
        return 1;
    for (const auto& [name, data] : g_files) {
        if (decodeOurs(data) < 1 || decodeGiflib(data) != 1) {
            std::fprintf(stderr, "%s does not decode\n", name.c_str());
            return 1;
        }
        const QByteArray* file = &data;
        benchmark::RegisterBenchmark(("Ours/" + name).c_str(), [file](benchmark::State& state) {
            for (auto _ : state)
                benchmark::DoNotOptimize(decodeOurs(*file));
        });
        benchmark::RegisterBenchmark(("Giflib/" + name).c_str(), [file](benchmark::State& state) {
            for (auto _ : state)
                benchmark::DoNotOptimize(decodeGiflib(*file));
        });
    }
    // Processor time per decode: the wall clock of a shared machine says
    // more about the neighbours.
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (const auto& [name, data] : g_files) {
        const std::string ours = "Ours/" + name, ref = "Giflib/" + name;
        if (reporter.has(ours) && reporter.has(ref))
            printRow("GIF decode " + name + " (vs giflib)", timeText(reporter.cpu[ours]),
                     timeText(reporter.cpu[ref]), reporter.cpu[ours] / reporter.cpu[ref], 0.5);
    }
    benchmark::Shutdown();
    return 0;
}
