#pragma once

#include <QCalendarWidget>
#include <QObject>
#include <QPointer>

class Clock;
class QWidget;

// One month calendar window inside a parent: ISO week numbers, Monday first,
// Russian names. Its notifications arrive as the two signals below and are
// connected to this object only, so they end with it (or with Destroy).
class cCalendar : public QObject
{
    Q_OBJECT
public:
    // Style bit that shows the week numbers beside the days.
    static constexpr quint32 kWeekNumbers = 4;
    // Notification codes passed to zRaiseEvents.
    static constexpr int kSelChangeCode = -749; // selection changed
    static constexpr int kSelectCode = -746;    // a day was picked

    explicit cCalendar(const Clock& clock, QObject* parent = nullptr);
    ~cCalendar() override;

    // The calendar window, nullptr before Create and after Destroy.
    QCalendarWidget* hWnd() const { return m_wnd; }

    // Makes the calendar at (nLeft, nTop) of `hParent`, `nWidth` x `nHeight`,
    // with today selected. A calendar made earlier by this object is
    // destroyed first. False without a parent.
    bool Create(QWidget* hParent, quint32 dwFlags, int nLeft, int nTop, int nWidth, int nHeight);
    // Removes the window; the object stays and reads zeros afterwards.
    void Destroy();

    // The selected day, month and year; 0 without a window. Setting one field
    // keeps the others; a combination that is no date is not applied. Setting
    // the selection from code sends no notification.
    int Day() const;
    void setDay(int newVal);
    int Month() const;
    void setMonth(int newVal);
    int Year() const;
    void setYear(int newVal);

    // 0 = Monday .. 6 = Sunday.
    int FirstDayOfWeek() const;
    void setFirstDayOfWeek(int newVal);
    // The calendar selects one day at a time, so this reads 1 whatever was set.
    int MaxSelCount() const;
    void setMaxSelCount(int newVal);
    // Pixel width of the calendar's "today" text, "Сегодня: DD.MM.YYYY".
    int MaxTodayStrLen() const;
    // The smallest size that shows a whole month.
    int MinWidth() const;
    int MinHeight() const;

    // Turns a notification code into the matching signal; other codes do nothing.
    void zRaiseEvents(int uMsg);
    static qint16 LoWord(quint32 dWord);

signals:
    void ChangeSelected();
    void SelChange();

private:
    struct Selection
    {
        int year = 0;
        int month = 0;
        int day = 0;
    };
    Selection ReadSelection() const;
    void WriteSelection(const Selection& s);

    const Clock& m_clock;
    QPointer<QCalendarWidget> m_wnd;
};
