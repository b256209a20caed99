#include "alarmwindow.h"

QString AlarmWindowModule::fileIn(const QString& ownFolder)
{
    return ownFolder + QStringLiteral("/libTinkraWindow.so");
}

bool AlarmWindowModule::load(const QString& ownFolder)
{
    m_library.setFileName(fileIn(ownFolder));
    if (!m_library.load()) {
        m_error = m_library.errorString();
        return false;
    }
    createApplication =
        reinterpret_cast<CreateAlarmApplication>(m_library.resolve("tinkraCreateApplication"));
    showWindow = reinterpret_cast<ShowAlarmWindow>(m_library.resolve("tinkraShowBar"));
    if (!createApplication || !showWindow) {
        m_error = m_library.errorString();
        createApplication = nullptr;
        showWindow = nullptr;
        return false;
    }
    return true;
}
