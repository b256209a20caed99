#include "commandline.h"

#include "audioimport.h"
#include "clock.h"
#include "commentrule.h"
#include "digits.h"
#include "durablefile.h"
#include "encoderjob.h"
#include "encoderpipeline.h"
#include "icsexport.h"
#include "notefile.h"
#include "notejournal.h"
#include "paths.h"
#include "suiteoptions.h"
#include "taskcatalog.h"
#include "taskname.h"
#include "taskrepeat.h"
#include "textcodec.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSaveFile>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace {

const QString kUsageHint = QStringLiteral("Справка: Quillmur --help");

using Action = CommandLine::Command::Action;

struct Option
{
    const char* name;
    bool takesValue;
    std::optional<Action> action; // none: a modifier of a command
};

const Option kOptions[] = {
    {"--help", false, Action::Help},
    {"-h", false, Action::Help},
    {"--version", false, Action::Version},
    {"--list", false, Action::List},
    {"--add", true, Action::Add},
    {"--snooze", true, Action::Snooze},
    {"--export-ics", true, Action::ExportIcs},
    {"--set", true, Action::Set},
    {"--get", false, Action::Get},
    {"--json", false, std::nullopt},
    {"--at", true, std::nullopt},
    {"--comment", true, std::nullopt},
    {"--repeat", true, std::nullopt},
};

// Which command each modifier belongs to.
Action ownerOf(const QString& modifier)
{
    return modifier == QLatin1String("--json") ? Action::List : Action::Add;
}

QString quoted(const QString& text)
{
    return QStringLiteral("«") + text + QStringLiteral("»");
}

QString stateWord(TaskCatalog::State state)
{
    switch (state) {
    case TaskCatalog::State::Past:
        return QStringLiteral("прошло");
    case TaskCatalog::State::Today:
        return QStringLiteral("сегодня");
    case TaskCatalog::State::Later:
        return QStringLiteral("позже");
    case TaskCatalog::State::BadName:
        break;
    }
    return QString();
}

// Control characters of a comment or a name as visible escapes ("\n",
// "\x1b"): the plain list must neither recolour the terminal nor split a
// line.
QString visible(const QString& text)
{
    // Control characters are U+0000-U+001F and U+007F-U+009F; most texts
    // have none and are shown as they are.
    const auto control = [](QChar c) {
        return c.unicode() < 0x20 || (c.unicode() >= 0x7F && c.unicode() <= 0x9F);
    };
    if (std::none_of(text.begin(), text.end(), control))
        return text;
    QString out;
    for (const QChar c : text) {
        if (c.category() != QChar::Other_Control)
            out += c;
        else if (c == QLatin1Char('\n'))
            out += QStringLiteral("\\n");
        else if (c == QLatin1Char('\r'))
            out += QStringLiteral("\\r");
        else if (c == QLatin1Char('\t'))
            out += QStringLiteral("\\t");
        else
            out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
    }
    return out;
}

// A JSON string as QJsonDocument writes it: quotes, backslashes and control
// characters escaped, everything else as UTF-8.
void appendJsonString(QByteArray& out, const QString& value)
{
    static const char hex[] = "0123456789abcdef";
    const QByteArray utf8 = value.toUtf8();
    out += '"';
    for (const char c : utf8) {
        const auto u = static_cast<unsigned char>(c);
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\b':
            out += "\\b";
            break;
        case '\f':
            out += "\\f";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (u < 0x20) {
                out += "\\u00";
                out += hex[u >> 4];
                out += hex[u & 15];
            } else {
                out += c;
            }
        }
    }
    out += '"';
}

