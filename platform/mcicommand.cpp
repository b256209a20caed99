#include "mcicommand.h"

#include <QRegularExpression>

namespace {

bool isSingleWord(const QString& s)
{
    return !s.isEmpty() && !s.contains(QRegularExpression(QStringLiteral("\\s")));
}

} // namespace

std::optional<MciCommand> parseMciCommand(const QString& command)
{
    const QString text = command.trimmed();
    const qsizetype blank = text.indexOf(QLatin1Char(' '));
    const QString verb = (blank < 0 ? text : text.left(blank)).toLower();
    // The argument keeps its inner blanks; only the separating blank after the
    // verb goes, so "Play /a b/c.mp3" names "/a b/c.mp3".
    const QString rest = blank < 0 ? QString() : text.mid(blank + 1).trimmed();

    MciCommand cmd;
    if (verb == QLatin1String("open")) {
        static const QRegularExpression re(
            QStringLiteral("^new\\s+type\\s+waveaudio\\s+alias\\s+(\\S+)$"),
            QRegularExpression::CaseInsensitiveOption);
        const auto m = re.match(rest);
        if (!m.hasMatch())
            return std::nullopt;
        cmd.verb = MciCommand::Verb::Open;
        cmd.target = m.captured(1);
        return cmd;
    }
    if (verb == QLatin1String("record") || verb == QLatin1String("close")) {
        if (!isSingleWord(rest))
            return std::nullopt;
        cmd.verb =
            verb == QLatin1String("record") ? MciCommand::Verb::Record : MciCommand::Verb::Close;
        cmd.target = rest;
        return cmd;
    }
    if (verb == QLatin1String("save")) {
        const qsizetype sep = rest.indexOf(QLatin1Char(' '));
        if (sep <= 0)
            return std::nullopt;
        cmd.verb = MciCommand::Verb::Save;
        cmd.target = rest.left(sep);
        cmd.path = rest.mid(sep + 1).trimmed();
        if (cmd.path.isEmpty())
            return std::nullopt;
        return cmd;
    }
    if (verb == QLatin1String("stop") || verb == QLatin1String("pause") ||
        verb == QLatin1String("cue")) {
        if (rest.isEmpty())
            return std::nullopt;
        cmd.verb = verb == QLatin1String("stop")    ? MciCommand::Verb::Stop
                   : verb == QLatin1String("pause") ? MciCommand::Verb::Pause
                                                    : MciCommand::Verb::Cue;
        cmd.target = rest;
        return cmd;
    }
    if (verb == QLatin1String("play")) {
        static const QRegularExpression range(
            QStringLiteral("^(.*\\S)\\s+from\\s+(\\d{1,15})(?:\\s+to\\s+(\\d{1,15}))?$"),
            QRegularExpression::CaseInsensitiveOption);
        cmd.verb = MciCommand::Verb::Play;
        const auto m = range.match(rest);
        if (m.hasMatch()) {
            cmd.target = m.captured(1);
            cmd.fromMs = m.captured(2).toLongLong();
            if (m.capturedLength(3) > 0)
                cmd.toMs = m.captured(3).toLongLong();
        } else {
            cmd.target = rest;
        }
        if (cmd.target.isEmpty())
            return std::nullopt;
        return cmd;
    }
    return std::nullopt;
}
