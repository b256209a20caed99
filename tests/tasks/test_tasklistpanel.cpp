#include "../playback/mp3fixture.h"
#include "deletepanel.h"
#include "picturestack.h"
#include "playbackbar.h"
#include "player.h"
#include "shortpath.h"
#include "tasklistpanel.h"
#include "taskrepeat.h"
#include "testclock.h"
#include "volumecontrol.h"

#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {
const QString kOld = QStringLiteral("01.12.2026 09ч 15м 30.mp3");    // past, comment "first"
const QString kMiddle = QStringLiteral("05.12.2026 18ч 00м 42.mp3"); // past, comment "second"
const QString kLater = QStringLiteral("07.12.2026 10ч 00м 00.mp3");  // tomorrow, no tag
const QString kText = QStringLiteral("notes.mp3");                   // not an MP3 at all
} // namespace

class TestTaskListPanel : public QObject
{
    Q_OBJECT

    QTemporaryDir m_folder;
    TestClock m_clock{QDateTime(QDate(2026, 12, 6), QTime(14, 0, 0))};
    WindowState m_state;
    QString& m_selected = m_state.selectedFile;
    QString& m_playing = m_state.playingFile;
    QStringList m_commands, m_mixer, m_errors;
    // Whether the file being stopped still existed when Stop was sent.
    QList<bool> m_existedAtStop;

    QString media(const QString& name) const { return m_folder.path() + "/Media/" + name; }

    TaskPanelContext context()
    {
        TaskPanelContext c;
        c.clock = &m_clock;
        c.programFolder = m_folder.path();
        c.playback.send = [this](const QString& s) {
            m_commands << s;
            if (s.startsWith("Stop "))
                m_existedAtStop << QFile::exists(s.mid(5));
            return 0;
        };
        c.playback.shortPath = ShortPath;
        c.playback.wait = [](int) {};
        c.playback.state = &m_state;
        c.playback.mixer.setMute = [this](int i, int v) {
            m_mixer << QString("mute %1 %2").arg(i).arg(v);
            return true;
        };
        c.showError = [this](const QString& title, const QString& text) {
            m_errors << title + "|" + text;
        };
        return c;
    }

    QStringList take()
    {
        QStringList c = m_commands;
        m_commands.clear();
        return c;
    }

