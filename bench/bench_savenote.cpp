// From the press of Stop to "Запись сохранена." for a 60 s note: the stop's
// own wait, saving the WAV, the real lame, the tag and the move into Media.
// The recorder's save is stood in for by a copy of a prepared 60 s WAV.
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

static void BM_StopToSaved60s(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString program = dir.filePath(QStringLiteral("program"));
    const QString scratch = dir.filePath(QStringLiteral("cache")) + QLatin1Char('/');
    QDir().mkpath(program + QStringLiteral("/Media"));
    QDir().mkpath(scratch);
    const QString lame = QStandardPaths::findExecutable(QStringLiteral("lame"));
    const QString sox = QStandardPaths::findExecutable(QStringLiteral("sox"));
    if (lame.isEmpty() || sox.isEmpty()) {
        state.SkipWithError("lame and sox are needed");
        return;
    }
    QFile::link(lame, program + QStringLiteral("/lame"));
    // Speech-like: a tone whose level wanders, 60 s, 16-bit mono 22050 Hz.
    const QString sample = dir.filePath(QStringLiteral("sample.wav"));
    QProcess::execute(sox, {"-n", "-r", "22050", "-c", "1", "-b", "16", sample, "synth", "60",
                            "sine", "180-420", "tremolo", "3", "80", "vol", "0.5"});

    TestClock clock(QDateTime(QDate(2026, 12, 7), QTime(14, 28, 30)));
    EncoderPipeline pipeline(program, scratch);
    RecordingPanel panel(
        clock, nullptr,
        [&](const QString& command) {
            if (command.startsWith(QLatin1String("save mywav ")))
                QFile::copy(sample, command.mid(11));
            return 0;
        },
        scratch);
    panel.setNoteFolderSource([&] { return pipeline.newNoteFolder(); });
    QObject::connect(&panel, &RecordingPanel::encoderRequested, &pipeline,
                     [&](const QString& comment, const QString& folder, bool failed) {
                         pipeline.startEncoder(
                             {folder,
                              comment,
                              false,
                              {},
                              scratch + QStringLiteral("07.12.2026 14ч 30м 05.mp3"),
                              failed});
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
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        QObject::disconnect(c);
        if (saved.isEmpty()) {
            state.SkipWithError("the note was not saved");
            break;
        }
        QFile::remove(saved);
    }
}
BENCHMARK(BM_StopToSaved60s)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
