#include "pickgiffile.h"

#include "clsgif.h"

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

QString GifRefusedHint(GifError error)
{
    switch (error) {
    case GifError::None:
        return QString();
    case GifError::Unreadable:
        return QStringLiteral("Анимация не загружена: файл не читается.");
    case GifError::BadSignature:
        return QStringLiteral("Анимация не загружена: это не файл GIF.");
    case GifError::BadScreenSize:
    case GifError::BadFrameSize:
        return QStringLiteral("Анимация не загружена: рисунок больше %1 точек по стороне "
                              "или %2 мегапикселей.")
            .arg(clsGIF::kMaxSide)
            .arg(clsGIF::kMaxPixels / (1024 * 1024));
    case GifError::Truncated:
        return QStringLiteral("Анимация не загружена: файл GIF обрезан.");
    default:
        return QStringLiteral("Анимация не загружена: файл GIF испорчен.");
    }
}
