// Writing the rule needs the tag library; reading it does not. Apart, so
// that the programs that only read rules do not load the library.
#include "id3v2.h"
#include "taskrepeat.h"

namespace TaskRepeat {

int write(const QString& path, const RepeatRule& rule)
{
    return Id3v2::setUserText(path, QLatin1String(FrameName), rule.text());
}

} // namespace TaskRepeat
