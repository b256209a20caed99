#include "tinkraarguments.h"

#include <QFile>

TinkraArguments TinkraArguments::parse(const QStringList& arguments)
{
    const QString option = QStringLiteral("--note");
    TinkraArguments parsed;
    bool seen = false;
    for (int i = 0; i < arguments.size(); ++i) {
        QString file;
        if (arguments[i] == option) {
            if (i + 1 < arguments.size())
                file = arguments[++i];
        } else if (arguments[i].startsWith(option + QLatin1Char('='))) {
            file = arguments[i].mid(option.size() + 1);
        } else {
            continue;
        }
        if (seen)
            return {QString(), QStringLiteral("--note is given twice")};
        seen = true;
        if (file.isEmpty())
            return {QString(), QStringLiteral("--note needs the file to play")};
        parsed.noteFile = file;
    }
    return parsed;
}

TinkraArguments TinkraArguments::parse(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QFile::decodeName(argv[i]);
    return parse(arguments);
}
