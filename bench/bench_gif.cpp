// Decoding every frame of a GIF: the suite's own decoder against giflib
// (DGifSlurp plus the same compositing), on the program's own animations and
// on a 640 x 480 photo-like GIF made by ImageMagick at start. After the runs
// the ratio ours / giflib is printed for both sets (below 1: ours is faster).
#include "clsgif.h"
#include "giflibreference.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

std::vector<QByteArray> g_programGifs;
QByteArray g_photo;

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool loadInputs()
{
    const QDir art(QStringLiteral(QUILL_ASSET_DIR));
    for (const QString& name : art.entryList({QStringLiteral("gifctl*.gif")}, QDir::Files))
        g_programGifs.push_back(readFile(art.filePath(name)));
    QTemporaryDir tmp;
    const QString photo = tmp.filePath(QStringLiteral("photo.gif"));
    QProcess convert;
    convert.start(QStringLiteral(QUILL_CONVERT),
                  {"-seed", "11", "-size", "640x480", "plasma:fractal", "-blur", "0x1", "(",
                   "-size", "640x480", "plasma:fractal", "-blur", "0x1", ")", "(", "-size",
                   "640x480", "plasma:fractal", "-blur", "0x1", ")", "-colors", "256", "-delay",
                   "10", photo});
    convert.waitForFinished(120000);
    g_photo = readFile(photo);
    if (g_programGifs.size() != 16 || g_photo.isEmpty()) {
        std::fprintf(stderr, "inputs missing: %zu program GIFs, photo %lld bytes\n",
                     g_programGifs.size(), qlonglong(g_photo.size()));
        return false;
    }
    return true;
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

void BM_Ours_ProgramGifs(benchmark::State& state)
{
    for (auto _ : state)
        for (const QByteArray& gif : g_programGifs)
            benchmark::DoNotOptimize(decodeOurs(gif));
}

void BM_Giflib_ProgramGifs(benchmark::State& state)
{
    for (auto _ : state)
        for (const QByteArray& gif : g_programGifs)
            benchmark::DoNotOptimize(decodeGiflib(gif));
}

void BM_Ours_Photo640x480(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(decodeOurs(g_photo));
}

void BM_Giflib_Photo640x480(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(decodeGiflib(g_photo));
}

BENCHMARK(BM_Ours_ProgramGifs);
BENCHMARK(BM_Giflib_ProgramGifs);
BENCHMARK(BM_Ours_Photo640x480);
BENCHMARK(BM_Giflib_Photo640x480);

// Keeps the processor time per iteration of every run for the ratios (the
// wall clock of a shared machine says more about the neighbours).
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    std::map<std::string, double> perIteration;
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& r : runs)
            if (r.iterations > 0)
                perIteration[r.benchmark_name()] = r.cpu_accumulated_time / double(r.iterations);
        ConsoleReporter::ReportRuns(runs);
    }
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (!loadInputs())
        return 1;
    if (decodeOurs(g_photo) != 3 || decodeGiflib(g_photo) != 1) {
        std::fprintf(stderr, "the photo GIF does not decode\n");
        return 1;
    }
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (const char* set : {"ProgramGifs", "Photo640x480"}) {
        const auto ours = reporter.perIteration.find(std::string("BM_Ours_") + set);
        const auto ref = reporter.perIteration.find(std::string("BM_Giflib_") + set);
        if (ours != reporter.perIteration.end() && ref != reporter.perIteration.end())
            std::printf("ratio ours/giflib %s: %.2f\n", set, ours->second / ref->second);
    }
    return 0;
}
