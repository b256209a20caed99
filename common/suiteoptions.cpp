#include "suiteoptions.h"

#include "durablefile.h"

#include <QFile>
#include <QStringList>

const char* const SuiteOptions::VoiceAfterChime = "voice-after-chime";
const char* const SuiteOptions::Notifications = "notifications";

namespace {
constexpr qint64 MaxSize = 64 * 1024; // a settings file, not a dump

std::optional<bool> onOff(const QString& value)
{
    if (value == QLatin1String("on"))
        return true;
    if (value == QLatin1String("off"))
        return false;
    return std::nullopt;
}

QString word(bool on)
{
    return on ? QStringLiteral("on") : QStringLiteral("off");
}

QStringList lines(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.read(MaxSize)).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QString nameOf(const QString& line)
{
    return line.section(QLatin1Char('='), 0, 0).trimmed();
}
} // namespace

QString SuiteOptions::path(const QString& programFolder)
{
    return programFolder + QStringLiteral("/Data/options.txt");
}

bool SuiteOptions::set(const QString& name, const QString& value)
{
    const std::optional<bool> on = onOff(value.trimmed());
    if (!on)
        return false;
    if (name == QLatin1String(VoiceAfterChime))
        voiceAfterChime = *on;
    else if (name == QLatin1String(Notifications))
        notifications = *on;
    else
        return false;
    return true;
}

SuiteOptions SuiteOptions::read(const QString& programFolder)
{
    SuiteOptions options;
    for (const QString& line : lines(path(programFolder)))
        options.set(nameOf(line), line.section(QLatin1Char('='), 1));
    return options;
}

QString SuiteOptions::text() const
{
    return QStringLiteral("%1=%2\n%3=%4\n")
        .arg(QLatin1String(VoiceAfterChime), word(voiceAfterChime), QLatin1String(Notifications),
             word(notifications));
}

int SuiteOptions::write(const QString& programFolder, const SuiteOptions& options)
{
    const QString file = path(programFolder);
    QString out = options.text();
    // What a later version (or the user) put there stays.
    for (const QString& line : lines(file)) {
        const QString name = nameOf(line);
        if (name != QLatin1String(VoiceAfterChime) && name != QLatin1String(Notifications))
            out += line.trimmed() + QLatin1Char('\n');
    }
    return DurableFile::write(file, out.toUtf8());
}