// "2026-12-01T08:00:00+03:00": the local moment with its offset from UTC.
QByteArray withOffset(const QDateTime& moment)
{
    const int offset = moment.offsetFromUtc();
    const int minutes = std::abs(offset) / 60;
    const QDate d = moment.date();
    const QTime t = moment.time();
    char text[128];
    const char* end = putFields(text, {{d.year(), 4, '-'},
                                       {d.month(), 2, '-'},
                                       {d.day(), 2, 'T'},
                                       {t.hour(), 2, ':'},
                                       {t.minute(), 2, ':'},
                                       {t.second(), 2, offset < 0 ? '-' : '+'},
                                       {minutes / 60, 2, ':'},
                                       {minutes % 60, 2}});
    return QByteArray(text, end - text);
}

// `count` blanks, at most 30.
QByteArrayView blanksFor(int count)
{
    static constexpr char kBlanks[] = "                              ";
    return QByteArrayView(kBlanks, std::clamp(count, 0, int(sizeof kBlanks) - 1));
}

// `text` in UTF-8, then blanks up to `width` characters (UTF-16 units, as
// QString::leftJustified counts them); before it with `right`.
void appendPadded(QByteArray& out, const QString& text, int width, bool right = false)
{
    const QByteArrayView blanks = blanksFor(width - int(text.size()));
    if (right)
        out += blanks;
    out += text.toUtf8();
    if (!right)
        out += blanks;
}

// One line of the plain list: when, state, length, comment, file and rule.
void appendListLine(QByteArray& out, const TaskCatalog::Entry& e)
{
    const QDate d = e.due.date();
    const QTime t = e.due.time();
    char text[128];
    const char* end = putFields(text, {{d.day(), 2, '.'},
                                       {d.month(), 2, '.'},
                                       {d.year(), 4, ' '},
                                       {t.hour(), 2, ':'},
                                       {t.minute(), 2, ':'},
                                       {t.second(), 2}});
    out.append(text, end - text).append("  ");
    appendPadded(out, stateWord(e.state), 7);
    out += ' ';
    if (e.seconds) {
        const int n = std::snprintf(text, sizeof text, "%d:%02d", *e.seconds / 60, *e.seconds % 60);
        out.append(blanksFor(6 - n)).append(text, n);
    } else {
        out += "     ?";
    }
    out += "  ";
    appendPadded(out, visible(e.comment), 30);
    out += "  ";
    out += visible(e.file).toUtf8();
    if (e.repeat)
        out += (QStringLiteral("  ↻ ") + e.repeat->shown()).toUtf8();
    out += '\n';
}

// "DD.MM.YYYY HH:MM", a real date and time.
std::optional<QDateTime> readMoment(const QString& text)
{
    static const QRegularExpression form(
        QStringLiteral("^(\\d{2})\\.(\\d{2})\\.(\\d{4}) (\\d{2}):(\\d{2})$"));
    const auto m = form.match(text.trimmed());
    if (!m.hasMatch())
        return std::nullopt;
    const QDate date(m.captured(3).toInt(), m.captured(2).toInt(), m.captured(1).toInt());
    const QTime time(m.captured(4).toInt(), m.captured(5).toInt());
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    // Invalid when the spring clock change skips it.
    return QDateTime(date, time);
}

} // namespace

bool CommandLine::isCommand(int argc, char** argv)
{
    // Qt's own options go to the window's application: the platform, the
    // style, the display and the like (with their values).
    static const char* const withValue[] = {"-platform",
                                            "-platformpluginpath",
                                            "-platformtheme",
                                            "-plugin",
                                            "-style",
                                            "-stylesheet",
                                            "-display",
                                            "-geometry",
                                            "-qwindowgeometry",
                                            "-qwindowicon",
                                            "-qwindowtitle",
                                            "-session",
                                            "-name",
                                            "-title"};
    static const char* const alone[] = {"-minimized", "-reverse", "-nograb", "-dograb", "-sync"};
    const auto among = [](const char* arg, const auto& names) {
        return std::any_of(std::begin(names), std::end(names),
                           [arg](const char* name) { return std::strcmp(arg, name) == 0; });
    };
    for (int i = 1; i < argc; ++i) {
        if (among(argv[i], withValue) && i + 1 < argc)
            ++i;
        else if (!among(argv[i], alone))
            return true;
    }
    return false;
}

