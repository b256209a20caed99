#include "calendarpanel.h"
#include "ccalendar.h"
#include "testclock.h"

#include <QCalendarWidget>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

// The calendar panel on 7 December 2026 (a Monday), picking days by clicking
// the calendar's cells.
class TestCalendarPanel : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void openingAcceptsToday();
    void clickingACellChoosesTheDay();
    void pastDayRefusedThenFutureDayAccepted();
    void calendarPropertiesAndQuietWrites();
    void secondOpeningReplacesTheCalendar();
    void closingKeepsTheAcceptedDay();
    void repeatButtonCyclesThroughTheRules();

private:
    QCalendarWidget* calendar() const;
    // Clicks the first cell showing `day` (the month in view comes first).
    void clickDay(int day);
    QString caption() const { return m_panel->findChild<QLabel*>("labDnia")->text(); }
    void saveGrab(const QString& name);

    TestClock m_clock{QDateTime(QDate(2026, 12, 7), QTime(10, 0))};
    QWidget* m_frame = nullptr;
    CalendarPanel* m_panel = nullptr;
};

void TestCalendarPanel::init()
{
    m_clock.set(QDateTime(QDate(2026, 12, 7), QTime(10, 0)));
    m_frame = new QWidget;
    m_frame->setObjectName("fraCalendar");
    m_frame->resize(200, 300);
    m_panel = new CalendarPanel(m_clock, m_frame);
    m_frame->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_frame));
}

void TestCalendarPanel::cleanup()
{
    delete m_frame;
    m_frame = nullptr;
}

QCalendarWidget* TestCalendarPanel::calendar() const
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    const auto all = m_panel->picCalendar()->findChildren<QCalendarWidget*>();
    return all.size() == 1 ? all.first() : nullptr;
}

void TestCalendarPanel::clickDay(int day)
{
    QCalendarWidget* cal = calendar();
    QVERIFY(cal);
    auto* view = cal->findChild<QTableView*>();
    QVERIFY(view);
    const QAbstractItemModel* model = view->model();
    for (int r = 1; r < model->rowCount(); ++r) {
        for (int c = 1; c < model->columnCount(); ++c) {
            const QModelIndex i = model->index(r, c);
            if (i.data().toString() == QString::number(day)) {
                QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                                  view->visualRect(i).center());
                return;
            }
        }
    }
    QFAIL("no such day in view");
}

void TestCalendarPanel::saveGrab(const QString& name)
{
    const QString dir = qEnvironmentVariable("QUILL_GRAB_DIR");
    if (!dir.isEmpty())
        m_frame->grab().save(dir + "/" + name + ".png");
}

void TestCalendarPanel::openingAcceptsToday()
{
    QSignalSpy hints(m_panel, &CalendarPanel::hintChanged);
    QSignalSpy accepted(m_panel, &CalendarPanel::dayAccepted);
    QSignalSpy warning(m_panel, &CalendarPanel::warningAnimation);
    m_panel->cmdCalen_Click();

    QCOMPARE(caption(), QString("  7  Декабря  2026 года"));
    QCOMPARE(m_panel->chosenDay(), QString("07"));
    QCOMPARE(m_panel->chosenMonth(), QString("12"));
    QCOMPARE(m_panel->chosenYear(), 2026);
    QCOMPARE(hints.count(), 2);
    QCOMPARE(hints.at(0).at(0).toString(), QString("  Выберите день для напоминания."));
    QCOMPARE(hints.at(1).at(0).toString(), QString());
    QCOMPARE(accepted.count(), 1);
    QCOMPARE(accepted.at(0).at(0).toString(), QString("07"));
    QCOMPARE(accepted.at(0).at(2).toInt(), 2026);
    QCOMPARE(warning.count(), 1);
    QCOMPARE(warning.at(0).at(0).toBool(), false);

    QCalendarWidget* cal = calendar();
    QVERIFY(cal);
    QCOMPARE(cal->geometry(), QRect(0, 0, 200, 190));
    QCOMPARE(cal->verticalHeaderFormat(), QCalendarWidget::ISOWeekNumbers);
    QCOMPARE(cal->firstDayOfWeek(), Qt::Monday);
    saveGrab("calendar-today");
}

void TestCalendarPanel::clickingACellChoosesTheDay()
{
    m_panel->cmdCalen_Click();
    QSignalSpy accepted(m_panel, &CalendarPanel::dayAccepted);
    clickDay(20);
    QCOMPARE(caption(), QString("  20  Декабря  2026 года"));
    QCOMPARE(m_panel->chosenDay(), QString("20"));
    QCOMPARE(m_panel->chosenMonth(), QString("12"));
    QVERIFY(accepted.count() >= 1);
    QCOMPARE(accepted.last().at(1).toString(), QString("12"));
    saveGrab("calendar-20");
}

void TestCalendarPanel::pastDayRefusedThenFutureDayAccepted()
{
    m_panel->cmdCalen_Click();
    QSignalSpy hints(m_panel, &CalendarPanel::hintChanged);
    QSignalSpy warning(m_panel, &CalendarPanel::warningAnimation);

    clickDay(6); // yesterday
    QVERIFY(hints.count() >= 1);
    QCOMPARE(hints.last().at(0).toString(), QString(" Этот день уже прошел!!!"));
    QCOMPARE(warning.last().at(0).toBool(), true);
    QCOMPARE(caption(), QString("  7  Декабря  2026 года"));
    QCOMPARE(m_panel->chosenDay(), QString("07"));
    saveGrab("calendar-past");

    clickDay(9);
    QCOMPARE(hints.last().at(0).toString(), QString());
    QCOMPARE(warning.last().at(0).toBool(), false);
    QCOMPARE(caption(), QString("  9  Декабря  2026 года"));
    QCOMPARE(m_panel->chosenDay(), QString("09"));

    // A past day of another year leaves the accepted year in place.
    m_panel->Calen()->setYear(2025);
    m_panel->ShowChosenDay();
    QCOMPARE(hints.last().at(0).toString(), QString(" Этот день уже прошел!!!"));
    QCOMPARE(m_panel->chosenYear(), 2026);
}

