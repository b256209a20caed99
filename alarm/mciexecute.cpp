#include "mciexecute.h"

#include "alarmsound.h"
#include "mci.h"

#include <QFileInfo>

int playAlarm(const QString& ownFolder, QString* detail)
{
    const QString file = AlarmSound::alarmFile(ownFolder);
    if (!QFileInfo(file).isFile()) {
        *detail = file;
        return MciFileNotFound;
    }
    const QString command = AlarmSound::playCommand(ownFolder);
    const int result = mciSendString(command);
    if (result != MciOk)
        *detail = command;
    return result;
}
