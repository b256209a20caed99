#include "mciexecute.h"

#include "alarmsound.h"
#include "mci.h"

#include <QFileInfo>
#include <QMessageBox>

void showMciError(int code, const QString& detail)
{
    // Not modal: the alarm player must still end on time and put the mixer
    // back, answered or not.
    auto* box = new QMessageBox(QMessageBox::Critical, QStringLiteral("Tinkra"), mciErrorText(code),
                                QMessageBox::Ok);
    box->setObjectName(QStringLiteral("mciError"));
    box->setInformativeText(detail);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
}

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
