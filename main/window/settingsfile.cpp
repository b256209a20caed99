#include "settingsfile.h"

#include "textcodec.h"

#include <QFile>
#include <QSaveFile>

namespace SettingsFile {

QString path(const QString& programFolder)
{
    return programFolder + "/Data/index.txt";
}

std::optional<QString> read(const QString& programFolder)
{
    QFile f(path(programFolder));
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    return Cp1251::decode(f.readAll());
}

QString pictureName(const QString& text)
{
    return text.left(6);
}

bool write(const QString& programFolder, const QString& line)
{
    QSaveFile f(path(programFolder));
    if (!f.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = Cp1251::encode(line) + "\r\n";
    if (f.write(bytes) != bytes.size()) {
        f.cancelWriting();
        return false;
    }
    return f.commit();
}

} // namespace SettingsFile
