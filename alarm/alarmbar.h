#pragma once

#include "alarmwindow.h"

#include <QFontMetrics>
#include <QTimer>
#include <QWidget>

// Tinkra's window (`Form1`): the small always-on-top bar "   Есть напоминание"
// at the bottom left of the screen, with what is due under the title. It never takes the focus from
// what the user is doing, and it lifts itself above other windows every 50 ms.
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

    // The line under the title about the due notes (see DueNotes::caption);
    // with none the bar shows its title alone.
    void setNoteCaption(const QString& caption);
    QString noteCaption() const { return m_noteCaption; }
    // The caption as it fits `width`: the comment elided with "…".
    static QString fitted(const QString& caption, const QFontMetrics& metrics, int width);

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
    QString m_noteCaption;
};

// The message box of a failed media command: the error and its detail. It
// does not hold up the caller.
void showMciError(const QString& text, const QString& detail);