int CommandLine::exec(int argc, char** argv)
{
    // Without TZ the C library looks at /etc/localtime again at every local
    // time it works out, a system call each: thousands for a long list.
    // Named, the same zone is read once for the run.
    if (!qEnvironmentVariableIsSet("TZ") && QFile::exists(QStringLiteral("/etc/localtime")))
        qputenv("TZ", ":/etc/localtime");
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Quillmur"));
    QFile out, err;
    // Straight to the descriptors: a write that fails is seen at once.
    out.open(STDOUT_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered);
    err.open(STDERR_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered);

    const Parsed parsed = parse(QCoreApplication::arguments().mid(1));
    if (!parsed.command) {
        err.write((QStringLiteral("Quillmur: ") + parsed.error + QLatin1Char('\n')).toUtf8());
        return UserError;
    }
    Environment env;
    env.programFolder = Paths::programFolder();
    if (parsed.command->action == Action::Add) {
        env.scratchFolder = Paths::scratchFolder();
        env.scratchProblem = Paths::scratchFolderProblem();
    }
    env.clock = &Clock::system();
    env.wait = [](int ms) { QThread::msleep(ulong(ms)); };
    env.out = &out;
    env.err = &err;
    const int status = CommandLine(std::move(env)).run(*parsed.command);
    // Closing can still report a write the system took on trust (a network
    // file system, a quota).
    if (status != Failure && ::close(STDOUT_FILENO) != 0 && errno != EBADF && errno != EINTR) {
        err.write(QStringLiteral("Quillmur: не удалось записать вывод: %1\n")
                      .arg(DurableFile::reason(errno))
                      .toUtf8());
        return Failure;
    }
    return status;
}

