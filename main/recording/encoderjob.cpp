#include "encoderjob.h"

#include "id3v1patch.h"
#include "notefile.h"
#include "textcodec.h"
#include "wavsummary.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

const QString EncoderJob::kWav = QStringLiteral("test.wav");
const QString EncoderJob::kOutput = QStringLiteral("Z.mp3");
const QString EncoderJob::kRecovery = QStringLiteral("R.mp3");

namespace {

const QString kAlbum = QStringLiteral("Ola-Brenvik");

// The hint line is short: the home folder is written as "~".
QString shown(const QString& path)
{
    const QString home = QDir::homePath();
    return path.startsWith(home + QLatin1Char('/')) ? QStringLiteral("~") + path.mid(home.size())
                                                    : path;
}

} // namespace

EncoderJob::RecoveryPlan EncoderJob::planRecovery(const QString& folder)
{
    if (!NoteJournal::read(folder))
        return {Recovery::Skip, {}};
    const QFileInfo wav(folder + kWav);
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
                       const NoteJournal& journal, QObject* parent)
    : QObject(parent), m_programFolder(programFolder), m_folder(folder), m_journal(journal)
{
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
             {}});
        return;
    }
    m_silent = wav->silent();
    // Without its journal the note is still finished in this run; only a
    // later start could not.
    m_journal.write(m_folder);
    startEncoder(m_folder + kOutput);
}

void EncoderJob::resume()
{
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
        end({Result::Outcome::Dropped, {}, {}});
        break;
    case Recovery::Skip:
        end({Result::Outcome::Dropped, {}, {}});
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
        fail(QStringLiteral("Не найден кодировщик lame. Запись в %1").arg(kept()));
        return;
    }
    if (m_process->exitStatus() != QProcess::NormalExit || m_process->exitCode() != 0) {
        fail(QStringLiteral("Ошибка кодировщика (код %1). Запись в %2")
                 .arg(m_process->exitCode())
                 .arg(kept()));
        return;
    }
    if (!Id3v1Patch::hasTag(m_output)) {
        fail(QStringLiteral("Кодировщик не создал MP3. Запись в %1").arg(kept()));
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
        fail(QStringLiteral("Не удалось записать метку MP3. Запись в %1").arg(kept()));
        return;
    }
    QString target, error;
    QString hintText = QStringLiteral("Запись сохранена.");
    if (m_journal.kind == NoteJournal::Kind::File) {
        target = NoteFile::freeFileName(m_journal.target);
        if (!NoteFile::moveComplete(mp3, target, &error)) {
            fail(QStringLiteral("Не удалось записать %1 (%2). Запись в %3")
                     .arg(shown(m_journal.target), error, shown(mp3)));
            return;
        }
    } else {
        const QString media = m_programFolder + QStringLiteral("/Media");
        // A task of the same name stays untouched: the next free second.
        const auto name = NoteFile::freeTaskName(media, m_journal.target);
        if (!name) {
            fail(QStringLiteral("Задание не перенесено в Media: имя %1 занято. Запись в %2")
                     .arg(m_journal.target, shown(mp3)));
            return;
        }
        target = media + QLatin1Char('/') + *name;
        if (!NoteFile::moveComplete(mp3, target, &error)) {
            fail(QStringLiteral("Задание не перенесено в Media (%1). Запись в %2")
                     .arg(error, shown(mp3)));
            return;
        }
    }
    if (QFileInfo(target).fileName() != noteName())
        hintText = QStringLiteral("Запись сохранена: %1").arg(QFileInfo(target).fileName());
    if (m_silent)
        hintText += QStringLiteral(" Микрофон, похоже, молчит.");
    QDir(m_folder).removeRecursively();
    end({Result::Outcome::Saved, hintText, target});
}

QString EncoderJob::kept() const
{
    return shown(m_folder + kWav);
}

void EncoderJob::fail(const QString& reason)
{
    end({Result::Outcome::Failed, reason, {}});
}

void EncoderJob::end(Result result)
{
    if (m_ended)
        return;
    m_ended = true;
    emit ended(result);
}
