#include "pickgiffile.h"

#include <QDir>

namespace {

QString& lastPicked()
{
    static QString path;
    return path;
}

} // namespace

QString PickGifFile(const FileDialogRunner& runner)
{
    FileDialogRequest r;
    r.kind = FileDialogRequest::Open;
    r.title = QStringLiteral("Ищем Графические файлы");
    r.filters = {QStringLiteral("Анимированные GIF  (*.gif)")};
    r.initialDir = QDir::currentPath();
    r.fileMustExist = true;
    const std::optional<QString> chosen = runner(r);
    if (!chosen)
        return QString();
    const QString path = chosen->trimmed();
    if (!path.isEmpty())
        lastPicked() = path;
    return path;
}

QString LastPickedGifFile()
{
    return lastPicked();
}
