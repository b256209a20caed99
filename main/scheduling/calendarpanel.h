#pragma once

#include "daychoice.h"
#include "repeatrule.h"

#include <QWidget>

#include <memory>

class Clock;
class QLabel;
class QPushButton;
class cCalendar;

// The contents of the calendar panel `fraCalendar`: the calendar's host
// `picCalendar`, the day caption `labDnia` and the buttons `cmdCalen` and
// `cmdCalenClose`. A past day is refused; the accepted day, month and year
// travel together.
class CalendarPanel : public QWidget
{
    Q_OBJECT
public:
    CalendarPanel(const Clock& clock, QWidget* parent);
    ~CalendarPanel() override;

    // Opens a new calendar (replacing the one shown) with today selected.
    void cmdCalen_Click();
    // Removes the calendar window; the accepted day stays.
    void cmdCalenClose_Click();
    // Offers the calendar's selection: accepted and captioned, or refused.
    void ShowChosenDay();

    QString chosenDay() const { return m_choice.chosenDay(); }
    QString chosenMonth() const { return m_choice.chosenMonth(); }
    int chosenYear() const { return m_choice.chosenYear(); }
    QWidget* picCalendar() const { return m_picCalendar; }

    // How the new note repeats: none (a one-time note, as at every start),
    // or the rule the small button between the panel's buttons turns to;
    // each press moves on to the next (none, every day, weekdays, every
    // week, every month) and the hint line says which.
    std::optional<RepeatRule> repeat() const { return m_repeat; }
    void nextRepeat();
    void clearRepeat();
    // The rule as the note's file keeps it, a monthly one with the chosen
    // day; empty for none.
    QString repeatText() const;
    cCalendar* Calen() const { return m_calen.get(); }

signals:
    void hintChanged(const QString& text);
    // Show or hide the warning animation of a past day.
    void warningAnimation(bool shown);
    void dayAccepted(const QString& day, const QString& month, int year);

private:
    const Clock& m_clock;
    DayChoice m_choice;
    std::unique_ptr<cCalendar> m_calen;
    QWidget* m_picCalendar = nullptr;
    QLabel* m_labDnia = nullptr;
    QPushButton* m_cmdCalen = nullptr;
    QPushButton* m_cmdCalenClose = nullptr;
    QPushButton* m_cmdRepeat = nullptr;
    std::optional<RepeatRule> m_repeat;
};
