#pragma once

#include "commandsink.h"

#include <QObject>
#include <QString>

#include <functional>

class QTimer;

// Playback of one task file through media command strings: play, pause,
// resume, stop, seek on the progress bar, and the one-second progress tick
// (`Timer1`). The bar and the elapsed time are counted here, not read back
// from the player, so they assume one tick per second of sound. Widths are in
// twips, as the bar is laid out.
class Player : public QObject
{
    Q_OBJECT
public:
    enum class State { Stopped, Playing, Paused };

    static constexpr int kBarWidth = 1710;  // imgSliderFon
    static constexpr int kStoppedWidth = 2; // imgSlider after every stop

    // `playingFile` is the window's shared field: the task last started, which
    // every later command addresses. `shortPath` turns a path into the form
    // sent in commands; `wait` waits while events keep running (Stop waits
    // 500 ms so the player can let go of the file).
    Player(CommandSink send, std::function<QString(const QString&)> shortPath,
           std::function<void(int)> wait, QString* playingFile, QObject* parent = nullptr);

    // Starts `file` from its beginning; `lengthCaption` is the task's length
    // caption (whole seconds). Only from Stopped. Stays Stopped when the
    // player reports an error or the length is 0.
    void play(const QString& file, const QString& lengthCaption);
    // Only while sound plays.
    void pause();
    void resume();
    void stop();
    // A click on the bar `x` twips from its left edge; refused (false) unless
    // sound is playing.
    bool seek(int x);
    // The Timer1 handler.
    void tick();

    State state() const { return m_state; }
    bool isRunning() const { return m_state == State::Playing; } // GifCtl7.Enabled
    bool isLoaded() const { return m_loaded; }                   // imgSliderClik enabled
    int total() const { return m_total; }                        // Label9
    int elapsed() const { return m_elapsed; }                    // Label1
    QString elapsedMinutes() const { return m_minutes; }         // Label2(3)
    QString elapsedSeconds() const { return m_seconds; }         // Label2(5)
    int barWidth() const { return m_barWidth; }                  // imgSlider, twips
    bool seekDone() const { return m_seekDone; }
    int seekPosition() const { return m_seekPosition; }
    QString playRange() const { return m_playRange; }
    QTimer* timer() const { return m_timer; }

signals:
    // Counters, bar or state changed; the view redraws.
    void changed();
    // True exactly while sound plays (the playback animation follows it).
    void runningChanged(bool running);
    // The end of the track was reached and playback stopped by itself.
    void finished();

private:
    // Returns the player's answer, 0 when it accepted the command.
    int send(const QString& verb, const QString& suffix = QString());
    void setState(State s);
    void startTimer();
    int positionFor(int width) const;
    void playFrom(int position);

    CommandSink m_send;
    std::function<QString(const QString&)> m_shortPath;
    std::function<void(int)> m_wait;
    QString* m_playingFile;
    QTimer* m_timer;

    State m_state = State::Stopped;
    bool m_loaded = false;
    int m_total = 0;
    int m_elapsed = 0;
    QString m_minutes = QStringLiteral("0");
    QString m_seconds = QStringLiteral("0");
    int m_barWidth = 15; // the design width until the first stop
    bool m_seekDone = false;
    int m_seekPosition = 0;
    QString m_playRange;
};
