// Tinkra's bar on the offscreen platform: size, colour, place and timers,
// and the message about a missing alarm recording.
#include "alarmbar.h"
#include "mci.h"
#include "mciexecute.h"

#include <QApplication>
#include <QMessageBox>
#include <QTemporaryDir>

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
        QVERIFY(!bar.timer1().isActive()); // started once the sound is going

        QSignalSpy up(&bar, &AlarmBar::timeUp);
        bar.timer1().setInterval(10);
        bar.timer1().start();
        QTRY_COMPARE(up.size(), 1);
        QTest::qWait(50);
        QCOMPARE(up.size(), 1);
    }

    // Not "the command is not understood" about a bare "Play ": the file
    // that is missing is named.
    void missingAlarmRecordingIsNamed()
    {
        QTemporaryDir dir;
        QString detail;
        QCOMPARE(playAlarm(dir.path(), &detail), int(MciFileNotFound));
        showMciError(MciFileNotFound, detail);
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
};

QTEST_MAIN(TestAlarmBar)
#include "test_alarmbar.moc"
