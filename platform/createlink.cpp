#include "createlink.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace Shortcuts {

namespace {

// An XDG base folder from its variable; relative values are invalid there and
// are ignored, as the base directory rules ask.
QString xdgBase(const char* variable, const QString& fallbackUnderHome)
{
    const QString value = qEnvironmentVariable(variable);
    if (!value.isEmpty() && QDir::isAbsolutePath(value))
        return QDir::cleanPath(value);
    return QDir::homePath() + QLatin1Char('/') + fallbackUnderHome;
}

// Escapes of the "string" value type: backslash, control characters, and a
// leading blank that the reader would otherwise strip.
QString escapeValue(const QString& value)
{
    QString out;
    out.reserve(value.size() + 8);
    for (int i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c == QLatin1Char('\\'))
            out += QLatin1String("\\\\");
        else if (c == QLatin1Char('\n'))
            out += QLatin1String("\\n");
        else if (c == QLatin1Char('\r'))
            out += QLatin1String("\\r");
        else if (c == QLatin1Char('\t'))
            out += QLatin1String("\\t");
        else if (c == QLatin1Char(' ') && i == 0)
            out += QLatin1String("\\s");
        else
            out += c;
    }
    return out;
}

bool isMinimizedStyle(qint16 winStyle)
{
    return winStyle == 2 || winStyle == 6 || winStyle == 7;
}

} // namespace

QString specialFolder(int dest)
{
    switch (dest) {
    case Desktop: {
        // Qt reads user-dirs.dirs from the XDG config folder.
        const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
        return desktop.isEmpty() ? QDir::homePath() + QLatin1String("/Desktop") : desktop;
    }
    case Programs:
    case StartMenu:
        return xdgBase("XDG_DATA_HOME", QStringLiteral(".local/share")) +
               QLatin1String("/applications");
    case StartUp:
        return xdgBase("XDG_CONFIG_HOME", QStringLiteral(".config")) + QLatin1String("/autostart");
    default:
        return QString();
    }
}

QString quoteExecArgument(const QString& argument)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    QString body = argument;
    body.replace(QLatin1Char('%'), QLatin1String("%%")); // a lone % would be a field code
    bool needsQuotes = argument.isEmpty();
    for (const QChar c : argument)
        needsQuotes = needsQuotes || reserved.contains(c);
    if (!needsQuotes)
        return body;
    QString quoted = QStringLiteral("\"");
    for (const QChar c : body) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') ||
            c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        quoted += c;
    }
    quoted += QLatin1Char('"');
    return quoted;
}

QByteArray desktopEntry(const QString& name, const QString& path, const QString& icon,
                        const QString& workingDirectory, qint16 winStyle)
{
    QString exec = quoteExecArgument(path);
    if (isMinimizedStyle(winStyle))
        exec += QLatin1String(" -minimized");
    QString text = QStringLiteral("[Desktop Entry]\n"
                                  "Type=Application\n");
    text += QLatin1String("Name=") + escapeValue(name) + QLatin1Char('\n');
    text += QLatin1String("Comment=") + escapeValue(name) + QLatin1Char('\n');
    // The general escapes apply on top of the quoting, so a backslash inside
    // a quoted argument ends up as four.
    text += QLatin1String("Exec=") + escapeValue(exec) + QLatin1Char('\n');
    if (!icon.isEmpty())
        text += QLatin1String("Icon=") + escapeValue(icon) + QLatin1Char('\n');
    if (!workingDirectory.isEmpty())
        text += QLatin1String("Path=") + escapeValue(workingDirectory) + QLatin1Char('\n');
    text += QLatin1String("Terminal=false\n");
    return text.toUtf8();
}

LinkResult CreateLink(int dest, const QString& name, const QString& path, const QString& hotKey,
                      const QString& icon, const QString& workingDirectory,
                      const QString& subFolder, qint16 winStyle)
{
    Q_UNUSED(hotKey) // desktop entries carry no hot key
    LinkResult result;
    QString folder = specialFolder(dest);
    if (folder.isEmpty()) {
        result.status = LinkResult::UnknownDestination;
        return result;
    }
    if (!subFolder.isEmpty())
        folder += QLatin1Char('/') + subFolder;
    result.entry = folder + QLatin1Char('/') + name + QLatin1String(".desktop");

    // The autostart and applications folders need not exist yet on a fresh
    // account; a plain file in the way is a folder we cannot use.
    if (!QFileInfo(folder).isDir() && !QDir().mkpath(folder)) {
        result.status = LinkResult::FolderUnavailable;
        return result;
    }

    QSaveFile file(result.entry);
    if (!file.open(QIODevice::WriteOnly)) {
        result.status = LinkResult::NotSaved;
        return result;
    }
    const QByteArray bytes = desktopEntry(name, path, icon, workingDirectory, winStyle);
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        result.status = LinkResult::NotSaved;
        return result;
    }
    if (!file.commit()) {
        result.status = LinkResult::NotSaved;
        return result;
    }
    // File managers launch desktop-folder entries only when they are executable.
    if (dest == Desktop)
        QFile::setPermissions(result.entry, QFile::permissions(result.entry) | QFile::ExeOwner);
    result.status = LinkResult::Saved;
    return result;
}

} // namespace Shortcuts
