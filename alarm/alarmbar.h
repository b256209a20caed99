#pragma once

#include "alarmwindow.h"

#include <QTimer>
#include <QWidget>

// Tinkra's window (`Form1`): the small always-on-top bar "   Есть напоминание"
// at the bottom left of the screen. It never takes the focus from what the
// user is doing, and it lifts itself above other windows every 50 ms.
class AlarmBar : public QWidget
{
    Q_OBJECT
public:
    static constexpr int AlarmMs = AlarmWindowModule::AlarmMs;

    AlarmBar();

    // `Timer1`: ends the alarm; started once the sound is going.
    QTimer& timer1() { return m_timer1; }
    // `Timer2`: keeps the bar on top.
    QTimer& timer2() { return m_timer2; }

    static QString title();

signals:
    // Timer1 has run out: the alarm is over.
    void timeUp();

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void placeBottomLeft();

    QTimer m_timer1;
    QTimer m_timer2;
};

// The message box of a failed media command: the error and its detail. It
// does not hold up the caller.
void showMciError(const QString& text, const QString& detail);
