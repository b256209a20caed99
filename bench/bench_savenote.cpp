// From the press of Stop to "Запись сохранена." for a 60 s note: saving the
// WAV, the real lame, the tag and the move into Media, against lame alone on
// the same WAV in the same run (goal: at most twice). The stop first waits a
// second while the recorder takes the last words in; that wait is timed on
// its own and shown beside ours, not counted in the ratio. The recorder's
// save is stood in for by a copy of a prepared 60 s WAV.
#include "benchrows.h"
#include "encoderjob.h"
#include "encoderpipeline.h"
#include "recordingpanel.h"
#include "testclock.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <QThread>

namespace {

QString g_sample; // the prepared 60 s WAV
QString g_lame;
double g_waitSeconds = 0; // the stop's own wait, per press

bool prepare(const QTemporaryDir& dir)
{
    g_lame = QStandardPaths::findExecutable(QStringLiteral("lame"));
    const QString sox = QStandardPaths::findExecutable(QStringLiteral("sox"));
    if (g_lame.isEmpty() || sox.isEmpty())
        return false;
    // Speech-like: a tone whose level wanders, 60 s, 16-bit mono 22050 Hz.
    g_sample = dir.filePath(QStringLiteral("sample.wav"));
    return QProcess::execute(sox, {"-n", "-r", "22050", "-c", "1", "-b", "16", g_sample, "synth",
                                   "60", "sine", "180-420", "tremolo", "3", "80", "vol", "0.5"}) ==
           0;
}

void BM_StopToSaved60s(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString program = dir.filePath(QStringLiteral("program"));
    const QString scratch = dir.filePath(QStringLiteral("cache")) + QLatin1Char('/');
    QDir().mkpath(program + QStringLiteral("/Media"));
    QDir().mkpath(scratch);
    QFile::link(g_lame, program + QStringLiteral("/lame"));

    TestClock clock(QDateTime(QDate(2026, 12, 7), QTime(14, 28, 30)));
    EncoderPipeline pipeline(program, scratch);
    RecordingPanel panel(
        clock, nullptr,
        [&](const QString& command) {
            if (command.startsWith(QLatin1String("save mywav ")))
                QFile::copy(g_sample, command.mid(11));
            return 0;
        },
        scratch);
    qint64 waited = 0;
    panel.setBlockingWait([&waited](int ms) {
        QElapsedTimer t;
        t.start();
        QThread::msleep(ulong(ms));
        waited += t.nsecsElapsed();
    });
    panel.setNoteFolderSource([&] { return pipeline.newNoteFolder(); });
    QObject::connect(&panel, &RecordingPanel::encoderRequested, &pipeline,
                     [&](const QString& comment, const QString& folder, bool failed) {
                         pipeline.startEncoder(
                             {folder,
                              comment,
                              false,
                              {},
                              scratch + QStringLiteral("07.12.2026 14ч 30м 05.mp3"),
                              failed,
                              {}});
                     });
    for (auto _ : state) {
        QEventLoop loop;
        QString saved;
        const auto c =
            QObject::connect(&pipeline, &EncoderPipeline::saved, &loop, [&](const QString& path) {
                saved = path;
                loop.quit();
            });
        QTimer::singleShot(30000, &loop, &QEventLoop::quit);
        panel.pressRecord();
        QElapsedTimer timer;
        timer.start();
        panel.pressStop();
        loop.exec();
        state.SetIterationTime(double(timer.nsecsElapsed() - waited) / 1e9);
        g_waitSeconds = double(waited) / 1e9;
        waited = 0;
        QObject::disconnect(c);
        if (saved.isEmpty()) {
            state.SkipWithError("the note was not saved");
            break;
        }
        QFile::remove(saved);
    }
}
// The floor: lame alone, started the same way, with the same arguments.
void BM_LameAlone60s(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("out.mp3"));
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        QProcess p;
        p.setStandardOutputFile(QProcess::nullDevice());
        p.setStandardErrorFile(QProcess::nullDevice());
        p.start(g_lame,
                EncoderJob::encoderArguments(QStringLiteral("Без_комментарий."), g_sample, out));
        const bool ok = p.waitForFinished(30000) && p.exitCode() == 0;
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        if (!ok) {
            state.SkipWithError("lame failed");
            break;
        }
        QFile::remove(out);
    }
}

} // namespace

BENCHMARK(BM_StopToSaved60s)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_LameAlone60s)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    QTemporaryDir dir;
    if (!prepare(dir)) {
        std::printf("bench_savenote: lame and sox are needed; nothing measured\n");
        return 0;
    }
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const std::string ours = "BM_StopToSaved60s/iterations:3/manual_time",
                      floor = "BM_LameAlone60s/iterations:3/manual_time";
    if (reporter.has(ours) && reporter.has(floor))
        printRow("stop -> \"Запись сохранена.\", 60 s note (vs lame alone)",
                 timeText(reporter.real[ours]) + " + " + timeText(g_waitSeconds) + " wait",
                 timeText(reporter.real[floor]), reporter.real[ours] / reporter.real[floor], 2.0);
    benchmark::Shutdown();
    return 0;
}
