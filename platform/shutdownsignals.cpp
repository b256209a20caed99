#include "shutdownsignals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>

namespace {

int g_pipe[2] = {-1, -1};

extern "C" void onShutdownSignal(int signalNumber)
{
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(signalNumber);
    // Async-signal-safe: a write to a non-blocking pipe, nothing else. A full
    // pipe already holds a request to end.
    [[maybe_unused]] const ssize_t n = ::write(g_pipe[1], &byte, 1);
    errno = saved;
}

} // namespace

const int ShutdownSignals::Watched[3] = {SIGTERM, SIGINT, SIGHUP};

bool ShutdownSignals::catchEarly()
{
    sigset_t watched;
    sigemptyset(&watched);
    for (int s : Watched)
        sigaddset(&watched, s);
    bool caught = false;
    if (g_pipe[0] >= 0 || ::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) == 0) {
        struct sigaction action = {};
        action.sa_handler = onShutdownSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        for (int s : Watched)
            sigaction(s, &action, nullptr);
        caught = true;
    }
    // A program may hold them back until now (the alarm's first stage does,
    // from its start): one that came meanwhile is taken now, in the pipe (or,
    // when there is none, by the default action: nothing better is possible).
    pthread_sigmask(SIG_UNBLOCK, &watched, nullptr);
    return caught;
}

ShutdownSignals::ShutdownSignals(QObject* parent) : QObject(parent)
{
    if (!catchEarly())
        return;
    // A request that came before this object waits in the pipe: the
    // notifier reports it as soon as the event loop runs.
    m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &ShutdownSignals::readPipe);
}

ShutdownSignals::~ShutdownSignals()
{
    // Back to the default actions before the pipe's reader goes away.
    for (int s : Watched)
        std::signal(s, SIG_DFL);
}

void ShutdownSignals::readPipe()
{
    unsigned char byte = 0;
    while (::read(g_pipe[0], &byte, 1) == 1)
        emit received(byte);
}
