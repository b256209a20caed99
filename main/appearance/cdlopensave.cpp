#include "cdlopensave.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {

QString& lastSaveTitleStore()
{
    static QString title;
    return title;
}

} // namespace

CdlOpenSave::CdlOpenSave(FileDialogRunner runner) : m_runner(std::move(runner)) {}

QString CdlOpenSave::lastSaveTitle()
{
    return lastSaveTitleStore();
}

CdlOpenSave::Result CdlOpenSave::setAction(int action)
{
    if (action == 1)
        return ShowOpen();
    if (action == 2)
        return ShowSave();
    return Result::Ok;
}

CdlOpenSave::Result CdlOpenSave::ShowOpen()
{
    return show(FileDialogRequest::Open);
}

CdlOpenSave::Result CdlOpenSave::ShowSave()
{
    return show(FileDialogRequest::Save);
}

QStringList CdlOpenSave::splitFilter(const QString& filter)
{
    QStringList out;
    if (filter.isEmpty())
        return out;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        const QString& description = parts.at(i);
        // Windows separates patterns with ";", Qt with blanks.
        QString pattern = i + 1 < parts.size() ? parts.at(i + 1) : description;
        pattern.replace(QLatin1Char(';'), QLatin1Char(' '));
        out << QStringLiteral("%1 (%2)").arg(description, pattern.simplified());
    }
    return out;
}

FileDialogRequest CdlOpenSave::PrepareDialog(FileDialogRequest::Kind kind) const
{
    FileDialogRequest r;
    r.kind = kind;
    r.owner = m_owner;
    r.title = m_dialogTitle;
    r.filters = splitFilter(m_filter);
    r.filterIndex = m_filterIndex > 0 ? m_filterIndex - 1 : 0;
    r.initialDir = m_initDir.isEmpty() ? QCoreApplication::applicationDirPath() : m_initDir;
    r.fileName = m_fileName;
    r.defaultSuffix =
        m_defaultExt.startsWith(QLatin1Char('.')) ? m_defaultExt.mid(1) : m_defaultExt;
    const int flags = m_flags & ~kRemovedFlags;
    r.confirmOverwrite = flags & kOverwritePrompt;
    r.fileMustExist = flags & kFileMustExist;
    return r;
}

CdlOpenSave::Result CdlOpenSave::show(FileDialogRequest::Kind kind)
{
    if (m_fileName.size() > kMaxPath)
        return Result::InvalidFileName;
    const std::optional<QString> chosen = m_runner(PrepareDialog(kind));
    if (!chosen || chosen->isEmpty())
        return m_cancelError ? Result::CancelError : Result::Cancelled;
    m_fileName = *chosen;
    m_fileTitle = QFileInfo(*chosen).fileName();
    if (kind == FileDialogRequest::Save)
        lastSaveTitleStore() = m_fileTitle;
    return Result::Ok;
}

QString AskRecordingTarget(CdlOpenSave& dialog, QWidget* owner)
{
    dialog.setCancelError(false);
    dialog.sethOwner(owner);
    dialog.setFilter(QStringLiteral("*.mp3"));
    dialog.setFileName(QString());
    dialog.setInitDir(QDir::currentPath());
    if (dialog.ShowSave() != CdlOpenSave::Result::Ok)
        return QString();
    return dialog.FileName();
}
