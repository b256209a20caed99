#pragma once

#include "notefile.h"
#include "notejournal.h"

#include <QObject>
#include <QString>

class QProcess;

// One note on its way from its saved WAV to its place: its own folder in the
// scratch folder (test.wav, the encoder's output, the journal), its own
// encoder process, its own result. A job runs to its end whatever the window
// does next; several can be in flight.
//
// The encoder is `lame` from the program folder. The job is finished when
// the encoder has exited and its output ends with an ID3v1 tag; the comment
// is then written into the tag in Windows-1251 and the file is moved into
// place without ever replacing a file or leaving half of one. Until then the
// folder and its journal stay, and the next start finishes the job.
class EncoderJob : public QObject
{
    Q_OBJECT
public:
    static const QString kWav;      // "test.wav"
    static const QString kOutput;   // "Z.mp3": the encoder's output
    static const QString kRecovery; // "R.mp3": the output of an encoding at start-up

    struct Result
    {
        enum class Outcome { Saved, Failed, NoSound, Dropped };
        Outcome outcome = Outcome::Failed;
        QString hint;        // for lbHelp
        QString path;        // Saved: where the note is now
        QString reason;      // Failed: the cause alone, without where the note is kept
        bool silent = false; // Saved: the recording seems to hold only silence
    };

    // What a start-up does with a job an earlier run left.
    enum class Recovery {
        Skip,   // no readable journal: not a job, left alone
        Place,  // a tagged MP3 no older than the WAV: tag and move it
        Encode, // the MP3 is missing, untagged or older: encode the WAV again
        Drop,   // no recording left at all: remove the folder
        Done,   // already in place (killed before it cleaned up): remove the folder
    };
    struct RecoveryPlan
    {
        Recovery step = Recovery::Skip;
        QString mp3; // Place: which output
    };
    static RecoveryPlan planRecovery(const QString& folder);

    // `folder` ends with '/'. `lock`: the folder's lock when the caller has
    // it already; otherwise the job takes it.
    EncoderJob(const QString& programFolder, const QString& folder, const NoteJournal& journal,
               QObject* parent = nullptr, NoteFile::FolderLock lock = {});
    ~EncoderJob() override;

    // A fresh recording: a WAV without a single frame ends the job at once
    // (nothing is encoded or moved, the folder goes); otherwise the journal
    // is written and the encoder starts. `deviceFailed`: the recording
    // device could not be opened, for the hint.
    void start(bool deviceFailed);
    // A job of an earlier run, as planRecovery decides.
    void resume();
    // One look at the encoder (the watch tick, and the encoder's exit).
    void check();
    // Gives a running encoder up to `ms` to end and finishes the job;
    // otherwise stops it (the journal stays for the next start).
    void settle(int ms);

    bool hasEnded() const { return m_ended; }
    QString folder() const { return m_folder; }
    const NoteJournal& journal() const { return m_journal; }
    // The note's name as the user knows it (task name or file name).
    QString noteName() const;

    static QStringList encoderArguments(const QString& comment, const QString& input,
                                        const QString& output);

signals:
    void ended(const EncoderJob::Result& result);

private:
    void startEncoder(const QString& output);
    void place(const QString& mp3);
    void fail(const QString& reason, const QString& keptAt = QString());
    void end(Result result);
    QString kept() const;

    QString m_programFolder;
    QString m_folder;
    NoteJournal m_journal;
    NoteFile::FolderLock m_lock;
    QProcess* m_process = nullptr;
    QString m_output;
    bool m_silent = false;
    bool m_ended = false;
};
