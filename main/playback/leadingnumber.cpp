#include "leadingnumber.h"

int leadingNumber(const QString& text)
{
    int i = 0;
    while (i < text.size() && text.at(i) == QLatin1Char(' '))
        ++i;
    qint64 value = 0;
    for (; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            break;
        value = value * 10 + (c.unicode() - '0');
        if (value > 0x7fffffff) // a caption this long is no length; keep it bounded
            return 0x7fffffff;
    }
    return int(value);
}
