#pragma once

#include "clock.h"

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
