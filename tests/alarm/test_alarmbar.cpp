// Tinkra's bar on the offscreen platform: size, colour, place and timers,
// the message about a missing alarm recording, and the module the player
// loads them from.
#include "alarmbar.h"
#include "mci.h"
#include "mciexecute.h"

#include <QApplication>
#include <QMessageBox>
#include <QTemporaryDir>

#include <functional>
#include <memory>

#include <QScreen>
#include <QSignalSpy>
#include <QTest>

class TestAlarmBar : public QObject
{
    Q_OBJECT

private slots:
    void lookAndPlace()
    {
        AlarmBar bar;
        QCOMPARE(bar.objectName(), QStringLiteral("Form1"));
        QCOMPARE(bar.windowTitle(), QStringLiteral("   Есть напоминание"));
        QCOMPARE(bar.size(), QSize(263, 40));
        const Qt::WindowFlags f = bar.windowFlags();
        QVERIFY(f & Qt::WindowStaysOnTopHint);
        QVERIFY(f & Qt::FramelessWindowHint);
        QVERIFY(f & Qt::WindowDoesNotAcceptFocus);
        QVERIFY(bar.testAttribute(Qt::WA_ShowWithoutActivating));

        bar.show();
        QVERIFY(QTest::qWaitForWindowExposed(&bar));
        const QRect area = bar.screen()->availableGeometry();
        QCOMPARE(bar.frameGeometry().bottomLeft(), area.bottomLeft());

        const QImage shot = bar.grab().toImage();
        QCOMPARE(shot.pixelColor(2, 2), QColor(128, 255, 255));
        QCOMPARE(shot.pixelColor(260, 37), QColor(128, 255, 255));
        // The title is written inside the bar.
        bool ink = false;
        for (int x = 0; x < shot.width() && !ink; ++x)
            ink = shot.pixelColor(x, 20) != QColor(128, 255, 255);
        QVERIFY(ink);
    }

    void timers()
    {
        AlarmBar bar;
        QCOMPARE(bar.timer2().interval(), 50);
        QVERIFY(bar.timer2().isActive());
        QCOMPARE(bar.timer1().interval(), 5000);
        QCOMPARE(bar.timer1().timerType(), Qt::PreciseTimer); // never a little short
        QVERIFY(!bar.timer1().isActive());                    // started once the sound is going

        QSignalSpy up(&bar, &AlarmBar::timeUp);
        bar.timer1().setInterval(10);
        bar.timer1().start();
        QTRY_COMPARE(up.size(), 1);
        // The alarm ends once: the timer does not go on.
        QVERIFY(!bar.timer1().isActive());
    }

    // Not "the command is not understood" about a bare "Play ": the file
    // that is missing is named.
    void missingAlarmRecordingIsNamed()
    {
        QTemporaryDir dir;
        QString detail;
        QCOMPARE(playAlarm(dir.path(), &detail), int(MciFileNotFound));
        showMciError(mciErrorText(MciFileNotFound), detail);
        QMessageBox* box = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == QStringLiteral("mciError") && w->isVisible())
                box = qobject_cast<QMessageBox*>(w);
        QVERIFY(box);
        QCOMPARE(box->text(), mciErrorText(MciFileNotFound));
        QCOMPARE(box->informativeText(), dir.path() + QStringLiteral("/1.mp3"));
        QCOMPARE(box->windowModality(), Qt::NonModal);
        box->close();
    }

    // What the player does once its sound plays: the module shows the
    // message and the bar, and the bar's end of the alarm reaches the player.
    // A folder without the module is refused, naming the file.
    void windowModule()
    {
        QTemporaryDir empty;
        AlarmWindowModule missing;
        QVERIFY(!missing.load(empty.path()));
        QVERIFY2(missing.error().contains(QStringLiteral("libTinkraWindow.so")),
                 qPrintable(missing.error()));
        QVERIFY(!missing.showWindow);

        AlarmWindowModule module;
        QVERIFY2(module.load(QStringLiteral(QUILL_ALARM_MODULE_DIR)), qPrintable(module.error()));
        int ended = 0;
        const std::function<void()> timeUp = [&ended] { ++ended; };
        const QString text = mciErrorText(MciFileNotFound);
        const QString detail = QStringLiteral("/nowhere/1.mp3");
        std::unique_ptr<QObject> bar(module.showWindow(&text, &detail, &timeUp));
        auto* widget = qobject_cast<QWidget*>(bar.get());
        QVERIFY(widget && widget->isVisible());
        QCOMPARE(widget->windowTitle(), AlarmBar::title());
        QVERIFY(widget->windowFlags() & Qt::WindowStaysOnTopHint);
        QMessageBox* box = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == QStringLiteral("mciError") && w->isVisible())
                box = qobject_cast<QMessageBox*>(w);
        QVERIFY(box);
        QCOMPARE(box->informativeText(), detail);
        box->close();

        QVERIFY(QMetaObject::invokeMethod(bar.get(), "timeUp"));
        QCOMPARE(ended, 1);
    }
};

QTEST_MAIN(TestAlarmBar)
#include "test_alarmbar.moc"
