#include "alarmwindow.h"

#include <QThread>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
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

DisplayProbe::~DisplayProbe()
{
    go();
}

void DisplayProbe::start(const QString& ownFolder, int argc, char** argv)
{
    int fds[2] = {-1, -1};
    if (::pipe2(fds, O_CLOEXEC) != 0)
        fds[0] = fds[1] = -1; // the child then looks at once
    const pid_t pid = ::fork();
    if (pid != 0) {
        m_pid = pid; // -1 when no child could be made: usable() then says so
        if (fds[0] >= 0)
            ::close(fds[0]);
        m_go = fds[1];
        return;
    }
    // The child: wait for the word (or the player's end), then make the
    // application the bar would need, and tell.
    if (fds[1] >= 0) {
        ::close(fds[1]);
        char c = 0;
        while (::read(fds[0], &c, 1) < 0 && errno == EINTR) {
        }
        ::close(fds[0]);
    }
    AlarmWindowModule module;
    if (!module.load(ownFolder))
        ::_exit(2);
    int count = argc;
    ::_exit(module.createApplication(&count, argv) ? 0 : 3);
}

void DisplayProbe::go()
{
    if (m_go < 0)
        return;
    ::close(m_go); // the child's read ends
    m_go = -1;
}

bool DisplayProbe::usable(int ms, QString* why)
{
    go();
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