    static QListWidget* list(const TaskListPanel& p)
    {
        return p.findChild<QListWidget*>("lstFiles");
    }
    static QString text(const QWidget& p, const char* name)
    {
        if (auto* l = p.findChild<QLabel*>(name))
            return l->text();
        if (auto* e = p.findChild<QLineEdit*>(name))
            return e->text();
        if (auto* e = p.findChild<QPlainTextEdit*>(name))
            return e->toPlainText();
        return "<none>";
    }
    static void clickRow(QListWidget* l, int row, bool dbl = false)
    {
        const QPoint at = l->visualItemRect(l->item(row)).center();
        QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, at);
        if (dbl)
            QTest::mouseDClick(l->viewport(), Qt::LeftButton, {}, at);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(QDir(m_folder.path()).mkpath("Media"));
        QCOMPARE(Mp3Fixture::makeTask(media(kOld), 1.0, "first"), QString());
        QCOMPARE(Mp3Fixture::makeTask(media(kMiddle), 2.0, "second"), QString());
        QVERIFY(Mp3Fixture::writeFile(
            media(kLater), Mp3Fixture::withHeader(QByteArray("\xff\xf3\x60\xc4", 4), 72128)));
        QVERIFY(Mp3Fixture::writeFile(media(kText), QByteArray(300, 'n')));
    }

    void init()
    {
        m_commands.clear();
        m_mixer.clear();
        m_errors.clear();
        m_existedAtStop.clear();
        m_selected.clear();
        m_playing.clear();
    }

    void selectionChainAndClipboard()
    {
        TaskListPanel panel(context());
        QSignalSpy hints(&panel, &TaskListPanel::hintChanged);
        panel.showList(0);
        QCOMPARE(hints.last().at(0).toString(), QString("Прошедшие задачи - 2"));
        QCOMPARE(panel.lines(), (QStringList{kOld, kMiddle}));
        // The first line is selected and its details shown.
        QCOMPARE(panel.selectedLine(), kOld);
        QCOMPARE(m_selected, media(kOld));
        QCOMPARE(QGuiApplication::clipboard()->text(), kOld);
        QCOMPARE(text(panel, "Comment"), QString("first"));
        QCOMPARE(text(panel, "Album"), QString("Ola-Brenvik"));
        QCOMPARE(text(panel, "labLength"), QString("1"));
        QCOMPARE(text(panel, "labSize"),
                 " " + QString::number(QFileInfo(media(kOld)).size()) + " bytes");
        QCOMPARE(text(panel, "labLength2") + ":" + text(panel, "labLength3"), QString("0:01"));

        clickRow(list(panel), 1);
        QCOMPARE(m_selected, media(kMiddle));
        QCOMPARE(QGuiApplication::clipboard()->text(), kMiddle);
        QCOMPARE(text(panel, "Comment"), QString("second"));
        QCOMPARE(text(panel, "labLength3"), QString("02"));
        QVERIFY(m_errors.isEmpty());

        // A file without a tag keeps the previous comment; one without a
        // frame header is reported once and shows 0 : 0.
        panel.showList(2);
        QCOMPARE(hints.last().at(0).toString(), QString("Всего задач на завтра - 1"));
        QCOMPARE(text(panel, "Comment"), QString("second"));
        QCOMPARE(text(panel, "labLength"), QString("12"));
        QCOMPARE(text(panel, "labLength3"), QString("12"));
        panel.showList(3);
        QCOMPARE(hints.last().at(0).toString(), QString("Всего задач-4"));
        clickRow(list(panel), 3);
        QCOMPARE(panel.selectedLine(), kText);
        QCOMPARE(m_errors, QStringList{"Error...|Not a MP3 file..."});
        QCOMPARE(text(panel, "labLength"), QString());
        QCOMPARE(text(panel, "labLength2") + ":" + text(panel, "labLength3"), QString("0:0"));
        QCOMPARE(text(panel, "labSize"), QString(" 300 bytes"));

        // An empty list selects nothing and leaves the details as they were.
        panel.showList(1);
        QCOMPARE(hints.last().at(0).toString(), QString("Всего задач на сегодня - 0"));
        QCOMPARE(m_selected, media(kText));
        QCOMPARE(panel.selectedLine(), QString());
    }

    void selectorLabels()
    {
        TaskListPanel panel(context());
        QCOMPARE(panel.highlighted(), 0);
        const QStringList captions = {" Прошедшие", "Текущие", "На завтра", " Все задачи"};
        for (int i = 0; i < 4; ++i)
            QCOMPARE(text(panel, qPrintable(QString("lblToday%1").arg(i))), captions[i]);
        panel.show();
        auto* tomorrow = panel.findChild<QLabel*>("lblToday2");
        QTest::mousePress(tomorrow, Qt::LeftButton, {}, QPoint(50, 5));
        QCOMPARE(panel.highlighted(), 2);
        QCOMPARE(tomorrow->grab().toImage().pixelColor(1, 6), QColor(255, 255, 192));
        QCOMPARE(panel.findChild<QLabel*>("lblToday0")->grab().toImage().pixelColor(1, 6),
                 QColor(0, 255, 255));
        QTest::mouseRelease(tomorrow, Qt::LeftButton, {}, QPoint(50, 5));
        QCOMPARE(panel.lines(), QStringList{kLater});
    }

    void controlButtonAndMenu()
    {
        TaskListPanel panel(context());
        panel.showList(3);
        QCOMPARE(panel.selectedLine(), kOld);
        panel.moveSelectionUp();
        QCOMPARE(panel.selectedLine(), kOld);
        panel.moveSelectionDown();
        panel.moveSelectionDown();
        panel.moveSelectionDown();
        QCOMPARE(panel.selectedLine(), kText);
        QCOMPARE(QGuiApplication::clipboard()->text(), kText);
        panel.moveSelectionDown();
        QCOMPARE(panel.selectedLine(), kText);
        panel.moveSelectionUp();
        QCOMPARE(m_selected, media(kLater));

        // OK plays the selected task from its start.
        take();
        panel.playSelectedFromStart();
        QCOMPARE(take(), (QStringList{"Stop ", "Play " + ShortPath(media(kLater))}));
        QCOMPARE(m_playing, media(kLater));
        QCOMPARE(panel.playbackBar().player().total(), 12);
        QCOMPARE(panel.findChild<PictureStack*>("imgStop2")->shownIndex(), 0);

        panel.openFromMenu();
        QCOMPARE(m_mixer, QStringList{"mute 8 0"});
        QCOMPARE(panel.selectedLine(), kOld);
        QCOMPARE(m_selected, media(kOld));
    }

    void doubleClickStopsTheOldTaskFirst()
    {
        TaskListPanel panel(context());
        panel.showList(0);
        clickRow(list(panel), 0, true);
        QCOMPARE(take(), (QStringList{"Stop ", "Play " + ShortPath(media(kOld))}));
        clickRow(list(panel), 1, true);
        QCOMPARE(take(), (QStringList{"Stop " + ShortPath(media(kOld)),
                                      "Play " + ShortPath(media(kMiddle))}));
        QCOMPARE(m_playing, media(kMiddle));
    }

    void deletingThePlayingTaskStopsItFirst()
    {
        const QString doomed = "02.12.2026 08ч 00м 00.mp3";
        QVERIFY(QFile::copy(media(kOld), media(doomed)));
        TaskListPanel panel(context());
        DeletePanel question(&panel);
        QSignalSpy opened(&question, &DeletePanel::openRequested);
        QSignalSpy closed(&question, &DeletePanel::closeRequested);
        QSignalSpy animation(&question, &DeletePanel::animationEnabledChanged);
        panel.showList(0);
        panel.selectLine(1);
        QCOMPARE(panel.selectedLine(), doomed);
        panel.playSelectedFromStart();
        const QString path = ShortPath(media(doomed));
        take();
        m_existedAtStop.clear();

        QTest::mousePress(panel.findChild<QLabel*>("imgSteret"), Qt::LeftButton);
        QCOMPARE(opened.count(), 1);
        // 19 characters: the date and time up to the blank before the seconds.
        QCOMPARE(question.shownMoment(), QString("02.12.2026 08ч 00м "));
        QCOMPARE(animation.last().at(0).toBool(), true);

        QTest::mouseClick(question.findChild<QPushButton*>("Command6_0"), Qt::LeftButton);
        QCOMPARE(take(), QStringList{"Stop " + path});
        QCOMPARE(m_existedAtStop, QList<bool>{true});
        QVERIFY(!QFile::exists(media(doomed)));
        QCOMPARE(panel.lines(), (QStringList{kOld, kMiddle}));
        QCOMPARE(panel.selectedLine(), QString());
        QCOMPARE(closed.count(), 1);
        QCOMPARE(animation.last().at(0).toBool(), false);
        QVERIFY(!question.isOpen());
        // With nothing selected the delete picture does nothing.
        QTest::mousePress(panel.findChild<QLabel*>("imgSteret"), Qt::LeftButton);
        QCOMPARE(opened.count(), 1);
    }

    // A due repeating task is done for now: the question says it repeats and
    // moves it on to its next time, the file renamed with its bytes as they
    // were. A one-time task gets the question as it always was.
    void aDueRepeatingTaskMovesOnToItsNextTime()
    {
        const QString daily = "02.12.2026 08ч 00м 00.mp3";
        QVERIFY(QFile::copy(media(kOld), media(daily)));
        QCOMPARE(TaskRepeat::write(media(daily), *RepeatRule::fromWord("daily")), 0);
        QFile before(media(daily));
        QVERIFY(before.open(QIODevice::ReadOnly));
        const QByteArray bytes = before.readAll();
        before.close();
        TaskListPanel panel(context());
        DeletePanel question(&panel);
        QSignalSpy hints(&panel, &TaskListPanel::hintChanged);
        panel.showList(0);
        panel.selectLine(0);
        QCOMPARE(panel.selectedLine(), kOld);
        question.ask(panel.selectedLine());
        QVERIFY(!question.offersNextTime());
        question.decide(1);

        panel.selectLine(1);
        QCOMPARE(panel.selectedLine(), daily);
        QTest::mousePress(panel.findChild<QLabel*>("imgSteret"), Qt::LeftButton);
        QVERIFY(question.offersNextTime());
        QCOMPARE(question.findChild<QLabel*>("lblRepeats")->text(),
                 QString("Повторяется каждый день"));
        // Clicked where the user clicks: over the picture's square, the
        // button is on top.
        auto* next = question.findChild<QPushButton*>("cmdNextTime");
        QCOMPARE(question.childAt(next->geometry().center()), next);
        QTest::mouseClick(next, Qt::LeftButton);
        QVERIFY(!question.isOpen());
        QVERIFY(!QFile::exists(media(daily)));
        QFile after(media("07.12.2026 08ч 00м 00.mp3"));
        QVERIFY(after.open(QIODevice::ReadOnly));
        QCOMPARE(after.readAll(), bytes);
        QCOMPARE(hints.last().at(0).toString(), QString("В следующий раз: 07.12.2026 08:00"));
        QVERIFY(!panel.lines().contains(daily));
        QFile::remove(media("07.12.2026 08ч 00м 00.mp3"));
    }

    void deletingAnotherTaskLeavesThePlaybackRunning()
    {
        const QString doomed = "03.12.2026 08ч 00м 00.mp3";
        QVERIFY(QFile::copy(media(kOld), media(doomed)));
        TaskListPanel panel(context());
        DeletePanel question(&panel);
        panel.showList(0);
        panel.playSelectedFromStart(); // the first line
        panel.selectLine(1);
        QCOMPARE(panel.selectedLine(), doomed);
        take();
        question.ask(panel.selectedLine());
        question.decide(0);
        QVERIFY(take().isEmpty());
        QVERIFY(panel.playbackBar().player().isRunning());
        QVERIFY(!QFile::exists(media(doomed)));
    }

    void pardonKeepsEverything()
    {
        TaskListPanel panel(context());
        DeletePanel question(&panel);
        QSignalSpy animation(&question, &DeletePanel::animationEnabledChanged);
        panel.showList(0);
        panel.playSelectedFromStart();
        take();
        QTest::mousePress(panel.findChild<QLabel*>("imgSteret"), Qt::LeftButton);
        QTest::mouseClick(question.findChild<QPushButton*>("Command6_1"), Qt::LeftButton);
        QVERIFY(take().isEmpty());
        QVERIFY(QFile::exists(media(kOld)));
        QCOMPARE(panel.lines(), (QStringList{kOld, kMiddle}));
        QCOMPARE(panel.selectedLine(), kOld);
        QVERIFY(panel.playbackBar().player().isRunning());
        QCOMPARE(animation.count(), 2);
        QCOMPARE(animation.last().at(0).toBool(), false);
        QCOMPARE(question.findChild<QPushButton*>("Command6_1")->text(), QString("Помиловать"));
        QCOMPARE(question.findChild<QPushButton*>("Command6_0")->text(), QString("Удалить"));
    }

    void commentHoldsThirtyCharacters()
    {
        TaskListPanel panel(context());
        auto* comment = panel.findChild<QPlainTextEdit*>("Comment");
        QCOMPARE(comment->toPlainText(), QString("Коментарии\n"));
        comment->setPlainText(QString(40, 'x'));
        QCOMPARE(comment->toPlainText(), QString(30, 'x'));
    }

    void screenshots()
    {
        TaskListPanel panel(context());
        DeletePanel question(&panel);
        panel.showList(3);
        panel.playbackBar().volume().initialise(80);
        question.ask(kMiddle);
        const QImage list = panel.grab().toImage(), ask = question.grab().toImage();
        QCOMPARE(list.size(), QSize(200, 300));
        QCOMPARE(ask.pixelColor(2, 150), QColor(0, 0, 192));
        if (const QString dir = qEnvironmentVariable("QUILL_SCREENSHOT_DIR"); !dir.isEmpty()) {
            QVERIFY(list.save(dir + "/tasklist.png"));
            QVERIFY(ask.save(dir + "/delete.png"));
        }
    }
};

QTEST_MAIN(TestTaskListPanel)
#include "test_tasklistpanel.moc"
