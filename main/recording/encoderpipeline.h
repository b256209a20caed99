#pragma once

#include "encoderjob.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

class QTimer;

// Turns saved recordings into finished MP3 files. Each note is its own job
// (EncoderJob) with its own folder in the scratch folder; the pipeline makes
// those folders, starts the jobs, watches them once a second (`Timer3`, on
// while any job runs; each job also reacts to its encoder's exit) and tells
// the window about each result. At start-up it finishes the jobs an earlier
// run left behind.
class EncoderPipeline : public QObject
{
    Q_OBJECT
public:
    static const QString kAlbum;          // "Ola-Brenvik"
    static const QString kDefaultComment; // "Без_комментарий."

    // What the window hands over when a recording is saved.
    struct Note
    {
        QString folder;        // from newNoteFolder(), holding test.wav
        QString comment;       // txtKoment
        bool intoFile = false; // "record into a file": the note goes to saveTarget + ".mp3"
        QString saveTarget;
        QString imyFileMp3; // otherwise: Media/ and its last 25 characters
        bool deviceFailed = false;
        QString repeat; // a task's repeat rule as its file keeps it, or empty
    };

    // `driveRoot` is the scratch folder with its trailing '/'.
    EncoderPipeline(const QString& programFolder, const QString& driveRoot,
                    QObject* parent = nullptr);
    // Jobs still running get a few seconds to end and are finished; what
    // does not end in time is left to the next start.
    ~EncoderPipeline() override;

    // The comment the encoder gets for the text of txtKoment.
    static QString commentFor(const QString& text);
    // The encoder's argument list (the exact option line, one argument each).
    static QStringList encoderArguments(const QString& comment, const QString& input,
                                        const QString& output);

    // A new, empty folder for one note ("note-<n>/" in the scratch folder,
    // made again when it has gone); empty when none can be made.
    QString newNoteFolder() const;
    // The same in any scratch folder (`driveRoot` ends with '/'): the command
    // line's notes live beside the window's, so a start-up finishes them too.
    static QString makeNoteFolder(const QString& driveRoot);
    // Starts the note's job and the watch.
    void startEncoder(const Note& note);
    // Finishes every job an earlier run left in the scratch folder (not the
    // ones another live process owns); the hint names the notes that could
    // not be finished first, then the folders it cannot finish (once), then
    // the notes recovered.
    void recoverUnfinished();
    // One watch tick (Timer3) over all jobs; public so tests can step it.
    void tick();

    bool isWatching() const;
    int jobsInFlight() const { return int(m_jobs.size()); }
    QTimer* timer3() const { return m_timer3; }

signals:
    // At the start of a note's job: the task field is free for the next one.
    void imyFileMp3Reset(const QString& driveRoot);
    // In this order when a note's job ends (saved or not):
    void controlButtonNormal();            // picOK item 0 to the front
    void hintChanged(const QString& text); // lbHelp: "Запись сохранена." or the trouble
    void menuRequested();                  // fraMeny to the front
    // Then one of these:
    void saved(const QString& path);
    void failed(const QString& reason);

private:
    void adopt(EncoderJob* job, bool recovered);
    void recoveryEnded(EncoderJob* job, const EncoderJob::Result& result);
    void tellRecovery();

    QString m_programFolder;
    QString m_driveRoot;
    QTimer* m_timer3;
    QList<EncoderJob*> m_jobs;
    int m_recoveriesLeft = 0;
    QStringList m_recovered;
    QStringList m_notRecovered;
    QStringList m_unfinished; // note folders without a journal, told once
};