CommandLine::Parsed CommandLine::parse(const QStringList& arguments)
{
    const auto error = [](const QString& text) { return Parsed{std::nullopt, text}; };
    const auto optionNamed = [](const QString& spelled) -> const Option* {
        for (const Option& o : kOptions) {
            if (spelled == QLatin1String(o.name))
                return &o;
        }
        return nullptr;
    };
    // "--at=..." as well as "--at ...".
    const auto nameOf = [](const QString& arg) {
        const int eq = arg.startsWith(QLatin1String("--")) ? arg.indexOf(QLatin1Char('=')) : -1;
        return eq > 0 ? arg.left(eq) : arg;
    };

    // What the general parser would only say in its own words: a value
    // missing at the end, one given to an option that takes none, and an
    // option it does not know (a value is never taken for an option).
    for (int i = 0; i < arguments.size(); ++i) {
        const QString name = nameOf(arguments[i]);
        const Option* option = optionNamed(name);
        if (!option) {
            if (name.startsWith(QLatin1Char('-')) && name != QLatin1String("-"))
                return error(
                    QStringLiteral("неизвестный параметр %1. %2").arg(quoted(name), kUsageHint));
            continue;
        }
        const bool valueGiven = name.size() != arguments[i].size();
        if (option->takesValue && !valueGiven && ++i >= arguments.size())
            return error(QStringLiteral("после %1 нужно значение").arg(name));
        if (!option->takesValue && valueGiven)
            return error(QStringLiteral("параметр %1 не принимает значения").arg(name));
    }

    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const Option& o : kOptions) {
        QCommandLineOption option(QString::fromLatin1(o.name).remove(QRegularExpression("^-+")));
        if (o.takesValue)
            option.setValueName(QStringLiteral("value"));
        parser.addOption(option);
    }
    parser.parse(QStringList{QStringLiteral("Quillmur")} + arguments);
    if (!parser.positionalArguments().isEmpty())
        return error(QStringLiteral("лишний аргумент %1. %2")
                         .arg(quoted(parser.positionalArguments().first()), kUsageHint));

    std::optional<Command> command;
    QString commandName;
    QStringList seen;
    std::optional<QString> at, comment, repeat;
    bool json = false;
    for (const QString& bare : parser.optionNames()) {
        const QString name = (bare.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + bare;
        const Option* option = optionNamed(name);
        if (!option)
            return error(
                QStringLiteral("неизвестный параметр %1. %2").arg(quoted(name), kUsageHint));
        if (seen.contains(name))
            return error(QStringLiteral("параметр %1 указан дважды").arg(name));
        seen << name;
        const std::optional<QString> value =
            option->takesValue ? std::optional<QString>(parser.value(bare)) : std::nullopt;
        if (option->action) {
            if (command)
                return error(
                    QStringLiteral("команды %1 и %2 нельзя давать вместе").arg(commandName, name));
            command = Command{};
            command->action = *option->action;
            commandName = name;
            switch (command->action) {
            case Action::Add:
                command->audio = *value;
                break;
            case Action::ExportIcs:
                command->icsFile = *value;
                break;
            case Action::Snooze: {
                bool ok = false;
                const int minutes = value->trimmed().toInt(&ok);
                if (!ok || minutes < 1 || minutes > kMaxSnoozeMinutes)
                    return error(QStringLiteral("--snooze: нужно число минут от 1 до %1, а не %2")
                                     .arg(kMaxSnoozeMinutes)
                                     .arg(quoted(*value)));
                command->minutes = minutes;
                break;
            }
            case Action::Set: {
                const QString option = value->section(QLatin1Char('='), 0, 0).trimmed();
                const QString onOff = value->section(QLatin1Char('='), 1).trimmed();
                if (!SuiteOptions().set(option, onOff))
                    return error(QStringLiteral("--set: нужно %1=on|off или %2=on|off, а не %3")
                                     .arg(QLatin1String(SuiteOptions::VoiceAfterChime),
                                          QLatin1String(SuiteOptions::Notifications),
                                          quoted(*value)));
                command->option = option;
                command->value = onOff;
                break;
            }
            default:
                break;
            }
        } else if (name == QLatin1String("--json")) {
            json = true;
        } else if (name == QLatin1String("--at")) {
            at = *value;
        } else if (name == QLatin1String("--repeat")) {
            repeat = *value;
        } else {
            comment = *value;
        }
    }
    if (!command)
        return error(seen.isEmpty()
                         ? QStringLiteral("не указана команда. ") + kUsageHint
                         : QStringLiteral("%1 без команды. %2").arg(seen.first(), kUsageHint));
    for (const QString& modifier : seen) {
        const bool isModifier =
            modifier == QLatin1String("--json") || modifier == QLatin1String("--at") ||
            modifier == QLatin1String("--comment") || modifier == QLatin1String("--repeat");
        if (isModifier && ownerOf(modifier) != command->action)
            return error(QStringLiteral("%1 не относится к команде %2").arg(modifier, commandName));
    }
    if (command->action == Action::Add) {
        if (!at)
            return error(QStringLiteral("для --add нужен срок: --at \"ДД.ММ.ГГГГ ЧЧ:ММ\""));
        if (!readMoment(*at))
            return error(QStringLiteral("неверный срок %1: нужно ДД.ММ.ГГГГ ЧЧ:ММ, например "
                                        "\"24.12.2026 09:15\"")
                             .arg(quoted(*at)));
        if (command->audio.isEmpty())
            return error(QStringLiteral("--add: не указан звуковой файл"));
        command->at = at->trimmed();
        command->comment = comment.value_or(QString());
        if (repeat && !RepeatRule::fromWord(*repeat))
            return error(QStringLiteral("неизвестное повторение %1: нужно daily, weekdays, weekly "
                                        "или monthly")
                             .arg(quoted(*repeat)));
        command->repeat = repeat.value_or(QString());
    }
    if (command->action == Action::ExportIcs && command->icsFile.isEmpty())
        return error(
            QStringLiteral("--export-ics: не указан файл (\"-\" для стандартного вывода)"));
    command->json = json;
    return Parsed{command, {}};
}

