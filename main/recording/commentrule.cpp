#include "commentrule.h"

namespace CommentRule {

QString blanksReplaced(const QString& text)
{
    QString fixed = text;
    fixed.replace(QLatin1Char(' '), QLatin1Char('_'));
    return fixed;
}

QString withoutControls(const QString& text)
{
    QString printable;
    printable.reserve(text.size());
    for (const QChar c : text) {
        if (c.category() != QChar::Other_Control)
            printable += c;
    }
    return printable;
}

QString typed(const QString& text)
{
    // Control characters (line breaks, escape sequences) cannot be typed
    // into the field; from elsewhere they are dropped.
    QString cut = blanksReplaced(withoutControls(text)).left(kMaxLength);
    if (!cut.isEmpty() && cut.back().isHighSurrogate())
        cut.chop(1);
    return cut;
}

} // namespace CommentRule
