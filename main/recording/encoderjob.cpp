#include "encoderjob.h"

#include "durablefile.h"
#include "id3v1patch.h"
#include "id3v2.h"
#include "notefile.h"
#include "repeatrule.h"
#include "taskname.h"
#include "textcodec.h"
#include "wavsummary.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <cerrno>
#include <sys/statvfs.h>

const QString EncoderJob::kWav = QStringLiteral("test.wav");
const QString EncoderJob::kOutput = QStringLiteral("Z.mp3");
const QString EncoderJob::kRecovery = QStringLiteral("R.mp3");

namespace {

const QString kAlbum = QStringLiteral("Ola-Brenvik");

QString shown(const QString& path)
{
    return DurableFile::shown(path);
}

// The tag's comment field as the job writes it.
QByteArray commentField(const QString& comment)
{
    QByteArray field = Cp1251::encode(comment).left(Id3v1Patch::kFieldSize);
    return field + QByteArray(Id3v1Patch::kFieldSize - field.size(), '\0');
}

// A finished note of this job: tagged, with the job's comment.
bool isTheNote(const QString& path, const QString& comment)
{
    const QFileInfo info(path);
    if (info.isSymLink() || !info.isFile() || !Id3v1Patch::hasTag(path))
        return false;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly) || !f.seek(f.size() - Id3v1Patch::kTagSize))
        return false;
    return f.read(Id3v1Patch::kTagSize).mid(Id3v1Patch::kCommentOffset, Id3v1Patch::kFieldSize) ==
           commentField(comment);
}

// An encoder that failed where the disk has no room left for its output.
bool diskFull(const QString& folder, qint64 wavBytes)
{
    struct statvfs st
    {
    };
    if (::statvfs(QFile::encodeName(folder).constData(), &st) != 0)
        return false;
    const qint64 left = qint64(st.f_bavail) * qint64(st.f_frsize);
    return left < 64 * 1024 || left < wavBytes / 4;
}

} // namespace

EncoderJob::RecoveryPlan EncoderJob::planRecovery(const QString& folder)
{
    const auto journal = NoteJournal::read(folder);
    if (!journal)
        return {Recovery::Skip, {}};
    const QFileInfo wav(folder + kWav);
    // Moved into place, and killed before the folder went: the note is
    // there; encoding it again would make a second one.
    if (!journal->placed.isEmpty() && !QFileInfo::exists(folder + kRecovery) &&
        !QFileInfo::exists(folder + kOutput) && isTheNote(journal->placed, journal->comment))
        return {Recovery::Done, journal->placed};
    // A recorder stopped before it wrote its lengths: the sound is in the
    // file all the same.
    WavSummary::repairLength(wav.filePath());
    // The output of an encoding at start-up first: an encoder of the killed
    // run may still be writing Z.mp3.
    for (const QString& name : {kRecovery, kOutput}) {
        const QFileInfo mp3(folder + name);
        if (mp3.isFile() && Id3v1Patch::hasTag(mp3.filePath()) &&
            (!wav.exists() || mp3.lastModified() >= wav.lastModified()))
            return {Recovery::Place, mp3.filePath()};
    }
    const auto summary = WavSummary::read(wav.filePath());
    if (summary && summary->frames > 0)
        return {Recovery::Encode, {}};
    return {Recovery::Drop, {}};
}

EncoderJob::EncoderJob(const QString& programFolder, const QString& folder,
                       const NoteJournal& journal, QObject* parent, NoteFile::FolderLock lock)
    : QObject(parent), m_programFolder(programFolder), m_folder(folder), m_journal(journal),
      m_lock(std::move(lock))
{
    if (!m_lock.held())
        m_lock = NoteFile::FolderLock(folder);
}

EncoderJob::~EncoderJob()
{
    if (m_process && m_process->state() != QProcess::NotRunning) {
        m_process->kill();
        m_process->waitForFinished(2000);
    }
}