QString CommandLine::helpText()
{
    return QStringLiteral(
        "Использование: Quillmur [КОМАНДА]\n"
        "Без команды открывается окно программы. Команды работают без экрана и\n"
        "звукового сервера, в том числе при открытом окне.\n"
        "\n"
        "  --help, -h               эта справка\n"
        "  --version                версия программы\n"
        "  --list [--json]          задания из Media по сроку: срок, состояние\n"
        "                           (прошло, сегодня, позже), длина, комментарий, файл;\n"
        "                           файлы с нестандартным названием отдельно.\n"
        "                           --json: массив объектов с ключами file, due\n"
        "                           (местное время со сдвигом от UTC,\n"
        "                           2026-12-01T08:00:00+03:00), state (past, today,\n"
        "                           later, bad), comment, seconds\n"
        "  --add ЗВУК --at \"ДД.ММ.ГГГГ ЧЧ:ММ\" [--comment ТЕКСТ]\n"
        "        [--repeat daily|weekdays|weekly|monthly]\n"
        "                           новое задание из готовой записи (WAV, FLAC, Ogg,\n"
        "                           MP3, ...); печатает имя файла задания\n"
        "  --snooze МИНУТЫ          задания, срок которых наступил, переносятся на\n"
        "                           сейчас + МИНУТЫ; печатает, что перенесено\n"
        "  --export-ics ФАЙЛ        все задания в календарь iCalendar (\"-\": в\n"
        "                           стандартный вывод)\n"
        "  --set НАСТРОЙКА=on|off   voice-after-chime: после сигнала будильника\n"
        "                           звучат сами записи (по умолчанию off);\n"
        "                           notifications: уведомления рабочего стола о\n"
        "                           наступивших заданиях (по умолчанию on)\n"
        "  --get                    печатает эти настройки\n"
        "\n"
        "Код выхода: 0 - готово, 1 - ошибка в команде, 2 - сбой программы.\n");
}

CommandLine::CommandLine(Environment env) : m_env(std::move(env)) {}

int CommandLine::run(const Command& command)
{
    const int status = dispatch(command);
    if (m_outputError != 0)
        return failure(QStringLiteral("не удалось записать вывод: %1")
                           .arg(DurableFile::reason(m_outputError)));
    return status;
}

int CommandLine::dispatch(const Command& command)
{
    switch (command.action) {
    case Action::Help:
        print(helpText());
        return Ok;
    case Action::Version:
        print(QStringLiteral(QUILL_VERSION "\n"));
        return Ok;
    case Action::List:
        return list(command.json);
    case Action::Add:
        return add(command);
    case Action::Snooze:
        return snooze(command.minutes);
    case Action::ExportIcs:
        return exportIcs(command.icsFile);
    case Action::Set:
        return setOption(command);
    case Action::Get:
        print(SuiteOptions::read(m_env.programFolder).text());
        return Ok;
    }
    return Failure;
}

int CommandLine::setOption(const Command& command)
{
    SuiteOptions options = SuiteOptions::read(m_env.programFolder);
    options.set(command.option, command.value);
    QDir().mkpath(m_env.programFolder + QStringLiteral("/Data"));
    if (const int err = SuiteOptions::write(m_env.programFolder, options))
        return failure(
            QStringLiteral("настройка не сохранена: %1")
                .arg(DurableFile::problem(err, m_env.programFolder + QStringLiteral("/Data"))));
    return Ok;
}

