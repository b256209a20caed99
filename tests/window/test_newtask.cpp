#include "calendarpanel.h"
#include "controlbutton.h"
#include "dialpanel.h"
#include "fakeservices.h"
#include "gifctl.h"
#include "mainwindow.h"
#include "recordingpanel.h"
#include "taskname.h"
#include "testclock.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cmath>
#include <functional>

// A new reminder made with the mouse only: the menu's item 1, the dial for
// the hour and the minutes, the calendar for the day, the control button's
// OK zone between the steps.
class TestNewTask : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void chainFromHourToRecordingPanel_data();
    void chainFromHourToRecordingPanel();
    void takenNameMovesToALaterSecond();
    void pastDayWarningGoesAwayOnAPress();
    void pressesReachOnlyThePanelInFrontAndLeavingUnmutes();

private:
    // Panel coordinates of a point on the dial's ring, `minute` as on a clock face.
    static QPoint ringAt(int minute)
    {
        const double a = (minute / 60.0) * 2 * M_PI;
        return QPoint(100 + int(std::lround(80 * std::sin(a))),
                      102 - int(std::lround(80 * std::cos(a))));
    }
    // Moves the hand to `minute` and freezes it there; after a reset the
    // dial is frozen and a first click lets it follow the mouse.
    void pointAndClick(int minute, bool releaseFirst);
    void pressOk();
    void clickDay(int day);
    QString label(const char* name) const
    {
        auto* l = m_window->dial()->findChild<QLabel*>(QLatin1String(name));
        return l ? l->text() : QStringLiteral("<missing>");
    }

    QTemporaryDir* m_dir = nullptr;
    TestClock m_clock{QDateTime(QDate(2026, 12, 7), QTime(14, 28, 30))};
    MainWindow* m_window = nullptr;
    FakeServices m_fakes;
};

void TestNewTask::init()
{
    m_dir = new QTemporaryDir;
    QDir(m_dir->path()).mkpath("Media");
    QDir(m_dir->path()).mkpath("Data");
    m_window = new MainWindow(m_dir->path(), m_dir->path() + "/scratch/", m_clock, m_fakes.make());
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
}

void TestNewTask::cleanup()
{
    delete m_window;
    delete m_dir;
}

void TestNewTask::pointAndClick(int minute, bool releaseFirst)
{
    DialPanel* dial = m_window->dial();
    const QPoint p = ringAt(minute);
    QWidget* target = dial->childAt(p);
    QVERIFY(target);
    const QPoint local = target->mapFrom(dial, p);
    if (releaseFirst) {
        QTest::mouseClick(target, Qt::LeftButton, {}, local);
        QTest::qWait(QApplication::doubleClickInterval() + 50); // two clicks, not a double click
    }
    QTest::mouseMove(target, local + QPoint(1, 0));
    QTest::mouseMove(target, local);
    QTest::mouseClick(target, Qt::LeftButton, {}, local);
}

void TestNewTask::pressOk()
{
    auto* ok = m_window->findChild<ControlButton*>("picOK");
    QTest::mouseMove(ok, QPoint(45, 45));
    QTest::mouseClick(ok, Qt::LeftButton, {}, QPoint(45, 45));
    // The next press is not a double click.
    QTest::qWait(QApplication::doubleClickInterval() + 50);
}

void TestNewTask::clickDay(int day)
{
    auto* cal = m_window->calendar()->findChild<QCalendarWidget*>();
    QVERIFY(cal);
    auto* view = cal->findChild<QTableView*>(QStringLiteral("qt_calendar_calendarview"));
    QAbstractItemModel* model = view->model();
    for (int r = 1; r < model->rowCount(); ++r)
        for (int c = 1; c < model->columnCount(); ++c) {
            const QModelIndex i = model->index(r, c);
            if (i.data().toInt() == day && !(r == 1 && day > 20) && !(r >= 5 && day < 15)) {
                QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                                  view->visualRect(i).center());
                return;
            }
        }
    QFAIL("day not on the page");
}