void TestCalendarPanel::calendarPropertiesAndQuietWrites()
{
    m_panel->cmdCalen_Click();
    cCalendar* c = m_panel->Calen();
    QVERIFY(c);
    QSignalSpy changed(c, &cCalendar::ChangeSelected);
    QSignalSpy selected(c, &cCalendar::SelChange);

    QCOMPARE(c->Day(), 7);
    QCOMPARE(c->Month(), 12);
    QCOMPARE(c->Year(), 2026);
    c->setMonth(11);
    QCOMPARE(c->Day(), 7);
    QCOMPARE(c->Month(), 11);
    QCOMPARE(c->Year(), 2026);
    c->setDay(31); // no 31 November: nothing changes
    QCOMPARE(c->Day(), 7);
    c->setDay(30);
    QCOMPARE(c->Day(), 30);
    QCOMPARE(c->Month(), 11);
    QCOMPARE(changed.count(), 0);
    QCOMPARE(selected.count(), 0);

    QCOMPARE(c->FirstDayOfWeek(), 0); // Monday
    c->setFirstDayOfWeek(6);
    QCOMPARE(c->FirstDayOfWeek(), 6);
    QCOMPARE(c->hWnd()->firstDayOfWeek(), Qt::Sunday);
    c->setFirstDayOfWeek(0);
    QCOMPARE(c->MaxSelCount(), 1);
    // A whole month with its week numbers fits the 200 x 190 it is given.
    QVERIFY2(c->MinWidth() > 100 && c->MinWidth() <= 200,
             qPrintable(QString::number(c->MinWidth())));
    QVERIFY2(c->MinHeight() > 100 && c->MinHeight() <= 190,
             qPrintable(QString::number(c->MinHeight())));
    QCOMPARE(c->MaxTodayStrLen(),
             QFontMetrics(c->hWnd()->font()).horizontalAdvance(QString("Сегодня: 07.12.2026")));

    c->zRaiseEvents(-749);
    c->zRaiseEvents(-746);
    c->zRaiseEvents(-1);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(selected.count(), 1);
    QCOMPARE(cCalendar::LoWord(0x0001FFFFu), qint16(-1));
}

void TestCalendarPanel::secondOpeningReplacesTheCalendar()
{
    m_panel->cmdCalen_Click();
    QPointer<cCalendar> first = m_panel->Calen();
    clickDay(20);
    QTest::mouseClick(m_panel->findChild<QPushButton*>("cmdCalen"), Qt::LeftButton);
    QVERIFY(first.isNull());
    QVERIFY(calendar()); // exactly one calendar window
    // Opening again accepts today at once.
    QCOMPARE(m_panel->chosenDay(), QString("07"));
    clickDay(24);
    QCOMPARE(m_panel->chosenDay(), QString("24"));
}

void TestCalendarPanel::closingKeepsTheAcceptedDay()
{
    m_panel->cmdCalen_Click();
    clickDay(20);
    QSignalSpy hints(m_panel, &CalendarPanel::hintChanged);
    QTest::mouseClick(m_panel->findChild<QPushButton*>("cmdCalenClose"), Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(m_panel->picCalendar()->findChildren<QCalendarWidget*>().isEmpty());
    QCOMPARE(m_panel->Calen()->Day(), 0);
    QCOMPARE(m_panel->Calen()->Year(), 0);
    m_panel->ShowChosenDay();
    QCOMPARE(hints.count(), 0);
    QCOMPARE(m_panel->chosenDay(), QString("20"));
    QCOMPARE(m_panel->chosenYear(), 2026);
    QCOMPARE(caption(), QString("  20  Декабря  2026 года"));
}

// The button between the two turns the note's repeat through the rules and
// back to none; the hint says which; a monthly rule keeps the chosen day.
void TestCalendarPanel::repeatButtonCyclesThroughTheRules()
{
    QSignalSpy hints(m_panel, &CalendarPanel::hintChanged);
    m_panel->cmdCalen_Click();
    clickDay(31);
    auto* button = m_panel->findChild<QPushButton*>("cmdRepeat");
    QVERIFY(button && button->isVisible());
    QCOMPARE(m_panel->repeatText(), QString());
    const char* const expected[][2] = {{"daily", "Повторять каждый день."},
                                       {"weekdays", "Повторять по будням."},
                                       {"weekly", "Повторять каждую неделю."},
                                       {"monthly:31", "Повторять каждый месяц."},
                                       {"", "Без повтора."}};
    for (const auto& e : expected) {
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(m_panel->repeatText(), QString::fromUtf8(e[0]));
        QCOMPARE(hints.last().at(0).toString(), QString::fromUtf8(e[1]));
    }
    QTest::mouseClick(button, Qt::LeftButton);
    m_panel->clearRepeat();
    QVERIFY(!m_panel->repeat());
}

QTEST_MAIN(TestCalendarPanel)
#include "test_calendarpanel.moc"