int CommandLine::list(bool json)
{
    if (!mediaReady())
        return Failure;
    // Written as it comes, a screenful at a time: years of notes need no
    // more memory than a week's.
    QByteArray out;
    const auto pass = [this, &out](bool last) {
        if (out.size() >= (64 << 10) || (last && !out.isEmpty())) {
            write(out);
            out.truncate(0); // the buffer stays for the next screenful
        }
    };
    if (json) {
        // As QJsonDocument writes it indented, one object at a time.
        out += "[\n";
        bool first = true;
        TaskCatalog::forEach(mediaFolder(), m_env.clock->now(), [&](const TaskCatalog::Entry& e) {
            warnAboutDamagedRule(e);
            if (!first)
                out += ",\n";
            first = false;
            out += "    {\n        \"comment\": ";
            appendJsonString(out, e.comment);
            out += ",\n        \"due\": ";
            if (e.due.isValid())
                out.append('"').append(withOffset(e.due)).append('"');
            else
                out += "null";
            out += ",\n        \"file\": ";
            appendJsonString(out, e.file);
            out += ",\n        \"repeat\": ";
            if (e.repeat)
                appendJsonString(out, e.repeat->word());
            else
                out += "null";
            out += ",\n        \"seconds\": ";
            if (e.seconds)
                out += QByteArray::number(*e.seconds);
            else
                out += "null";
            out += ",\n        \"state\": ";
            appendJsonString(out, TaskCatalog::stateKey(e.state));
            out += "\n    }";
            pass(false);
        });
        out += first ? "]\n" : "\n]\n";
        pass(true);
        return Ok;
    }
    QStringList bad;
    bool any = false;
    TaskCatalog::forEach(mediaFolder(), m_env.clock->now(), [&](const TaskCatalog::Entry& e) {
        warnAboutDamagedRule(e);
        if (e.state == TaskCatalog::State::BadName) {
            bad << e.file;
            return;
        }
        any = true;
        appendListLine(out, e);
        pass(false);
    });
    if (!bad.isEmpty()) {
        if (any)
            out += '\n';
        out += QStringLiteral("Файлы с нестандартным названием:\n").toUtf8();
        for (const QString& name : bad)
            out += (QStringLiteral("  ") + visible(name) + QLatin1Char('\n')).toUtf8();
    }
    pass(true);
    return Ok;
}