void TestNewTask::chainFromHourToRecordingPanel_data()
{
    QTest::addColumn<int>("hourMinute"); // where to point for the hour
    QTest::addColumn<bool>("night");
    QTest::addColumn<int>("minute");
    QTest::addColumn<QString>("hourText");
    QTest::addColumn<QString>("minuteText");
    QTest::newRow("nine fifteen") << 45 << false << 15 << "09"
                                  << "15";
    QTest::newRow("midnight hour") << 0 << true << 0 << "00"
                                   << "00";
    QTest::newRow("evening") << 30 << true << 45 << "18"
                             << "45";
}

void TestNewTask::chainFromHourToRecordingPanel()
{
    QFETCH(int, hourMinute);
    QFETCH(bool, night);
    QFETCH(int, minute);
    QFETCH(QString, hourText);
    QFETCH(QString, minuteText);

    m_window->buildMenu();
    auto items = m_window->findChildren<QLabel*>("picMeny");
    QTest::mouseClick(items[1], Qt::LeftButton, {}, QPoint(50, 30));
    QCOMPARE(m_window->state().panelMode, PanelMode::Hour);

    if (night)
        QTest::mouseClick(m_window->dial()->findChild<QWidget*>("poslePoledny"), Qt::LeftButton);
    pointAndClick(hourMinute, true);
    pressOk();
    QCOMPARE(m_window->state().panelMode, PanelMode::Minute);
    QCOMPARE(m_window->hint(), QString("Откорректируете минуты."));
    QCOMPARE(label("Shas"), hourText);

    pointAndClick(minute, false);
    pressOk();
    QCOMPARE(m_window->state().panelMode, PanelMode::Day);
    QCOMPARE(label("Minute"), minuteText);
    QCOMPARE(m_window->frontPanel()->objectName(), QString("fraCalendar"));

    clickDay(24);
    QCOMPARE(m_window->calendar()->chosenDay(), QString("24"));
    QCOMPARE(m_window->calendar()->chosenMonth(), QString("12"));
    // The press runs the level monitor until it is stopped: look at the
    // window while it runs, then stop it as closing the window would.
    bool seen = false;
    QTimer::singleShot(300, [&] {
        seen = true;
        QCOMPARE(m_window->state().panelMode, PanelMode::Recording);
        QCOMPARE(m_window->frontPanel()->objectName(), QString("fraMonitor"));
        QCOMPARE(m_fakes.mixerValues.value(FakeSystemMixer::SpeakerMute), 1L); // muted
        m_window->recording()->stopMonitorIfRunning();
    });
    pressOk();
    QVERIFY(seen);
    const QString expected = "24.12.2026 " + hourText + "ч " + minuteText + "м 30.mp3";
    QCOMPARE(m_window->taskPath(), m_dir->path() + "/scratch/" + expected);
    QTRY_VERIFY(m_window->calendar()->findChildren<QCalendarWidget*>().isEmpty());

    // OK in the recording panel before anything was recorded: 34, nothing else.
    pressOk();
    QCOMPARE(m_window->state().panelMode, PanelMode::Stopped);
    QVERIFY(m_fakes.commands.filter("record", Qt::CaseInsensitive).isEmpty());
}

void TestNewTask::takenNameMovesToALaterSecond()
{
    QFile taken(m_dir->path() + "/Media/24.12.2026 12ч 00м 30.mp3");
    QVERIFY(taken.open(QIODevice::WriteOnly));
    taken.close();
    m_window->buildMenu();
    QTest::mouseClick(m_window->findChildren<QLabel*>("picMeny")[1], Qt::LeftButton, {},
                      QPoint(50, 30));
    pressOk(); // 12 straight from the reset
    QCOMPARE(m_window->state().panelMode, PanelMode::Minute);
    pressOk(); // 00
    QCOMPARE(m_window->state().panelMode, PanelMode::Day);
    clickDay(24);
    // The wait runs the event loop; the test clock moves on while it does.
    QTimer::singleShot(100, [this] { m_clock.advanceSeconds(1); });
    QTimer::singleShot(1500, [this] { m_window->recording()->stopMonitorIfRunning(); });
    pressOk();
    QCOMPARE(TaskName::bareName(m_window->taskPath()), QString("24.12.2026 12ч 00м 31.mp3"));
}

