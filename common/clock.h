#pragma once

#include <QDateTime>

// Every reading of the wall clock goes through a Clock, so that the rules that
// depend on "now" (due tasks, day lists, task names) can be tested at any
// moment, midnight included.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;

    // The process-wide real clock (local time).
    static const Clock& system();
};

class SystemClock : public Clock
{
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};
