#include "player.h"

#include "roundhalfeven.h"

#include "leadingnumber.h"

#include <QTimer>

#include <cmath>

Player::Player(CommandSink send, std::function<QString(const QString&)> shortPath,
               std::function<void(int)> wait, QString* playingFile, QObject* parent)
    : QObject(parent), m_send(std::move(send)), m_shortPath(std::move(shortPath)),
      m_wait(std::move(wait)), m_playingFile(playingFile), m_timer(new QTimer(this))
{
    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setInterval(1000);
    connect(m_timer, &QTimer::timeout, this, &Player::tick);
}

int Player::send(const QString& verb, const QString& suffix)
{
    const QString path = m_shortPath ? m_shortPath(*m_playingFile) : *m_playingFile;
    return m_send ? m_send(verb + path + suffix) : 0;
}

void Player::setState(State s)
{
    const bool wasRunning = isRunning();
    m_state = s;
    if (wasRunning != isRunning())
        emit runningChanged(isRunning());
}

void Player::startTimer()
{
    // A task shorter than a second (or one whose length could not be read)
    // has no step to advance by; the bar then stays where it is.
    if (m_total > 0)
        m_timer->start();
}

void Player::play(const QString& file, const QString& lengthCaption)
{
    if (m_state != State::Stopped)
        return;
    *m_playingFile = file;
    const int result = send(QStringLiteral("Play "));
    m_total = leadingNumber(lengthCaption);
    if (result != 0 || m_total <= 0) {
        // The player refused the file, or the task has no length to count
        // (an empty or unreadable file): stay stopped rather than show a
        // playback nobody hears. A task shorter than a second plays out
        // by itself.
        emit changed();
        return;
    }
    setState(State::Playing);
    m_loaded = true;
    startTimer();
    emit changed();
}

void Player::pause()
{
    if (!m_loaded || m_state != State::Playing)
        return;
    send(QStringLiteral("Pause "));
    setState(State::Paused);
    m_timer->stop();
    emit changed();
}

int Player::positionFor(int width) const
{
    const double product = double(roundHalfEven(double(m_total) * 1000.0 * width));
    return int(roundHalfEven(product / kBarWidth));
}

void Player::playFrom(int position)
{
    m_seekPosition = position;
    m_playRange = QStringLiteral(" from %1 to %2").arg(position).arg(qint64(m_total) * 1000);
    send(QStringLiteral("Play "), m_playRange);
}

void Player::resume()
{
    if (m_state != State::Paused)
        return;
    if (m_seekDone) {
        // After a seek the player was restarted with a range; resume from
        // where the bar stands rather than where the sound paused.
        send(QStringLiteral("Stop "));
        playFrom(positionFor(m_barWidth));
    } else {
        send(QStringLiteral("Play "));
    }
    setState(State::Playing);
    startTimer();
    emit changed();
}

void Player::stop()
{
    send(QStringLiteral("Stop "));
    setState(State::Stopped);
    m_timer->stop();
    emit changed();
    if (m_wait)
        m_wait(500);
    m_minutes = m_seconds = QStringLiteral("0");
    m_elapsed = 0;
    m_loaded = false;
    m_barWidth = kStoppedWidth;
    m_seekDone = false;
    emit changed();
}

bool Player::seek(int x)
{
    if (m_state != State::Playing)
        return false;
    send(QStringLiteral("Stop "));
    const int position = positionFor(x);
    m_elapsed = position / 1000;
    // Whole seconds in minutes and seconds, as the ticks show them.
    m_minutes = QString::number(m_elapsed / 60);
    m_seconds = QString::number(m_elapsed % 60);
    playFrom(position);
    m_seekDone = true;
    m_barWidth = x;
    emit changed();
    return true;
}

void Player::tick()
{
    if (m_total <= 0) {
        m_timer->stop();
        return;
    }
    const int step = kBarWidth / m_total;
    if (m_elapsed < m_total) {
        ++m_elapsed;
        // Minutes are recomputed on every tick, so a seek back to the first
        // second does not leave a stale minute count on the display.
        m_minutes = QString::number(m_elapsed / 60);
        m_seconds = QString::number(m_elapsed % 60);
        m_barWidth += step;
        emit changed();
    } else {
        stop();
        emit finished();
    }
}
