// Tinkra's bar on the offscreen platform: size, colour, place and timers,
// the line about the due notes, the message about a missing alarm
// recording, and the module the player loads them from.
#include "alarmbar.h"
#include "duenotes.h"
#include "mci.h"
#include "mciexecute.h"
#include "textcodec.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QFile>
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

    // The line about the due notes of Media/, as the player makes it from
    // the notes' names and tags.
    void caption_data()
    {
        QTest::addColumn<QStringList>("notes"); // name|comment, or name alone for no tag
        QTest::addColumn<QString>("caption");
        const QString old = QStringLiteral("01.03.2026 09ч 00м 00.mp3");
        const QString newer = QStringLiteral("02.03.2026 08ч 00м 00.mp3");
        const QString today = QStringLiteral("05.03.2026 12ч 00м 00.mp3");
        const QString later = QStringLiteral("05.03.2026 12ч 00м 01.mp3"); // one second ahead
        QTest::newRow("nothing due") << QStringList{later + "|Позвонить"} << QString();
        QTest::newRow("underscores are blanks")
            << QStringList{today + "|Купить_хлеб"} << QStringLiteral("Купить хлеб");
        QTest::newRow("the one due longest, and how many more")
            << QStringList{today + "|Позвонить", newer + "|Забрать_посылку", old + "|Купить_хлеб",
                           later + "|Не_сейчас"}
            << QStringLiteral("Купить хлеб (и ещё 2)");
        QTest::newRow("no tag on the first: the title alone")
            << QStringList{old, today + "|Позвонить"} << QString();
        QTest::newRow("an empty comment: the title alone")
            << QStringList{old + "|__", today + "|Позвонить"} << QString();
    }
    void caption()
    {
        QFETCH(QStringList, notes);
        QFETCH(QString, caption);
        QTemporaryDir dir;
        QVERIFY(QDir().mkpath(dir.path() + "/Media"));
        for (const QString& note : notes) {
            const QStringList parts = note.split('|');
            QFile f(dir.path() + "/Media/" + parts[0]);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(QByteArray(417, '\xff')); // stands for the sound
            if (parts.size() > 1) {
                QByteArray tag = QByteArray("TAG").leftJustified(63, '\0');
                tag += QByteArray("Ola-Brenvik").leftJustified(34, '\0');
                tag += Cp1251::encode(parts[1]).leftJustified(31, '\0');
                f.write(tag);
            }
        }
        const QDateTime now(QDate(2026, 3, 5), QTime(12, 0, 0));
        const QStringList due =
            DueNotes::find(DueNotes::programFolderOf(dir.path() + "/Data"), now);
        QCOMPARE(DueNotes::caption(due), caption);

        // Drawn under the title; without it the bar is as it always was.
        AlarmBar bar;
        const QImage plain = bar.grab().toImage();
        bar.setNoteCaption(caption);
        const QImage shown = bar.grab().toImage();
        const auto inkBelow = [](const QImage& shot, int y) {
            for (; y < shot.height(); ++y)
                for (int x = 0; x < shot.width(); ++x)
                    if (shot.pixelColor(x, y) != QColor(128, 255, 255))
                        return true;
            return false;
        };
        QVERIFY(!inkBelow(plain, 30));
        QCOMPARE(inkBelow(shown, 30), !caption.isEmpty());
        QCOMPARE(shown == plain, caption.isEmpty());
    }

    // Too long for the bar: the comment is cut with "…", the count stays.
    void longCaption()
    {
        AlarmBar bar;
        const QFontMetrics metrics = bar.fontMetrics();
        const QString comment = QStringLiteral("Записаться к врачу на четверг");
        const QString more = QStringLiteral(" (и ещё 2)");
        const int width = metrics.horizontalAdvance(comment + more) / 2;
        for (const QString& caption : {comment, comment + more}) {
            const QString shown = AlarmBar::fitted(caption, metrics, width);
            QVERIFY2(metrics.horizontalAdvance(shown) <= width, qPrintable(shown));
            QVERIFY2(shown.contains(QChar(0x2026)), qPrintable(shown));
            QCOMPARE(shown.endsWith(more), caption.endsWith(more));
        }
        QCOMPARE(AlarmBar::fitted(comment + more, metrics, 1000), comment + more);
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
        AlarmWindowContent content;
        content.timeUp = [&ended] { ++ended; };
        content.errorText = mciErrorText(MciFileNotFound);
        content.errorDetail = QStringLiteral("/nowhere/1.mp3");
        content.noteCaption = QStringLiteral("Купить хлеб (и ещё 2)");
        std::unique_ptr<QObject> bar(module.showWindow(&content));
        auto* widget = qobject_cast<QWidget*>(bar.get());
        QVERIFY(widget && widget->isVisible());
        QCOMPARE(widget->windowTitle(), AlarmBar::title());
        // Read out as what it shows: the notice, then the note's comment.
        QAccessibleInterface* read = QAccessible::queryAccessibleInterface(widget);
        QCOMPARE(read->text(QAccessible::Name), QStringLiteral("Есть напоминание"));
        QCOMPARE(read->text(QAccessible::Description), content.noteCaption);
        QVERIFY(widget->windowFlags() & Qt::WindowStaysOnTopHint);
        QMessageBox* box = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == QStringLiteral("mciError") && w->isVisible())
                box = qobject_cast<QMessageBox*>(w);
        QVERIFY(box);
        QCOMPARE(box->informativeText(), content.errorDetail);
        box->close();

        QVERIFY(QMetaObject::invokeMethod(bar.get(), "timeUp"));
        QCOMPARE(ended, 1);
    }
};

QTEST_MAIN(TestAlarmBar)
#include "test_alarmbar.moc"
