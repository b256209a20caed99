#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM, SIGINT and SIGHUP (logout, kill, a closed terminal) into a
// Qt signal on the event loop, so a program ends the same orderly way as
// through its own exit and puts the user's sound settings back. The handler
// only writes the signal number into a pipe; everything else happens when
// the event loop reads it. One object per process; it is meant to live as
// long as the application.
class ShutdownSignals : public QObject
{
    Q_OBJECT
public:
    explicit ShutdownSignals(QObject* parent = nullptr);
    ~ShutdownSignals() override;

    // Catches the watched signals from now on, before the application (and
    // this object) exists: what arrives meanwhile waits for the object. False
    // when it cannot, and the default actions stay. Lets through what the
    // calling thread held back of them.
    static bool catchEarly();

    // The signals that ask for the orderly end.
    static const int Watched[3];

signals:
    // One of the watched signals arrived (`signalNumber`: SIGTERM, ...).
    void received(int signalNumber);

private:
    void readPipe();

    QSocketNotifier* m_notifier = nullptr;
};