QStringList EncoderJob::encoderArguments(const QString& comment, const QString& input,
                                         const QString& output)
{
    // " -b48 --resample 22.05 --tl Ola-Brenvik --tc <comment> <in> <out>",
    // passed as a list so that no shell ever sees the user's text.
    return {QStringLiteral("-b48"),
            QStringLiteral("--resample"),
            QStringLiteral("22.05"),
            QStringLiteral("--tl"),
            kAlbum,
            QStringLiteral("--tc"),
            comment,
            input,
            output};
}

QString EncoderJob::noteName() const
{
    return QFileInfo(m_journal.target).fileName();
}

void EncoderJob::start(bool deviceFailed)
{
    const auto wav = WavSummary::read(m_folder + kWav);
    if (!wav || wav->frames == 0) {
        QDir(m_folder).removeRecursively();
        end({Result::Outcome::NoSound,
             deviceFailed ? QStringLiteral("Звук не записан: устройство записи недоступно.")
                          : QStringLiteral("Звук не записан: устройство записи не дало звука."),
             {},
             {}});
        return;
    }
    m_silent = wav->silent();
    // Without its journal a later start could not finish the note: a disk
    // too full for a few bytes is too full for the note too.
    if (const int err = m_journal.write(m_folder)) {
        fail(DurableFile::problem(err, m_folder), shown(m_folder + kWav));
        return;
    }
    startEncoder(m_folder + kOutput);
}

void EncoderJob::resume()
{
    // A move across file systems cut short left a hidden partial copy.
    if (!m_journal.placed.isEmpty())
        NoteFile::removePartialCopies(m_journal.placed);
    const RecoveryPlan plan = planRecovery(m_folder);
    switch (plan.step) {
    case Recovery::Place:
        place(plan.mp3);
        break;
    case Recovery::Encode:
        startEncoder(m_folder + kRecovery);
        break;
    case Recovery::Drop:
        QDir(m_folder).removeRecursively();
        end({Result::Outcome::Dropped, {}, {}, {}});
        break;
    case Recovery::Done:
        QDir(m_folder).removeRecursively();
        end({Result::Outcome::Dropped, {}, {}, {}});
        break;
    case Recovery::Skip:
        end({Result::Outcome::Dropped, {}, {}, {}});
        break;
    }
}

void EncoderJob::startEncoder(const QString& output)
{
    m_output = output;
    // An output left by an earlier try would already carry a tag.
    QFile::remove(output);
    m_process = new QProcess(this);
    // Hidden and silent: its progress display would only fill a terminal.
    m_process->setStandardOutputFile(QProcess::nullDevice());
    m_process->setStandardErrorFile(QProcess::nullDevice());
    m_process->setWorkingDirectory(m_folder);
    // The encoder reads the comment in the locale's character set: without
    // one (cron, a bare session) its ID3v2 comment would come out empty.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    m_process->setProcessEnvironment(environment);
    // The encoder's exit is looked at at once, not only on the next tick.
    connect(m_process, &QProcess::finished, this, &EncoderJob::check, Qt::QueuedConnection);
    connect(m_process, &QProcess::errorOccurred, this, &EncoderJob::check, Qt::QueuedConnection);
    m_process->start(m_programFolder + QStringLiteral("/lame"),
                     encoderArguments(m_journal.comment, m_folder + kWav, output));
}

void EncoderJob::check()
{
    if (m_ended || !m_process)
        return;
    // Complete means: the encoder has exited and the tag is there. The tag
    // alone is not enough: the encoder may still be writing.
    if (m_process->state() != QProcess::NotRunning)
        return;
    if (m_process->error() == QProcess::FailedToStart) {
        fail(QStringLiteral("Не найден кодировщик lame"));
        return;
    }
    if (m_process->exitStatus() != QProcess::NormalExit || m_process->exitCode() != 0) {
        if (diskFull(m_folder, QFileInfo(m_folder + kWav).size()))
            fail(DurableFile::problem(ENOSPC, m_folder));
        else
            fail(QStringLiteral("Ошибка кодировщика (код %1)").arg(m_process->exitCode()));
        return;
    }
    if (!Id3v1Patch::hasTag(m_output)) {
        fail(QStringLiteral("Кодировщик не создал MP3"));
        return;
    }
    place(m_output);
}

