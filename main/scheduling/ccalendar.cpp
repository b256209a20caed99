#include "ccalendar.h"

#include "clock.h"
#include "loword.h"

#include <QCalendarWidget>
#include <QFont>
#include <QFontMetrics>
#include <QLocale>

cCalendar::cCalendar(const Clock& clock, QObject* parent) : QObject(parent), m_clock(clock) {}

cCalendar::~cCalendar()
{
    Destroy();
}

bool cCalendar::Create(QWidget* hParent, quint32 dwFlags, int nLeft, int nTop, int nWidth,
                       int nHeight)
{
    Destroy(); // never leave an older window of ours behind, still connected
    if (!hParent)
        return false;
    auto* w = new QCalendarWidget(hParent);
    w->setObjectName(QStringLiteral("Calen"));
    w->setLocale(QLocale(QLocale::Russian, QLocale::Russia));
    w->setFirstDayOfWeek(Qt::Monday);
    w->setVerticalHeaderFormat((dwFlags & kWeekNumbers) ? QCalendarWidget::ISOWeekNumbers
                                                        : QCalendarWidget::NoVerticalHeader);
    w->setHorizontalHeaderFormat(QCalendarWidget::ShortDayNames);
    w->setSelectionMode(QCalendarWidget::SingleSelection);
    w->setGridVisible(false);
    // A smaller face than the window's, so a whole month with its week
    // numbers fits the 200 x 190 pixels the panel gives the calendar.
    QFont f = w->font();
    f.setPixelSize(11);
    w->setFont(f);
    {
        const QSignalBlocker block(w);
        w->setSelectedDate(m_clock.now().date());
    }
    w->setGeometry(nLeft, nTop, nWidth, nHeight);
    connect(w, &QCalendarWidget::selectionChanged, this, [this] { zRaiseEvents(kSelChangeCode); });
    connect(w, &QCalendarWidget::clicked, this, [this] { zRaiseEvents(kSelectCode); });
    connect(w, &QCalendarWidget::activated, this, [this] { zRaiseEvents(kSelectCode); });
    w->show();
    m_wnd = w;
    return true;
}

void cCalendar::Destroy()
{
    if (!m_wnd)
        return;
    QCalendarWidget* w = m_wnd;
    m_wnd = nullptr;
    w->disconnect(this);
    // Destroy may run inside one of the window's own signals (a click that
    // ends the dialogue), so the window goes at the next turn of the loop.
    w->hide();
    w->deleteLater();
}

cCalendar::Selection cCalendar::ReadSelection() const
{
    Selection s;
    if (m_wnd) {
        const QDate d = m_wnd->selectedDate();
        s.year = d.year();
        s.month = d.month();
        s.day = d.day();
    }
    return s;
}

void cCalendar::WriteSelection(const Selection& s)
{
    const QDate d(s.year, s.month, s.day);
    if (!m_wnd || !d.isValid())
        return;
    const QSignalBlocker block(m_wnd.data());
    m_wnd->setSelectedDate(d);
}

int cCalendar::Day() const
{
    return ReadSelection().day;
}
int cCalendar::Month() const
{
    return ReadSelection().month;
}
int cCalendar::Year() const
{
    return ReadSelection().year;
}

void cCalendar::setDay(int newVal)
{
    Selection s = ReadSelection();
    s.day = newVal;
    WriteSelection(s);
}

void cCalendar::setMonth(int newVal)
{
    Selection s = ReadSelection();
    s.month = newVal;
    WriteSelection(s);
}

void cCalendar::setYear(int newVal)
{
    Selection s = ReadSelection();
    s.year = newVal;
    WriteSelection(s);
}

int cCalendar::FirstDayOfWeek() const
{
    if (!m_wnd)
        return 0;
    return LoWord(quint32(int(m_wnd->firstDayOfWeek()) - 1));
}

void cCalendar::setFirstDayOfWeek(int newVal)
{
    if (m_wnd && newVal >= 0 && newVal <= 6)
        m_wnd->setFirstDayOfWeek(Qt::DayOfWeek(newVal + 1));
}

int cCalendar::MaxSelCount() const
{
    return m_wnd ? 1 : 0;
}

void cCalendar::setMaxSelCount(int)
{
    // One day is all a reminder needs; the widget has no range selection.
}

int cCalendar::MaxTodayStrLen() const
{
    if (!m_wnd)
        return 0;
    const QString today =
        QStringLiteral("Сегодня: ") + m_clock.now().date().toString(QStringLiteral("dd.MM.yyyy"));
    return QFontMetrics(m_wnd->font()).horizontalAdvance(today);
}

int cCalendar::MinWidth() const
{
    return m_wnd ? m_wnd->minimumSizeHint().width() : 0;
}

int cCalendar::MinHeight() const
{
    return m_wnd ? m_wnd->minimumSizeHint().height() : 0;
}

void cCalendar::zRaiseEvents(int uMsg)
{
    if (uMsg == kSelChangeCode)
        emit ChangeSelected();
    else if (uMsg == kSelectCode)
        emit SelChange();
}

qint16 cCalendar::LoWord(quint32 dWord)
{
    return ::LoWord(dWord);
}
