// The alarm player proper, loaded by Tinkra's first stage (tinkra.cpp) with
// what it began meanwhile (alarmprelude.h).
#include "alarmprelude.h"
#include "alarmstart.h"
#include "alarmwindow.h"
#include "clock.h"
#include "display.h"
#include "duenotes.h"
#include "mci.h"
#include "notevoice.h"
#include "paths.h"
#include "shortpath.h"
#include "shutdownsignals.h"
#include "suiteoptions.h"
#include "tinkraarguments.h"

#include <QCoreApplication>
#include <QFile>
#include <QTimer>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <type_traits>

namespace {

// The tray's "Прослушать": the note at the user's own volume, beside
// whatever else plays; 1 when it could not be played.
int playNoteAlone(const QString& file, int argc, char** argv)
{
    ShutdownSignals::catchEarly();
    QCoreApplication app(argc, argv);
    ShutdownSignals stopRequests;
    QObject::connect(&stopRequests, &ShutdownSignals::received, &app,
                     [] { QCoreApplication::exit(0); });
    NoteVoice voice({file}, 0, mciSendString, mciIsPlaying, ShortPath);
    QObject::connect(&voice, &NoteVoice::finished, &app,
                     [&voice] { QCoreApplication::exit(voice.played() > 0 ? 0 : 1); });
    QTimer::singleShot(0, &voice, &NoteVoice::start);
    return QCoreApplication::exec();
}

} // namespace

extern "C" Q_DECL_EXPORT int tinkraPlayerMain1(int argc, char** argv, AlarmPrelude* prelude)
{
    static_assert(std::is_same_v<decltype(&tinkraPlayerMain1), TinkraPlayerMain>);
    const TinkraArguments arguments = TinkraArguments::parse(argc, argv);
    if (!arguments.error.isEmpty()) {
        std::fprintf(stderr, "Tinkra: %s\n", qPrintable(arguments.error));
        return 2;
    }
    if (!arguments.noteFile.isEmpty())
        return playNoteAlone(arguments.noteFile, argc, argv);

    // Before the mixer is touched: a kill or a logout from here on ends the
    // alarm the orderly way (once the event loop runs).
    ShutdownSignals::catchEarly();
    const QString ownFolder = Paths::programFolder();
    // Begun by the first stage, unless it took the arguments for another use.
    prelude->begin(QFile::encodeName(ownFolder).toStdString());
    // The lock, the mixer and the sound first; the window can wait for them.
    AlarmStart start(ownFolder, *prelude);
    const AlarmStart::Result& started = start.result();
    if (started.alreadyRunning) {
        std::string unused;
        prelude->display.usable(0, &unused); // not left behind
        return 0;
    }
    // Whether a bar can be shown here is asked meanwhile, of a child.
    prelude->lookAtDisplay(argc, argv);
    if (!started.lockProblem.isEmpty())
        std::fprintf(stderr, "Tinkra: playing without the single-instance lock: %s\n",
                     qPrintable(started.lockProblem));

    // Without its window the alarm still sounds for its five seconds and
    // puts the mixer back: a reminder heard is what matters.
    AlarmWindowModule window;
    std::string displayProblem;
    const bool loaded = window.load(ownFolder);
    const bool windowed = prelude->display.usable(10000, &displayProblem) && loaded;
    const QString noBar = loaded ? QString::fromStdString(displayProblem) : window.error();
    if (!windowed)
        std::fprintf(stderr, "Tinkra: the alarm bar cannot be shown: %s\n", qPrintable(noBar));
    std::unique_ptr<QCoreApplication> app(windowed ? window.createApplication(&argc, argv)
                                                   : new QCoreApplication(argc, argv));
    loadQtTranslations();
    QCoreApplication::setApplicationName(QStringLiteral("Tinkra"));
    ShutdownSignals stopRequests;
    AlarmWindowContent content;
    content.errorText = started.error != 0 ? mciErrorText(started.error) : QString();
    content.errorDetail = started.detail;
    if (!windowed && started.error != 0)
        std::fprintf(stderr, "Tinkra: %s %s\n", qPrintable(content.errorText),
                     qPrintable(started.detail));

    // The user's settings go back at once, then the program ends, which
    // ends the sound.
    AlarmSound& sound = start.sound();
    const auto end = [&] {
        sound.RestoreSound();
        QCoreApplication::exit(0);
    };
    QObject::connect(&stopRequests, &ShutdownSignals::received, app.get(), end);

    // What is due, looked up only now that the chime plays.
    const QString programFolder = DueNotes::programFolderOf(ownFolder);
    const QStringList due = DueNotes::find(programFolder, Clock::system().now());
    content.noteCaption = DueNotes::caption(due);
    const bool speak = !due.isEmpty() && SuiteOptions::read(programFolder).voiceAfterChime;
    NoteVoice voice(speak ? due.mid(0, DueNotes::MaxSpoken) : QStringList(), DueNotes::MaxSpokenMs,
                    mciSendString, mciIsPlaying, ShortPath);
    QObject::connect(&voice, &NoteVoice::finished, app.get(), end);
    // After the five seconds: the end, or the notes with the speakers still up.
    content.timeUp = [&] {
        if (!speak)
            return end();
        mciSendString(AlarmSound::stopCommand(ownFolder));
        voice.start();
    };

    std::unique_ptr<QObject> bar;
    if (windowed)
        bar.reset(window.showWindow(&content));
    else
        QTimer::singleShot(AlarmWindowModule::AlarmMs, Qt::PreciseTimer, app.get(), content.timeUp);
    if (speak)
        voice.cue();
    const int rc = QCoreApplication::exec();
    // However the loop ended (the session manager may end it too).
    sound.RestoreSound();
    return rc;
}
