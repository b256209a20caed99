#include "alarmwindow.h"

#include <QThread>

#include <csignal>
#include <cstring>
#include <sys/wait.h>
#include <unistd.h>

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

void DisplayProbe::start(const QString& ownFolder, int argc, char** argv)
{
    const pid_t pid = ::fork();
    if (pid != 0) {
        m_pid = pid; // -1 when no child could be made: usable() then says so
        return;
    }
    // The child: make the application the bar would need, and tell.
    AlarmWindowModule module;
    if (!module.load(ownFolder))
        ::_exit(2);
    int count = argc;
    ::_exit(module.createApplication(&count, argv) ? 0 : 3);
}

bool DisplayProbe::usable(int ms, QString* why)
{
    if (m_pid <= 0) {
        *why = QStringLiteral("no process to look at the display with");
        return false;
    }
    int status = 0;
    pid_t done = 0;
    for (int waited = 0; (done = ::waitpid(pid_t(m_pid), &status, WNOHANG)) == 0; waited += 20) {
        if (waited >= ms) {
            ::kill(pid_t(m_pid), SIGKILL);
            ::waitpid(pid_t(m_pid), &status, 0);
            *why = QStringLiteral("the display did not answer");
            return false;
        }
        QThread::msleep(20);
    }
    m_pid = -1;
    if (done > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0)
        return true;
    *why = done > 0 && WIFSIGNALED(status)
               ? QStringLiteral("Qt cannot open a display here (%1)")
                     .arg(QString::fromLocal8Bit(::strsignal(WTERMSIG(status))))
               : QStringLiteral("Qt cannot open a display here");
    return false;
}
