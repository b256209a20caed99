#include "mciexecute.h"

#include "mci.h"

#include <QMessageBox>

int mciExecute(const QString& command)
{
    const int result = mciSendString(command);
    if (result != MciOk) {
        // Not modal: the alarm player must still end on time and put the
        // mixer back, answered or not.
        auto* box = new QMessageBox(QMessageBox::Critical, QStringLiteral("Tinkra"),
                                    mciErrorText(result), QMessageBox::Ok);
        box->setObjectName(QStringLiteral("mciError"));
        box->setInformativeText(command);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->setWindowModality(Qt::NonModal);
        box->show();
    }
    return result;
}
