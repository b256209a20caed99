#include "notevoice.h"

#include "mci.h"

#include <cstdio>

namespace {
// How soon the end of one note leads on to the next.
constexpr int PollMs = 50;
} // namespace

NoteVoice::NoteVoice(QStringList paths, int limitMs, CommandSink send,
                     std::function<bool(const QString&)> playing,
                     std::function<QString(const QString&)> shortPath, QObject* parent)
    : QObject(parent), m_paths(std::move(paths)), m_limitMs(limitMs), m_send(std::move(send)),
      m_playing(std::move(playing)), m_shortPath(std::move(shortPath))
{
    m_poll.setInterval(PollMs);
    connect(&m_poll, &QTimer::timeout, this, &NoteVoice::checkEnded);
    m_limit.setSingleShot(true);
    m_limit.setTimerType(Qt::PreciseTimer);
    connect(&m_limit, &QTimer::timeout, this, [this] {
        endCurrent();
        next();
    });
}

void NoteVoice::cue()
{
    if (m_next < m_paths.size()) {
        const QString file = m_shortPath(m_paths[m_next]);
        if (!file.isEmpty())
            m_send(QStringLiteral("Cue ") + file);
    }
}

void NoteVoice::start()
{
    next();
}

void NoteVoice::next()
{
    while (m_next < m_paths.size()) {
        const QString path = m_paths[m_next++];
        const QString file = m_shortPath(path);
        const int result =
            file.isEmpty() ? int(MciFileNotFound) : m_send(QStringLiteral("Play ") + file);
        if (result != MciOk) {
            std::fprintf(stderr, "Tinkra: the note %s is passed over: %s\n", qPrintable(path),
                         qPrintable(mciErrorText(result)));
            if (!file.isEmpty())
                m_send(QStringLiteral("Stop ") + file); // frees what the Cue opened
            continue;
        }
        m_current = file;
        ++m_played;
        if (m_limitMs > 0)
            m_limit.start(m_limitMs);
        m_poll.start();
        return;
    }
    emit finished();
}

void NoteVoice::checkEnded()
{
    if (m_playing(m_current))
        return;
    endCurrent();
    next();
}

void NoteVoice::endCurrent()
{
    m_poll.stop();
    m_limit.stop();
    // Also frees the decoder of a note that played to its end.
    m_send(QStringLiteral("Stop ") + m_current);
    m_current.clear();
}