void TestNewTask::pastDayWarningGoesAwayOnAPress()
{
    m_window->buildMenu();
    QTest::mouseClick(m_window->findChildren<QLabel*>("picMeny")[1], Qt::LeftButton, {},
                      QPoint(50, 30));
    pressOk();
    pressOk();
    QCOMPARE(m_window->state().panelMode, PanelMode::Day);

    auto* warning = m_window->findChild<GifCtl*>("GifCtl3");
    QVERIFY(warning);
    clickDay(1); // a week ago
    QVERIFY(warning->isVisible());
    QCOMPARE(m_window->hint(), QString(" Этот день уже прошел!!!"));

    // The warning lies over some days; a press on it puts it away, and the
    // day under it can be picked.
    QWidget* host = m_window->calendar()->picCalendar();
    const QPoint centre = warning->geometry().center();
    QCOMPARE(host->childAt(centre), warning);
    QTest::mousePress(warning, Qt::LeftButton, {}, warning->mapFrom(host, centre));
    QVERIFY(!warning->isVisible());
    QVERIFY(!warning->Enabled());
    QVERIFY(host->childAt(centre) != warning);
    clickDay(24);
    QCOMPARE(m_window->calendar()->chosenDay(), QString("24"));
    QCOMPARE(m_window->hint(), QString());
}

void TestNewTask::pressesReachOnlyThePanelInFrontAndLeavingUnmutes()
{
    const auto openDial = [this] {
        m_window->buildMenu();
        QTest::mouseClick(m_window->findChildren<QLabel*>("picMeny")[1], Qt::LeftButton, {},
                          QPoint(50, 30));
        QCOMPARE(m_window->state().panelMode, PanelMode::Hour);
    };
    // A double-click on the menu's item: its second click is the dial's
    // first, and the dial follows the mouse.
    m_window->buildMenu();
    QLabel* item = m_window->findChildren<QLabel*>("picMeny")[1];
    QTest::mouseDClick(m_window->windowHandle(), Qt::LeftButton, {},
                       item->mapTo(m_window, QPoint(100, 30)));
    QCOMPARE(m_window->state().panelMode, PanelMode::Hour);
    QVERIFY(!m_window->dial()->model().frozen());

    openDial();
    // The menu over the dial: OK only shows its press there.
    m_window->buildMenu();
    pressOk();
    QCOMPARE(m_window->state().panelMode, PanelMode::Hour);
    QCOMPARE(m_window->frontPanel()->objectName(), QString("fraMeny"));
    QVERIFY(m_window->hint() != QString("Откорректируете минуты."));

    // Down to the recording panel, which silences the speakers; the menu
    // leaves it, and the user's mute comes back.
    const long mutedBefore = m_fakes.mixerValues.value(FakeSystemMixer::SpeakerMute);
    const auto toRecordingPanel = [&](const std::function<void()>& meanwhile) {
        openDial();
        pressOk();
        pressOk();
        clickDay(24);
        QTimer::singleShot(300, [&] {
            QCOMPARE(m_window->frontPanel()->objectName(), QString("fraMonitor"));
            QCOMPARE(m_fakes.mixerValues.value(FakeSystemMixer::SpeakerMute), 1L);
            meanwhile();
        });
        pressOk();
    };
    toRecordingPanel([this] { m_window->buildMenu(); });
    QCOMPARE(m_window->frontPanel()->objectName(), QString("fraMeny"));
    QCOMPARE(m_fakes.mixerValues.value(FakeSystemMixer::SpeakerMute), mutedBefore);
    // Saving the note leaves it too.
    toRecordingPanel([this] { m_window->recording()->stopMonitorIfRunning(); });
    m_window->recording()->pressRecord();
    pressOk();
    QVERIFY(m_window->frontPanel()->objectName() != QString("fraMonitor"));
    QCOMPARE(m_fakes.mixerValues.value(FakeSystemMixer::SpeakerMute), mutedBefore);
}

QTEST_MAIN(TestNewTask)
#include "test_newtask.moc"
