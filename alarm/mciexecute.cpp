#include "mciexecute.h"

#include "alarmsound.h"
#include "mci.h"

#include <QFileInfo>
#include <QMessageBox>

namespace {

void showError(int code, const QString& detail)
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

} // namespace

int mciExecute(const QString& command)
{
    const int result = mciSendString(command);
    if (result != MciOk)
        showError(result, command);
    return result;
}

int playAlarm(const QString& ownFolder)
{
    const QString file = AlarmSound::alarmFile(ownFolder);
    if (!QFileInfo(file).isFile()) {
        showError(MciFileNotFound, file);
        return MciFileNotFound;
    }
    return mciExecute(AlarmSound::playCommand(ownFolder));
}
