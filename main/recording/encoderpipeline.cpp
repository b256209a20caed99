#include "encoderpipeline.h"

#include "id3v1patch.h"
#include "textcodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

const QString EncoderPipeline::kAlbum = QStringLiteral("Ola-Brenvik");
const QString EncoderPipeline::kDefaultComment = QStringLiteral("Без_комментарий.");

EncoderPipeline::EncoderPipeline(const QString& programFolder, const QString& driveRoot,
                                 QObject* parent)
    : QObject(parent), m_programFolder(programFolder), m_driveRoot(driveRoot),
      m_timer3(new QTimer(this))
{
    m_timer3->setObjectName(QStringLiteral("Timer3"));
    m_timer3->setInterval(1000);
    connect(m_timer3, &QTimer::timeout, this, &EncoderPipeline::tick);
}

EncoderPipeline::~EncoderPipeline()
{
    if (m_process) {
        // Leaving the program ends an unfinished encoding; test.wav stays.
        m_process->kill();
        m_process->waitForFinished(2000);
    }
}

QString EncoderPipeline::commentFor(const QString& text)
{
    return text.isEmpty() ? kDefaultComment : text;
}

QStringList EncoderPipeline::encoderArguments(const QString& comment, const QString& input,
                                              const QString& output)
{
    // " -b48 --resample 22.05 --tl Ola-Brenvik --tc <comment> <in> <out>",
    // passed as a list so that no shell ever sees the user's text.
    return {QStringLiteral("-b48"), QStringLiteral("--resample"), QStringLiteral("22.05"),
            QStringLiteral("--tl"), kAlbum, QStringLiteral("--tc"), comment, input, output};
}

void EncoderPipeline::startEncoder(const QString& comment, int panelMode,
                                   const QString& saveTarget, const QString& imyFileMp3)
{
    m_comment = commentFor(comment);
    m_panelMode = panelMode;
    m_saveTarget = saveTarget;
    m_imyFileMp3 = imyFileMp3;

    // A Z.mp3 left by an earlier run would already carry a tag and be taken
    // for this recording.
    QFile::remove(outputPath());

    delete m_process;
    m_process = new QProcess(this);
    // Hidden and silent: its progress display would only fill a terminal.
    m_process->setStandardOutputFile(QProcess::nullDevice());
    m_process->setStandardErrorFile(QProcess::nullDevice());
    m_process->setWorkingDirectory(m_driveRoot);
    m_process->start(encoderPath(), encoderArguments(m_comment, inputPath(), outputPath()));
}

void EncoderPipeline::startWatch()
{
    m_timer3->start();
}

bool EncoderPipeline::isWatching() const
{
    return m_timer3->isActive();
}

void EncoderPipeline::tick()
{
    if (!m_process) {
        m_timer3->stop();
        return;
    }
    // Complete means: the encoder has exited and the tag is there. The tag
    // alone is not enough: the encoder may still be writing.
    if (m_process->state() != QProcess::NotRunning)
        return;
    if (m_process->error() == QProcess::FailedToStart) {
        fail(QStringLiteral("Не найден кодировщик lame. Запись в %1").arg(shown(inputPath())));
        return;
    }
    if (m_process->exitStatus() != QProcess::NormalExit || m_process->exitCode() != 0) {
        fail(QStringLiteral("Ошибка кодировщика (код %1). Запись в %2")
                 .arg(m_process->exitCode())
                 .arg(shown(inputPath())));
        return;
    }
    if (!Id3v1Patch::hasTag(outputPath())) {
        fail(QStringLiteral("Кодировщик не создал MP3. Запись в %1").arg(shown(inputPath())));
        return;
    }
    finish();
}

QString EncoderPipeline::freeName(const QString& wanted) const
{
    if (!QFileInfo::exists(wanted))
        return wanted;
    const QFileInfo info(wanted);
    const QString base = info.path() + QLatin1Char('/') + info.completeBaseName();
    const QString suffix = info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix();
    for (int n = 2;; ++n) {
        const QString candidate = QStringLiteral("%1 (%2)%3").arg(base).arg(n).arg(suffix);
        if (!QFileInfo::exists(candidate))
            return candidate;
    }
}

void EncoderPipeline::finish()
{
    // The tag's comment in Windows-1251, whatever the encoder made of it.
    Id3v1Patch::writeAlbumAndComment(outputPath(), kAlbum.toLatin1(), Cp1251::encode(m_comment));

    QString hintText = QStringLiteral("Запись сохранена.");
    QString finalPath;
    if (m_panelMode == kRecordIntoFile) {
        const QString wanted = m_saveTarget + QStringLiteral(".mp3");
        const QString target = freeName(wanted);
        // QFile::rename copies across file systems and never replaces.
        if (!QFile::rename(outputPath(), target)) {
            fail(QStringLiteral("Не удалось записать %1. Запись в %2")
                     .arg(shown(wanted), shown(inputPath())));
            return;
        }
        finalPath = target;
        if (target != wanted)
            hintText = QStringLiteral("Запись сохранена: %1").arg(QFileInfo(target).fileName());
        emit controlButtonNormal();
    } else {
        const QString named = m_imyFileMp3;
        if (!QFile::rename(outputPath(), named)) {
            fail(QStringLiteral("Не удалось назвать запись %1. Запись в %2")
                     .arg(named, shown(inputPath())));
            return;
        }
        emit controlButtonNormal();
        const QString media = m_programFolder + QStringLiteral("/Media/") + named.right(25);
        // A task of the same name stays untouched; the new one waits in the
        // scratch folder instead of replacing it.
        finalPath = media;
        if (QFileInfo::exists(media) || !QFile::rename(named, media)) {
            finalPath = named;
            hintText = QStringLiteral("Задание не перенесено в Media: %1").arg(named);
        }
    }
    QFile::remove(inputPath());
    wrapUp(hintText);
    emit saved(finalPath);
}

QString EncoderPipeline::shown(const QString& path)
{
    // The hint line is short: the home folder is written as "~".
    const QString home = QDir::homePath();
    return path.startsWith(home + QLatin1Char('/')) ? QStringLiteral("~") + path.mid(home.size())
                                                   : path;
}

void EncoderPipeline::fail(const QString& reason)
{
    emit controlButtonNormal();
    wrapUp(reason);
    emit failed(reason);
}

void EncoderPipeline::wrapUp(const QString& hintText)
{
    m_process->deleteLater();
    m_process = nullptr;
    emit imyFileMp3Reset(m_driveRoot);
    m_timer3->stop();
    emit hint(hintText);
    emit showMenu();
}
