// Parsing and classifying task names: the work Vestrel does for every file
// of Media/ once a minute.
#include "taskname.h"

#include <benchmark/benchmark.h>

#include <QDateTime>

static void BM_ParseAndClassify(benchmark::State& state)
{
    const QString name = QStringLiteral("31.12.2026 23ч 59м 05.mp3");
    const QDateTime now(QDate(2026, 12, 7), QTime(14, 30, 0));
    for (auto _ : state) {
        const auto parsed = TaskName::parse(name);
        benchmark::DoNotOptimize(parsed && TaskName::isDue(*parsed, now));
    }
}
BENCHMARK(BM_ParseAndClassify);

static void BM_RejectBadName(benchmark::State& state)
{
    const QString name = QStringLiteral("holiday photo.mp3.bak");
    for (auto _ : state)
        benchmark::DoNotOptimize(TaskName::parse(name).has_value());
}
BENCHMARK(BM_RejectBadName);

BENCHMARK_MAIN();