int CommandLine::add(const Command& command)
{
    const QDateTime at = *readMoment(command.at);
    if (!at.isValid())
        return userError(QStringLiteral("времени %1 не будет: в этот день часы переводятся "
                                        "вперёд, выберите другое время")
                             .arg(quoted(command.at)));
    const QDateTime now = m_env.clock->now();
    // The calendar refuses a day before today, nothing else: a time already
    // gone today makes a task that is due at once.
    if (TaskName::classify(at.date(), now.date()) == TaskName::Day::Past)
        return userError(
            QStringLiteral("Этот день уже прошел!!! (%1)").arg(TaskName::dateText(at.date())));
    if (!QFileInfo(command.audio).isFile())
        return userError(QStringLiteral("нет файла %1").arg(quoted(command.audio)));
    if (!mediaReady())
        return Failure;
    if (m_env.scratchFolder.isEmpty())
        return failure(m_env.scratchProblem);
    const QString folder = EncoderPipeline::makeNoteFolder(m_env.scratchFolder);
    if (folder.isEmpty())
        return failure(
            QStringLiteral("не удалось создать папку для записи в %1").arg(m_env.scratchFolder));
    // Ours while this process lives: a window starting meanwhile leaves it
    // alone.
    NoteFile::FolderLock lock(folder);

    const AudioImport::Result imported =
        AudioImport::toWav(command.audio, folder + EncoderJob::kWav);
    if (imported.outcome != AudioImport::Outcome::Ok) {
        QDir(folder).removeRecursively();
        switch (imported.outcome) {
        case AudioImport::Outcome::Missing:
            return userError(QStringLiteral("нет файла %1").arg(quoted(command.audio)));
        case AudioImport::Outcome::NotAudio:
            return userError(QStringLiteral("%1 не звуковой файл").arg(quoted(command.audio)));
        case AudioImport::Outcome::Unsupported:
            return userError(QStringLiteral("%1: этот звуковой формат не поддерживается (подходят "
                                            "WAV, FLAC, Ogg, MP3)")
                                 .arg(quoted(command.audio)));
        case AudioImport::Outcome::NoSound:
            return userError(QStringLiteral("в %1 нет звука").arg(quoted(command.audio)));
        default:
            return failure(QStringLiteral("не удалось записать %1: %2")
                               .arg(folder + EncoderJob::kWav, imported.detail));
        }
    }

    TaskName::Request request;
    request.day = TaskName::twoDigits(at.date().day());
    request.month = TaskName::twoDigits(at.date().month());
    request.year = at.date().year();
    request.hourText = TaskName::twoDigits(at.time().hour());
    request.minuteText = TaskName::twoDigits(at.time().minute());
    NoteJournal journal;
    journal.kind = NoteJournal::Kind::Task;
    journal.target = TaskName::bareName(
        TaskName::appendWithRetry(QString(), request, mediaFolder(), *m_env.clock, m_env.wait));
    const QString typed = CommentRule::typed(command.comment);
    journal.comment = EncoderPipeline::commentFor(typed);
    warnAboutComment(command.comment, typed);
    if (!command.repeat.isEmpty()) {
        RepeatRule rule = *RepeatRule::fromWord(command.repeat);
        if (rule.kind == RepeatRule::Kind::Monthly)
            rule.monthDay = at.date().day();
        journal.repeat = rule.text();
    }

    std::optional<EncoderJob::Result> result;
    EncoderJob job(m_env.programFolder, folder, journal, nullptr, std::move(lock));
    QObject::connect(&job, &EncoderJob::ended,
                     [&result](const EncoderJob::Result& r) { result = r; });
    job.start(false);
    job.settle(kEncoderMs);
    if (!result)
        return failure(QStringLiteral("кодировщик не закончил работу за %1 мин; запись в %2 "
                                      "будет сохранена при следующем запуске Quillmur")
                           .arg(kEncoderMs / 60000)
                           .arg(folder));
    if (result->outcome != EncoderJob::Result::Outcome::Saved) {
        // The sound is the user's own file, still where it was: the job
        // goes, so that trying again cannot make a second task.
        QDir(folder).removeRecursively();
        return failure(QStringLiteral("%1; задание не создано, %2 не изменён")
                           .arg(result->reason.isEmpty() ? result->hint : result->reason,
                                quoted(command.audio)));
    }
    if (result->silent)
        m_env.err->write(QStringLiteral("Quillmur: в записи %1, похоже, тишина\n")
                             .arg(quoted(command.audio))
                             .toUtf8());
    print(QFileInfo(result->path).fileName() + QLatin1Char('\n'));
    return Ok;
}

void CommandLine::warnAboutDamagedRule(const TaskCatalog::Entry& e)
{
    if (e.repeatDamaged)
        m_env.err->write(QStringLiteral("Quillmur: в %1 повреждена запись о повторении: "
                                        "задание считается разовым\n")
                             .arg(quoted(visible(e.file)))
                             .toUtf8());
}

void CommandLine::warnAboutComment(const QString& given, const QString& typed)
{
    // What the tags hold is not what was given: said, not refused.
    QStringList changes;
    if (typed.size() < CommentRule::withoutControls(given).size())
        changes << QStringLiteral("обрезан до %1 знаков").arg(typed.size());
    if (Cp1251::decode(Cp1251::encode(typed)) != typed)
        changes << QStringLiteral(
            "знаки, которых нет в Windows-1251, в теге ID3v1 заменены на «?»");
    if (!changes.isEmpty())
        m_env.err->write(QStringLiteral("Quillmur: комментарий %1: %2\n")
                             .arg(changes.join(QStringLiteral("; ")), quoted(typed))
                             .toUtf8());
}