void EncoderJob::settle(int ms)
{
    if (m_ended || !m_process)
        return;
    if (m_process->state() != QProcess::NotRunning)
        m_process->waitForFinished(ms);
    if (m_process->state() == QProcess::NotRunning) {
        check();
        return;
    }
    m_process->kill();
    m_process->waitForFinished(2000);
    m_ended = true;
}

void EncoderJob::place(const QString& mp3)
{
    // The tag's comment in Windows-1251, whatever the encoder made of it.
    if (!Id3v1Patch::writeAlbumAndComment(mp3, kAlbum.toLatin1(),
                                          Cp1251::encode(m_journal.comment))) {
        fail(QStringLiteral("Не удалось записать метку MP3"), shown(mp3));
        return;
    }
    // A repeating task's rule goes into the file before the file goes in
    // place: the task is never seen without it.
    if (m_journal.kind == NoteJournal::Kind::Task && !m_journal.repeat.isEmpty()) {
        if (const int err =
                Id3v2::setUserText(mp3, QLatin1String(RepeatRule::FrameName), m_journal.repeat)) {
            fail(
                QStringLiteral("Не удалось записать повторение (%1)").arg(DurableFile::reason(err)),
                shown(mp3));
            return;
        }
    }
    QString target, error;
    if (m_journal.kind == NoteJournal::Kind::File) {
        target = NoteFile::freeFileName(m_journal.target);
    } else {
        const QString media = m_programFolder + QStringLiteral("/Media");
        if (!TaskName::parse(m_journal.target)) {
            fail(QStringLiteral("Задание не перенесено в Media: %1 не имя задания")
                     .arg(m_journal.target),
                 shown(mp3));
            return;
        }
        // A task of the same name stays untouched: the next free second.
        const auto name = NoteFile::freeTaskName(media, m_journal.target);
        if (!name) {
            fail(QStringLiteral("Задание не перенесено в Media: имя %1 занято")
                     .arg(m_journal.target),
                 shown(mp3));
            return;
        }
        target = media + QLatin1Char('/') + *name;
    }
    // Where it goes, before it goes: a start-up after a kill right after
    // the move finds it there instead of making a second one. Without room
    // for the journal the move is still the right thing to do.
    m_journal.placed = target;
    m_journal.write(m_folder);
    if (!NoteFile::moveComplete(mp3, target, &error)) {
        m_journal.placed.clear();
        m_journal.write(m_folder);
        if (m_journal.kind == NoteJournal::Kind::File)
            fail(QStringLiteral("Не удалось записать %1 (%2)").arg(shown(m_journal.target), error),
                 shown(mp3));
        else
            fail(QStringLiteral("Задание не перенесено в Media (%1)").arg(error), shown(mp3));
        return;
    }
    QString hintText = QStringLiteral("Запись сохранена.");
    if (QFileInfo(target).fileName() != noteName())
        hintText = QStringLiteral("Запись сохранена: %1").arg(QFileInfo(target).fileName());
    if (m_silent)
        hintText += QStringLiteral(" Микрофон, похоже, молчит.");
    // Only now, with the note and its name on the disk, does the job go.
    QDir(m_folder).removeRecursively();
    end({Result::Outcome::Saved, hintText, target, {}, m_silent});
}

QString EncoderJob::kept() const
{
    return shown(m_folder + kWav);
}

void EncoderJob::fail(const QString& reason, const QString& keptAt)
{
    const QString at = keptAt.isEmpty() ? kept() : keptAt;
    end({Result::Outcome::Failed, QStringLiteral("%1. Запись в %2").arg(reason, at), {}, reason});
}

void EncoderJob::end(Result result)
{
    if (m_ended)
        return;
    m_ended = true;
    // Nothing runs for the note any more: what is left is the next start's.
    m_lock = NoteFile::FolderLock();
    emit ended(result);
}
