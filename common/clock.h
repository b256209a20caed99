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

// A clock that stands still until told otherwise.
class TestClock : public Clock
{
public:
    explicit TestClock(const QDateTime& start) : m_now(start) {}
    QDateTime now() const override { return m_now; }
    void set(const QDateTime& t) { m_now = t; }
    void advanceSeconds(qint64 s) { m_now = m_now.addSecs(s); }
    void advanceMinutes(qint64 m) { m_now = m_now.addSecs(60 * m); }
    void advanceDays(qint64 d) { m_now = m_now.addDays(d); }

private:
    QDateTime m_now;
};
