#include "encoderpipeline.h"

#include "durablefile.h"
#include "paths.h"
#include "taskname.h"

#include <QDir>
#include <QFileInfo>
#include <QTimer>

const QString EncoderPipeline::kAlbum = QStringLiteral("Ola-Brenvik");
const QString EncoderPipeline::kDefaultComment = QStringLiteral("Без_комментарий.");

namespace {

const QString kNotePrefix = QStringLiteral("note-");
// How long leaving the program waits for a running encoder.
constexpr int kSettleMs = 5000;
// Put in a note folder that cannot be finished once the user has been told.
const QString kToldMark = QStringLiteral(".told");
// A hint line holds about two lines: longer lists are counted instead.
constexpr int kNamesShown = 2;

QString listed(const QStringList& names, const QString& many)
{
    return names.size() <= kNamesShown ? names.join(QStringLiteral(", ")) : many;
}

} // namespace

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
    // The window is going: nobody is told any more.
    blockSignals(true);
    for (EncoderJob* job : std::as_const(m_jobs)) {
        job->blockSignals(true);
        job->settle(kSettleMs);
    }
}

QString EncoderPipeline::commentFor(const QString& text)
{
    return text.isEmpty() ? kDefaultComment : text;
}

QStringList EncoderPipeline::encoderArguments(const QString& comment, const QString& input,
                                              const QString& output)
{
    return EncoderJob::encoderArguments(comment, input, output);
}

QString EncoderPipeline::newNoteFolder() const
{
    return makeNoteFolder(m_driveRoot);
}

QString EncoderPipeline::makeNoteFolder(const QString& driveRoot)
{
    if (driveRoot.isEmpty())
        return QString();
    // A cache cleaner may have removed the whole folder meanwhile.
    if (!QFileInfo::exists(driveRoot) && !Paths::preparePrivateFolder(driveRoot).isEmpty())
        return QString();
    QDir root(driveRoot);
    // mkdir fails on an existing name, so two notes never share a folder.
    for (int n = 1; n < 100000; ++n) {
        const QString name = kNotePrefix + QString::number(n);
        if (root.exists(name))
            continue;
        if (root.mkdir(name))
            return driveRoot + name + QLatin1Char('/');
        if (!root.exists(name))
            return QString();
    }
    return QString();
}

void EncoderPipeline::startEncoder(const Note& note)
{
    NoteJournal journal;
    journal.comment = commentFor(note.comment);
    if (note.intoFile) {
        journal.kind = NoteJournal::Kind::File;
        journal.target = note.saveTarget + QStringLiteral(".mp3");
    } else {
        journal.kind = NoteJournal::Kind::Task;
        journal.target = TaskName::bareName(note.imyFileMp3);
        journal.repeat = note.repeat;
    }
    auto* job = new EncoderJob(m_programFolder, note.folder, journal, this);
    // The job has its target: the field is ready for the next task at once.
    emit imyFileMp3Reset(m_driveRoot);
    adopt(job, false);
    job->start(note.deviceFailed);
}

void EncoderPipeline::recoverUnfinished()
{
    if (m_driveRoot.isEmpty())
        return;
    // Links are nobody's notes: never followed, let alone emptied.
    const QStringList folders = QDir(m_driveRoot)
                                    .entryList({kNotePrefix + QLatin1Char('*')},
                                               QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks,
                                               QDir::Time | QDir::Reversed);
    QList<EncoderJob*> jobs;
    for (const QString& name : folders) {
        const QString folder = m_driveRoot + name + QLatin1Char('/');
        // A note another live process is still working on (the command
        // line's) is its own.
        NoteFile::FolderLock lock(folder);
        if (!lock.held())
            continue;
        const auto journal = NoteJournal::read(folder);
        if (journal) {
            jobs << new EncoderJob(m_programFolder, folder, *journal, this, std::move(lock));
            continue;
        }
        // Nothing to finish it with. An empty folder is surely ours and
        // goes; what holds anything is the user's to look at, told once.
        const QStringList inside = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden |
                                                          QDir::System | QDir::NoDotAndDotDot);
        if (inside.isEmpty())
            QDir(m_driveRoot).rmdir(name);
        else if (!inside.contains(kToldMark)) {
            m_unfinished << name;
            DurableFile::write(folder + kToldMark, QByteArray());
        }
    }
    m_recoveriesLeft += int(jobs.size());
    for (EncoderJob* job : jobs) {
        adopt(job, true);
        job->resume();
    }
    if (m_recoveriesLeft == 0)
        tellRecovery();
}

void EncoderPipeline::adopt(EncoderJob* job, bool recovered)
{
    m_jobs << job;
    connect(job, &EncoderJob::ended, this, [this, job, recovered](const EncoderJob::Result& r) {
        m_jobs.removeOne(job);
        job->deleteLater();
        if (m_jobs.isEmpty())
            m_timer3->stop();
        if (recovered) {
            recoveryEnded(job, r);
            return;
        }
        emit controlButtonNormal();
        emit hintChanged(r.hint);
        emit menuRequested();
        if (r.outcome == EncoderJob::Result::Outcome::Saved)
            emit saved(r.path);
        else
            emit failed(r.hint);
    });
    m_timer3->start();
}

void EncoderPipeline::recoveryEnded(EncoderJob* job, const EncoderJob::Result& result)
{
    using Outcome = EncoderJob::Result::Outcome;
    if (result.outcome == Outcome::Saved) {
        m_recovered << QFileInfo(result.path).fileName();
        emit saved(result.path);
    } else if (result.outcome == Outcome::Failed) {
        m_notRecovered << job->noteName() + QStringLiteral(" (") + result.reason + QLatin1Char(')');
        emit failed(result.hint);
    }
    if (--m_recoveriesLeft > 0)
        return;
    tellRecovery();
}

void EncoderPipeline::tellRecovery()
{
    // What needs the user first: the hint line shows about two lines.
    const QString where = DurableFile::shown(m_driveRoot.chopped(1));
    QStringList parts;
    if (!m_notRecovered.isEmpty())
        parts << QStringLiteral("Не восстановлены: %1.")
                     .arg(listed(m_notRecovered, QStringLiteral("%1 записей, они в %2")
                                                     .arg(m_notRecovered.size())
                                                     .arg(where)));
    if (!m_unfinished.isEmpty())
        parts << QStringLiteral("Незаконченные записи без журнала в %1: %2.")
                     .arg(where, listed(m_unfinished, QString::number(m_unfinished.size())));
    // Last, where a clipped line loses least.
    if (!m_recovered.isEmpty())
        parts << QStringLiteral("Восстановлены записи: %1.")
                     .arg(m_recovered.join(QStringLiteral(", ")));
    m_recovered.clear();
    m_notRecovered.clear();
    m_unfinished.clear();
    if (!parts.isEmpty())
        emit hintChanged(parts.join(QLatin1Char(' ')));
}

bool EncoderPipeline::isWatching() const
{
    return m_timer3->isActive();
}

void EncoderPipeline::tick()
{
    // Each job ends itself; copy the list, as ending removes it.
    const QList<EncoderJob*> jobs = m_jobs;
    for (EncoderJob* job : jobs)
        job->check();
    if (m_jobs.isEmpty())
        m_timer3->stop();
}
