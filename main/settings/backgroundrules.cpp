#include "backgroundrules.h"

#include <QtGlobal>

namespace BackgroundRules {

Step previous(int row, int count)
{
    if (count <= 0)
        return {-1, false};
    if (row < 0)
        return {0, false};
    if (row == 0)
        return {0, true};
    return {qMin(row, count) - 1, false};
}

Step next(int row, int count)
{
    if (count <= 0)
        return {-1, false};
    if (row >= count - 1)
        return {count - 1, row == count - 1};
    return {qMax(row + 1, 0), false};
}

bool showable(const QString& fileName)
{
    return fileName.endsWith(QLatin1String("bmp"), Qt::CaseSensitive);
}

QSize fittedSize(const QSize& picture, int boxWidth)
{
    if (picture.width() <= 0 || picture.height() <= 0)
        return QSize();
    return QSize(boxWidth, qRound(double(boxWidth) * picture.height() / picture.width()));
}

QSize coveringSize(const QSize& picture, const QSize& box)
{
    const QSize byWidth = fittedSize(picture, box.width());
    if (!byWidth.isValid() || byWidth.height() >= box.height())
        return byWidth;
    return QSize(qRound(double(box.height()) * picture.width() / picture.height()), box.height());
}

QString extension(const QString& fileName)
{
    const int dot = fileName.lastIndexOf(QLatin1Char('.'));
    return (dot < 0 ? fileName : fileName.mid(dot + 1)).toUpper();
}

QString dropCaption(const QString& fileName, const QSize& pixels)
{
    return QStringLiteral("%1   a.Width = %2   a.Height = %3")
        .arg(extension(fileName))
        .arg(pixels.width() * 15)
        .arg(pixels.height() * 15);
}

std::optional<QString> freePictureName(int seconds,
                                       const std::function<bool(const QString&)>& taken)
{
    for (int i = 0; i < 100; ++i) {
        const QString name =
            QStringLiteral("%1.bmp").arg((seconds + i) % 100, 2, 10, QLatin1Char('0'));
        if (!taken(name))
            return name;
    }
    return std::nullopt;
}

} // namespace BackgroundRules