int CommandLine::snooze(int minutes)
{
    if (!mediaReady())
        return Failure;
    const QDateTime now = m_env.clock->now();
    const QDateTime until = now.addSecs(qint64(minutes) * 60);
    const QString media = mediaFolder();
    int failed = 0;
    for (const TaskCatalog::Entry& e : TaskCatalog::read(media, now)) {
        if (e.state != TaskCatalog::State::Past)
            continue;
        // A taken name gets the next free second, as a new note's would.
        QString error;
        const std::optional<QString> name = NoteFile::moveTask(media, e.file, until, &error);
        if (!name) {
            ++failed;
            m_env.err->write(
                QStringLiteral("Quillmur: %1 не перенесено: %2\n").arg(e.file, error).toUtf8());
            continue;
        }
        print(e.file + QStringLiteral(" -> ") + *name + QLatin1Char('\n'));
    }
    return failed == 0 ? Ok : Failure;
}

int CommandLine::exportIcs(const QString& file)
{
    if (!mediaReady())
        return Failure;
    const QDateTime now = m_env.clock->now();
    // Written whole or not at all: a calendar half written is worse than none.
    QSaveFile target(file);
    const bool toStdout = file == QLatin1String("-");
    IcsExport::Calendar calendar(now, QStringLiteral(QUILL_VERSION));
    QByteArray out;
    bool begun = false, failed = false;
    const auto pass = [&](bool last) {
        if (out.size() < (64 << 10) && !(last && !out.isEmpty()))
            return;
        if (toStdout)
            write(out);
        else if (!failed && target.write(out) != out.size())
            failed = true;
        out.truncate(0); // the buffer stays for the next piece
    };
    // The tasks come before the bad names: a calendar must hold at least one
    // event, so nothing is written unless the first entry is a task.
    bool empty = true;
    TaskCatalog::forEach(
        mediaFolder(), now,
        [&](const TaskCatalog::Entry& e) {
            if (!begun) {
                begun = true;
                empty = e.state == TaskCatalog::State::BadName;
                if (empty)
                    return;
                if (!toStdout && !target.open(QIODevice::WriteOnly))
                    failed = true;
                out += calendar.begin();
            }
            if (empty)
                return;
            calendar.appendEvent(out, e, mediaFolder());
            pass(false);
        },
        TaskCatalog::ContentId::Read);
    if (empty)
        return userError(QStringLiteral("нечего выгружать: в папке Media нет заданий"));
    out += IcsExport::Calendar::end();
    pass(true);
    if (toStdout)
        return Ok;
    if (failed || !target.commit())
        return failure(
            QStringLiteral("не удалось записать %1: %2").arg(quoted(file), target.errorString()));
    return Ok;
}

int CommandLine::userError(const QString& message)
{
    m_env.err->write((QStringLiteral("Quillmur: ") + message + QLatin1Char('\n')).toUtf8());
    return UserError;
}

int CommandLine::failure(const QString& message)
{
    m_env.err->write((QStringLiteral("Quillmur: ") + message + QLatin1Char('\n')).toUtf8());
    return Failure;
}

void CommandLine::print(const QString& text)
{
    write(text.toUtf8());
}

void CommandLine::write(const QByteArray& bytes)
{
    if (m_outputError != 0)
        return;
    errno = 0;
    if (m_env.out->write(bytes) != bytes.size())
        m_outputError = errno != 0 ? errno : EIO;
}

QString CommandLine::mediaFolder() const
{
    return m_env.programFolder + QStringLiteral("/Media/");
}

bool CommandLine::mediaReady()
{
    // The program never makes Media/: the installation does.
    if (QFileInfo(mediaFolder()).isDir())
        return true;
    failure(QStringLiteral("нет папки %1 (программа не установлена?)").arg(mediaFolder()));
    return false;
}
