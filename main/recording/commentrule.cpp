#include "commentrule.h"

namespace CommentRule {

QString blanksReplaced(const QString& text)
{
    QString fixed = text;
    fixed.replace(QLatin1Char(' '), QLatin1Char('_'));
    return fixed;
}

QString typed(const QString& text)
{
    QString cut = blanksReplaced(text).left(kMaxLength);
    if (!cut.isEmpty() && cut.back().isHighSurrogate())
        cut.chop(1);
    return cut;
}

} // namespace CommentRule
