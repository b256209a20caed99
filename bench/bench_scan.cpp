// Vestrel's minute scan of Media/ with 100, 10,000 and 100,000 task files:
// the time of one whole scan and the time per file ("per_file"), against its
// floor, a bare readdir of the same folder (goal: at most twice as long).
#include "benchrows.h"
#include "duescan.h"
#include "taskname.h"
#include "testclock.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <dirent.h>
#include <unistd.h>

#include <map>
#include <memory>

namespace {

// One Media folder per size, made once: tasks spread over the coming days,
// none of them due, so every name is read and judged.
const QString& mediaWith(int files)
{
    static std::map<int, std::unique_ptr<QTemporaryDir>> folders;
    static std::map<int, QString> paths;
    auto& dir = folders[files];
    if (!dir) {
        dir = std::make_unique<QTemporaryDir>();
        const QDate first(2027, 1, 1);
        for (int i = 0; i < files; ++i) {
            const QDate day = first.addDays(i / 86400);
            const int s = i % 86400;
            const QString name = TaskName::dateText(day) + QLatin1Char(' ') +
                                 TaskName::twoDigits(s / 3600) + QChar(0x0447) + QLatin1Char(' ') +
                                 TaskName::twoDigits(s / 60 % 60) + QChar(0x043C) +
                                 QLatin1Char(' ') + TaskName::twoDigits(s % 60) +
                                 QStringLiteral(".mp3");
            QFile f(dir->path() + QLatin1Char('/') + name);
            if (!f.open(QIODevice::WriteOnly))
                break;
        }
        paths[files] = dir->path() + QLatin1Char('/');
    }
    return paths[files];
}

void BM_ScanDueTasks(benchmark::State& state)
{
    const int files = int(state.range(0));
    const QString& media = mediaWith(files);
    const TestClock clock(QDateTime(QDate(2026, 12, 7), QTime(14, 30, 0)));
    const DueScan scan(clock);
    for (auto _ : state) {
        const ScanResult r = scan.ScanDueTasks(media, QStringLiteral("*.mp3*"));
        if (r.scanned != files || r.alert || r.badNames != 0)
            state.SkipWithError("the scan did not see every task");
        benchmark::DoNotOptimize(r);
    }
    state.counters["per_file"] = benchmark::Counter(
        double(files), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ScanDueTasks)->Arg(100)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// The floor: every name of the folder read and counted, nothing judged.
void BM_BareReaddir(benchmark::State& state)
{
    const int files = int(state.range(0));
    const QByteArray media = QFile::encodeName(mediaWith(files));
    for (auto _ : state) {
        DIR* dir = opendir(media.constData());
        int names = 0;
        while (const dirent* d = readdir(dir))
            names += d->d_name[0] != '.';
        closedir(dir);
        if (names != files)
            state.SkipWithError("readdir did not see every file");
    }
}
BENCHMARK(BM_BareReaddir)->Arg(100)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    // All folders are made before the first run, so no run pays for the
    // writing of another's files.
    for (int files : {100, 10000, 100000})
        mediaWith(files);
    sync();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    // Processor time: on a shared machine the wall clock says more about the
    // neighbours than about the scan.
    for (const char* size : {"100", "10000", "100000"}) {
        const std::string ours = std::string("BM_ScanDueTasks/") + size;
        const std::string floor = std::string("BM_BareReaddir/") + size;
        if (reporter.has(ours) && reporter.has(floor))
            printRow(std::string("watcher minute pass, ") + size + " tasks (vs readdir)",
                     timeText(reporter.cpu[ours]), timeText(reporter.cpu[floor]),
                     reporter.cpu[ours] / reporter.cpu[floor], 2.0);
    }
    benchmark::Shutdown();
    return 0;
}
