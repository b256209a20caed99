// Vestrel's window without a notification area (offscreen): the watch, the
// spin, the bad-name warning and the menu still work.
#include "testclock.h"
#include "watcherwindow.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

struct Start
{
    QString program;
    QStringList arguments;
};

QList<QMessageBox*> openMessages()
{
    QList<QMessageBox*> boxes;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible())
            boxes.append(box);
    return boxes;
}

} // namespace

class TestWatcherWindow : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    TestClock m_clock{QDateTime(QDate(2026, 12, 7), QTime(14, 30, 0))};
    QList<Start> m_starts;

    DueWatch::Starter recorder()
    {
        return [this](const QString& p, const QStringList& a) { m_starts.append({p, a}); };
    }
    void addTask(const QString& name)
    {
        QFile f(m_dir.path() + QStringLiteral("/Media/") + name);
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    void removeTask(const QString& name)
    {
        QVERIFY(QFile::remove(m_dir.path() + QStringLiteral("/Media/") + name));
    }

private slots:
    void init()
    {
        QDir(m_dir.path()).removeRecursively();
        QVERIFY(QDir().mkpath(m_dir.path() + QStringLiteral("/Media")));
        m_starts.clear();
    }

    void cleanup()
    {
        for (QMessageBox* box : openMessages())
            box->close();
        // The closed boxes delete themselves: now, not in the next test.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void windowAndMenu()
    {
        WatcherWindow w(m_dir.path(), m_clock, recorder());
        QCOMPARE(w.objectName(), QStringLiteral("Form1"));
        QCOMPARE(w.windowTitle(), QStringLiteral("Tray_Ola-Brenvik"));
        QCOMPARE(w.size(), QSize(190, 90));
        QVERIFY(w.windowFlags() & Qt::Tool);
        QVERIFY(!(w.windowFlags() & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(w.windowFlags() & Qt::WindowMaximizeButtonHint));

        const QList<QAction*> items = w.popupMenu()->actions();
        QCOMPARE(items.size(), 2);
        QCOMPARE(items[0]->objectName(), QStringLiteral("openQuillmur"));
        QCOMPARE(items[0]->text(), QStringLiteral("Открыть квилмур"));
        QCOMPARE(items[1]->objectName(), QStringLiteral("exit"));
        QCOMPARE(items[1]->text(), QStringLiteral("Выход"));
        QCOMPARE(w.popupMenu()->defaultAction(), items[0]);
        // A screen reader hears the menu by name and its items by their texts.
        QAccessibleInterface* menu = QAccessible::queryAccessibleInterface(w.popupMenu());
        QCOMPARE(menu->text(QAccessible::Name), QStringLiteral("Напоминания"));
        QCOMPARE(menu->childCount(), 2);
        QCOMPARE(menu->child(0)->text(QAccessible::Name), QStringLiteral("Открыть квилмур"));

        QCOMPARE(w.tray().ToolTipText(), QStringLiteral("Задачи на сегодня"));
        QCOMPARE(w.tray().shownToolTip(), QStringLiteral("Задачи на сегодня"));
        QCOMPARE(w.tray().shownIcon().cacheKey(), w.frame(0).cacheKey());
        // No notification area here: no icon, yet the watch runs.
        QVERIFY(!w.tray().isShown());
        QVERIFY(w.watch().timer().isActive());
        QCOMPARE(w.watch().timer().interval(), 60000);
        QVERIFY(!w.rotateTimer().isActive());

        items[0]->trigger();
        QCOMPARE(m_starts.size(), 1);
        QCOMPARE(m_starts[0].program, m_dir.path() + QStringLiteral("/Quillmur"));
        QVERIFY(m_starts[0].arguments.isEmpty());
    }

    void frames()
    {
        WatcherWindow w(m_dir.path(), m_clock, recorder());
        const QImage rest = w.frame(0).pixmap(24, 24).toImage();
        QCOMPARE(rest.size(), QSize(24, 24));
        QCOMPARE(w.windowIcon().cacheKey(), w.frame(0).cacheKey());
        for (int i = 1; i < 9; ++i) {
            const QImage f = w.frame(i).pixmap(24, 24).toImage();
            QCOMPARE(f.size(), QSize(24, 24));
            QVERIFY2(f != rest, qPrintable(QStringLiteral("frame %1 is not turned").arg(i)));
        }
    }

    void iconClicks_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("startsQuillmur");
        QTest::newRow("move") << 0 << false;
        QTest::newRow("left down") << 1 << false;
        QTest::newRow("left up") << 2 << false;
        QTest::newRow("left double-click") << 3 << true;
        QTest::newRow("right down") << 4 << false;
        QTest::newRow("right up") << 5 << false;
        QTest::newRow("right double-click") << 6 << false;
    }

    void iconClicks()
    {
        QFETCH(int, code);
        QFETCH(bool, startsQuillmur);
        WatcherWindow w(m_dir.path(), m_clock, recorder());
        emit w.tray().OnIcon(code);
        QCOMPARE(m_starts.size(), startsQuillmur ? 1 : 0);
        if (startsQuillmur)
            QCOMPARE(m_starts[0].program, m_dir.path() + QStringLiteral("/Quillmur"));
        QCOMPARE(w.popupMenu()->defaultAction()->objectName(), QStringLiteral("openQuillmur"));
    }

    void toolTipIsCut()
    {
        TrayIcon icon;
        const QString tip =
            QString(70, QLatin1Char('x')).replace(62, 8, QStringLiteral("ЯABCDEFG"));
        icon.setToolTipText(tip);
        icon.Modify();
        QCOMPARE(icon.ToolTipText(), tip);
        QCOMPARE(icon.shownToolTip(), tip.left(63));
        QVERIFY(icon.shownToolTip().endsWith(QStringLiteral("Я")));
    }

    void alertSpinsTheIcon()
    {
        WatcherWindow w(m_dir.path(), m_clock, recorder());
        addTask(QStringLiteral("07.12.2026 14ч 00м 00.mp3"));
        addTask(QStringLiteral("06.12.2026 14ч 00м 00.mp3"));
        w.watch().tick();
        QCOMPARE(m_starts.size(), 1);
        QCOMPARE(m_starts[0].program, m_dir.path() + QStringLiteral("/Data/Tinkra"));
        QCOMPARE(m_starts[0].arguments, QStringList{QStringLiteral("-minimized")});
        QVERIFY(w.rotateTimer().isActive());
        QCOMPARE(w.rotateTimer().interval(), 200);

        // Watch the frames go by at a faster pace.
        QList<qint64> shown;
        connect(&w.rotateTimer(), &QTimer::timeout, this,
                [&] { shown.append(w.tray().shownIcon().cacheKey()); });
        w.rotateTimer().setInterval(1);
        QTRY_VERIFY_WITH_TIMEOUT(!w.rotateTimer().isActive(), 5000);
        QCOMPARE(shown.size(), 46); // 45 frames and the step that stops
        for (int i = 0; i < 45; ++i)
            QCOMPARE(shown[i], w.frame(1 + i % 9).cacheKey());
        QCOMPARE(w.tray().shownIcon().cacheKey(), w.frame(9).cacheKey());
        QVERIFY(openMessages().isEmpty());
    }

    void badNamesWarnOnceAndTheWatchGoesOn()
    {
        WatcherWindow w(m_dir.path(), m_clock, recorder());
        addTask(QStringLiteral("notes.mp3"));
        addTask(QStringLiteral("08.12.2026 09ч 00м 00.mp3"));
        w.watch().tick();
        QVERIFY(m_starts.isEmpty());
        QList<QMessageBox*> boxes = openMessages();
        QCOMPARE(boxes.size(), 1);
        QMessageBox* box = boxes[0];
        QCOMPARE(box->windowTitle(), QStringLiteral("Ошибка"));
        QCOMPARE(box->text(),
                 QStringLiteral("В паке Media доавленны файлы с нестандартным названем."));
        QCOMPARE(box->icon(), QMessageBox::Warning);
        QCOMPARE(box->windowModality(), Qt::NonModal);
        QVERIFY(QApplication::activeModalWidget() == nullptr);

        // The box stays open: the next ticks neither pile up boxes nor stop
        // alerting.
        addTask(QStringLiteral("07.12.2026 14ч 30м 00.mp3"));
        w.watch().tick();
        w.watch().tick();
        QCOMPARE(openMessages().size(), 1);
        QCOMPARE(m_starts.size(), 2);

        // Answered: the next tick that still finds the file warns again.
        box->button(QMessageBox::Ok)->click();
        QTRY_VERIFY(openMessages().isEmpty());
        w.watch().tick();
        QCOMPARE(openMessages().size(), 1);

        // Once the stray file is gone no new warning comes.
        openMessages()[0]->close();
        QTRY_VERIFY(openMessages().isEmpty());
        removeTask(QStringLiteral("notes.mp3"));
        w.watch().tick();
        QVERIFY(openMessages().isEmpty());
        QCOMPARE(m_starts.size(), 4);
    }

    // Media/ that cannot be listed gives no message, but the tip says why no
    // reminder comes, until it can be read again.
    void unreadableMediaShowsInTheTip()
    {
        WatcherWindow w(m_dir.path(), m_clock, recorder());
        QCOMPARE(w.tray().ToolTipText(), QStringLiteral("Задачи на сегодня"));
        const QString media = m_dir.path() + QStringLiteral("/Media");
        QVERIFY(QDir(media).removeRecursively());
        QFile blocker(media); // a file where the folder should be
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        w.watch().tick();
        QCOMPARE(w.tray().ToolTipText(), WatcherWindow::unreadableToolTip());
        QCOMPARE(w.tray().shownToolTip(), WatcherWindow::unreadableToolTip());
        QVERIFY(openMessages().isEmpty());

        QVERIFY(QFile::remove(media));
        QVERIFY(QDir().mkpath(media));
        w.watch().tick();
        QCOMPARE(w.tray().shownToolTip(), QStringLiteral("Задачи на сегодня"));
    }

    void timerDrivesTheWatch()
    {
        addTask(QStringLiteral("07.12.2026 14ч 00м 00.mp3"));
        WatcherWindow w(m_dir.path(), m_clock, recorder());
        // No scan at start-up, neither at once nor queued: whatever the
        // start-up left for the event loop has run once this comes round.
        bool settled = false;
        QTimer::singleShot(0, this, [&] { settled = true; });
        QTRY_VERIFY(settled);
        QVERIFY(m_starts.isEmpty());
        w.watch().timer().setInterval(20);
        w.watch().timer().start();
        QTRY_VERIFY(m_starts.size() >= 2);
    }

    void minimizeHidesAndCloseEnds()
    {
        WatcherWindow w(m_dir.path(), m_clock, recorder());
        QSignalSpy ended(&w, &WatcherWindow::ended);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.setWindowState(Qt::WindowMinimized);
        QTRY_VERIFY(!w.isVisible());
        QCOMPARE(ended.size(), 0);
        QVERIFY(w.watch().timer().isActive());

        w.show();
        w.close();
        QCOMPARE(ended.size(), 1);
        QVERIFY(!w.tray().isShown());
    }

    void exitItemEnds()
    {
        WatcherWindow w(m_dir.path(), m_clock, recorder());
        QSignalSpy ended(&w, &WatcherWindow::ended);
        w.popupMenu()->actions().at(1)->trigger();
        QCOMPARE(ended.size(), 1);
    }
};

QTEST_MAIN(TestWatcherWindow)
#include "test_watcherwindow.moc"
