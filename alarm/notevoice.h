#pragma once

#include "commandsink.h"

#include <QObject>
#include <QStringList>
#include <QTimer>

#include <functional>

// Plays notes one after another through media command strings: each from
// its beginning, for at most `limitMs` (0: to its end), then the next. A note
// that is missing or cannot be played is passed over with a line on
// standard error. finished() comes once the last one is over, also when
// none could be played.
class NoteVoice : public QObject
{
    Q_OBJECT
public:
    // `send` carries the commands out; `playing` tells whether the playback
    // of a file, named as in its command, still sounds; `shortPath` gives
    // that name (empty for a missing file).
    NoteVoice(QStringList paths, int limitMs, CommandSink send,
              std::function<bool(const QString&)> playing,
              std::function<QString(const QString&)> shortPath, QObject* parent = nullptr);

    // Opens the first note ahead, silently, so that start() is heard at once.
    void cue();
    void start();

    // How many notes were started.
    int played() const { return m_played; }
    // The note sounding now, as sent in its command; empty between notes.
    QString current() const { return m_current; }

signals:
    void finished();

private:
    void next();
    void checkEnded();
    void endCurrent();

    QStringList m_paths;
    int m_limitMs;
    CommandSink m_send;
    std::function<bool(const QString&)> m_playing;
    std::function<QString(const QString&)> m_shortPath;
    QTimer m_poll;  // looks whether the note still sounds
    QTimer m_limit; // the most a note may last
    QString m_current;
    int m_next = 0;
    int m_played = 0;
};
