#include "../playback/mp3fixture.h"
#include "controlbutton.h"
#include "fakeservices.h"
#include "layout.h"
#include "mainwindow.h"
#include "tasklistpanel.h"
#include "testclock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

namespace {

// A program folder with a red default background and, when asked, a settings
// file and a Picture folder holding a green 42.bmp and a blue sunset.bmp.
struct ProgramFolder
{
    QTemporaryDir dir;
    QString path() const { return dir.path(); }

    explicit ProgramFolder(bool withPictures = true)
    {
        QDir(path()).mkpath("Data");
        QDir(path()).mkpath("Media");
        solid(Qt::red).save(path() + "/Data/1.jpg");
        if (withPictures) {
            QDir(path()).mkpath("Picture");
            solid(Qt::green).save(path() + "/Picture/42.bmp");
            solid(Qt::blue).save(path() + "/Picture/sunset.bmp");
        }
    }
    static QImage solid(Qt::GlobalColor c)
    {
        QImage img(200, 300, QImage::Format_RGB32);
        img.fill(c);
        return img;
    }
    void settings(const QByteArray& bytes)
    {
        QFile f(path() + "/Data/index.txt");
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
};

QColor centre(const MainWindow& w)
{
    const QImage img = w.background().toImage();
    return img.isNull() ? QColor() : img.pixelColor(img.width() / 2, img.height() / 2);
}

// Every widget of a window in creation and stacking order, with whether it
// is shown and where.
QStringList widgetTree(const QWidget& window)
{
    QStringList tree;
    for (const QWidget* w : window.findChildren<QWidget*>()) {
        const QRect g = w->geometry();
        tree << QStringLiteral("%1 %2 %3 %4,%5 %6x%7")
                    .arg(QLatin1String(w->metaObject()->className()), w->objectName())
                    .arg(w->isVisible())
                    .arg(g.x())
                    .arg(g.y())
                    .arg(g.width())
                    .arg(g.height());
    }
    return tree;
}

bool near(const QColor& a, const QColor& b)
{
    return qAbs(a.red() - b.red()) < 40 && qAbs(a.green() - b.green()) < 40 &&
           qAbs(a.blue() - b.blue()) < 40;
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void startUpState_data();
    void startUpState();
    void settingsFile_data();
    void settingsFile();
    void missingFoldersLeaveDefaults();
    void controlButtonImages();
    void soundDefaultsAndShutdownRestore();
    void recordIntoAFileOfTheUsersChoice();
    void noScratchFolderRefusesOnlyRecording();
    void recoveredNoteShowsInTheListAtOnce();
};

void TestMainWindow::startUpState_data()
{
    QTest::addColumn<bool>("afterFirstFrame");
    QTest::newRow("in the constructor") << false;
    QTest::newRow("after the first frame") << true;
}

void TestMainWindow::startUpState()
{
    QFETCH(bool, afterFirstFrame);
    ProgramFolder folder;
    folder.settings("\r\n");
    TestClock clock(QDateTime(QDate(2026, 12, 7), QTime(14, 28, 30)));
    FakeServices fakes;
    const auto startUp =
        afterFirstFrame ? MainWindow::StartUp::AfterFirstFrame : MainWindow::StartUp::Complete;
    MainWindow w(folder.path(), "/scratch/", clock, fakes.make(), startUp);
    if (afterFirstFrame) {
        // Until its first frame the window has its face only: the sound
        // settings are untouched, the panels behind the start picture unbuilt.
        QVERIFY(fakes.mixerWrites.isEmpty());
        QVERIFY(!w.menu() && !w.findChild<QWidget*>("Text1") && !w.findChild<QWidget*>("Text2"));
        {
            FakeServices early; // closed before that frame: nothing more is done
            MainWindow(folder.path(), "/scratch/", clock, early.make(), startUp).close();
            QVERIFY(early.mixerWrites.isEmpty());
        }
        w.show();
        QTRY_VERIFY(w.menu());
        // Then it is the window that did it all at once.
        FakeServices completeFakes;
        MainWindow complete(folder.path(), "/scratch/", clock, completeFakes.make());
        complete.show();
        QVERIFY(QTest::qWaitForWindowExposed(&complete));
        QCOMPARE(widgetTree(w), widgetTree(complete));
        QCOMPARE(fakes.mixerValues, completeFakes.mixerValues);
        // The past tasks come a turn after the panels.
        QTRY_COMPARE(w.hint(), complete.hint());
    }

    QCOMPARE(w.state().panelMode, PanelMode::Start);
    QCOMPARE(w.size(), Layout::kWindow);
    QVERIFY(w.windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(!w.mask().isEmpty());
    QVERIFY(!w.mask().contains(QPoint(0, 0)));
    {
        // Outside the outline nothing is drawn, shape or no shape: where a
        // compositor ignores the shape, the corners are clear, not black.
        QImage drawn(w.size(), QImage::Format_ARGB32_Premultiplied);
        drawn.fill(Qt::transparent);
        w.render(&drawn, {}, {},
                 QWidget::DrawWindowBackground | QWidget::DrawChildren | QWidget::IgnoreMask);
        const QRect r = drawn.rect();
        for (const QPoint corner : {r.topLeft(), r.topRight(), r.bottomLeft(), r.bottomRight()})
            QCOMPARE(qAlpha(drawn.pixel(corner)), 0);
        QCOMPARE(qAlpha(drawn.pixel(r.center())), 255);
        QCOMPARE(qAlpha(drawn.pixel(60, 20)), 255);
    }
    QCOMPARE(w.findChild<QLabel*>("lblVersion")->text(), QString("Version 1.0.0"));
    QCOMPARE(w.findChild<QLabel*>("lblTitle")->text(), QString("Vestrel"));
    QCOMPARE(w.findChild<QLineEdit*>("imyFileMp3")->text(), QString("/scratch/"));
    QCOMPARE(w.findChild<ControlButton*>("picOK")->frontImage(), QString("picOK0"));

    for (const char* name : {"fraZastavra", "fraMeny", "fraSpisok", "FrTimer", "fraCalendar",
                             "fraMonitor", "FraSteret", "fraNastroiki", "FraAbobe", "fraSpravka"}) {
        QFrame* f = w.findChild<QFrame*>(name);
        QVERIFY2(f, name);
        QCOMPARE(f->geometry(), Layout::kPanel);
        QVERIFY2(!f->isHidden(), name);
    }
    QCOMPARE(w.frontPanel()->objectName(), QString("fraZastavra"));
    for (const char* name : {"Picture1", "fonMeny", "lbHelp", "Lampa", "Text1", "File1", "Command2",
                             "picProzr", "picText", "picTemp"})
        QVERIFY2(w.findChild<QWidget*>(name), name);
    for (const char* name : {"Timer1", "Timer2", "Timer3"}) {
        QTimer* t = w.findChild<QTimer*>(name);
        QVERIFY2(t && !t->isActive() && t->interval() == 1000, name);
    }

    // A panel is shown by raising it; the others stay where they are.
    w.showPanel(w.panel("FraAbobe"));
    QCOMPARE(w.frontPanel()->objectName(), QString("FraAbobe"));
    QVERIFY(!w.panel("fraZastavra")->isHidden());
}

void TestMainWindow::settingsFile_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QColor>("expected");
    QTest::newRow("saved picture") << QByteArray("42.bmp\r\n") << QColor(Qt::green);
    QTest::newRow("no line end") << QByteArray("42.bmp") << QColor(Qt::green);
    QTest::newRow("empty line") << QByteArray("\r\n") << QColor(Qt::red);
    QTest::newRow("empty file") << QByteArray() << QColor(Qt::red);
    QTest::newRow("long name is cut") << QByteArray("sunset.bmp\r\n") << QColor(Qt::red);
    QTest::newRow("missing picture") << QByteArray("17.bmp\r\n") << QColor(Qt::red);
    QTest::newRow("short name") << QByteArray("4.bmp\r\n") << QColor(Qt::red);
}

void TestMainWindow::settingsFile()
{
    QFETCH(QByteArray, content);
    QFETCH(QColor, expected);
    ProgramFolder folder;
    folder.settings(content);
    FakeServices fakes;
    MainWindow w(folder.path(), "/scratch/", Clock::system(), fakes.make());
    QVERIFY2(near(centre(w), expected), qPrintable(centre(w).name()));
    QCOMPARE(w.findChild<QLineEdit*>("Text1")->text(), QString::fromLatin1(content));

    auto* list = w.findChild<QListWidget*>("File1");
    QCOMPARE(list->count(), 2);
    QCOMPARE(list->currentRow(), 0);
    QCOMPARE(list->item(0)->text(), QString("42.bmp"));
}

void TestMainWindow::missingFoldersLeaveDefaults()
{
    {
        ProgramFolder folder(false); // no Picture folder, no settings file
        FakeServices fakes;
        MainWindow w(folder.path(), "/scratch/", Clock::system(), fakes.make());
        QVERIFY(near(centre(w), Qt::red));
        QCOMPARE(w.findChild<QListWidget*>("File1")->count(), 0);
        QCOMPARE(w.state().panelMode, PanelMode::Start);
    }
    {
        QTemporaryDir empty; // not even Data/1.jpg
        FakeServices fakes;
        MainWindow w(empty.path(), "/scratch/", Clock::system(), fakes.make());
        QVERIFY(w.background().isNull());
        QCOMPARE(w.findChild<QLabel*>("lblVersion")->text(), QString("Version 1.0.0"));
    }
}

void TestMainWindow::controlButtonImages()
{
    ProgramFolder folder;
    FakeServices fakes;
    MainWindow w(folder.path(), "/scratch/", Clock::system(), fakes.make());
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    auto* ok = w.findChild<ControlButton*>("picOK");
    QTest::mouseMove(ok, QPoint(45, 10));
    QCOMPARE(ok->frontImage(), QString("picOK1"));
    QTest::mouseMove(ok, QPoint(45, 45));
    QCOMPARE(ok->frontImage(), QString("picOK3"));
    QTest::mousePress(ok, Qt::LeftButton, {}, QPoint(45, 45));
    QCOMPARE(ok->frontImage(), QString("Picture3_3"));
    QCOMPARE(w.state().buttonZone, ButtonZone::Ok);
    QCOMPARE(w.state().panelMode, PanelMode::Start); // a press does nothing before a dialogue
    QTest::mouseRelease(ok, Qt::LeftButton, {}, QPoint(45, 45));
    QCOMPARE(ok->frontImage(), QString("picOK0"));
    QTest::mouseMove(ok, QPoint(45, 80));
    QCOMPARE(ok->frontImage(), QString("picOK2"));
    // An action that waits (playing a task) lets the release in meanwhile:
    // once it returns the button shows that it is up.
    const auto releasing = connect(ok, &ControlButton::zonePressed, ok, [ok] {
        QTest::mouseRelease(ok, Qt::LeftButton, {}, QPoint(45, 45));
    });
    QTest::mousePress(ok, Qt::LeftButton, {}, QPoint(45, 45));
    disconnect(releasing);
    QCOMPARE(ok->frontImage(), QString("picOK0"));
}

void TestMainWindow::soundDefaultsAndShutdownRestore()
{
    ProgramFolder folder;
    QFile task(folder.path() + "/Media/24.12.2026 07ч 05м 42.mp3");
    QVERIFY(task.open(QIODevice::WriteOnly));
    task.close();
    FakeServices fakes; // speakers at 30000 of 65535 (46 %), wave muted
    {
        MainWindow w(folder.path(), "/scratch/", Clock::system(), fakes.make());
        // Speakers below half go to 50 %, wave to 100 % and unmuted.
        QCOMPARE(fakes.mixerValues.value(FakeSystemMixer::SpeakerVolume), 32750L);
        QCOMPARE(fakes.mixerValues.value(FakeSystemMixer::WaveVolume), 65500L); // 655 x 100
        QCOMPARE(fakes.mixerValues.value(FakeSystemMixer::WaveMute), 0L);
        w.state().playingFile = task.fileName();
        fakes.commands.clear();
    }
    // Closing stopped the playback and put back what start-up found.
    QCOMPARE(fakes.commands.value(0), "Stop " + QFileInfo(task.fileName()).canonicalFilePath());
    const long speaker = fakes.mixerValues.value(FakeSystemMixer::SpeakerVolume);
    QVERIFY2(qAbs(speaker - 30000) < 656, qPrintable(QString::number(speaker))); // within 1 %
    QCOMPARE(fakes.mixerValues.value(FakeSystemMixer::WaveMute), 1L);
    QCOMPARE(fakes.mixerValues.value(FakeSystemMixer::SpeakerMute), 0L);
}

void TestMainWindow::recordIntoAFileOfTheUsersChoice()
{
    ProgramFolder folder;
    FakeServices fakes;
    MainWindow w(folder.path(), "/scratch/", Clock::system(), fakes.make());
    w.show();
    w.buildMenu();
    auto items = w.findChildren<QLabel*>("picMeny");

    // Cancelled: nothing but the mode changes.
    QTest::mouseClick(items[2], Qt::LeftButton, {}, QPoint(50, 30));
    QCOMPARE(w.state().panelMode, PanelMode::RecordIntoFile);
    QCOMPARE(w.frontPanel()->objectName(), QString("fraMeny"));
    QCOMPARE(fakes.dialogs.size(), 1);
    QCOMPARE(fakes.dialogs[0].kind, FileDialogRequest::Save);

    fakes.dialogAnswer = folder.path() + "/notes";
    QTest::mouseClick(items[2], Qt::LeftButton, {}, QPoint(50, 30));
    QCOMPARE(w.state().saveTarget, folder.path() + "/notes");
    QCOMPARE(w.state().selectedFile, folder.path() + "/notes.mp3");
    QCOMPARE(w.frontPanel()->objectName(), QString("fraMonitor"));
}

void TestMainWindow::noScratchFolderRefusesOnlyRecording()
{
    // Never the start folder instead: recording is refused, the rest works.
    ProgramFolder folder;
    FakeServices fakes;
    MainWindow w(folder.path(), QString(), Clock::system(), fakes.make());
    w.show();
    w.buildMenu();
    auto items = w.findChildren<QLabel*>("picMeny");
    for (int item : {1, 2}) {
        QTest::mouseClick(items[item], Qt::LeftButton, {}, QPoint(50, 30));
        QVERIFY2(w.hint().startsWith(QStringLiteral("Запись невозможна: нет личной папки")),
                 qPrintable(w.hint()));
        QCOMPARE(w.frontPanel()->objectName(), QString("fraMeny"));
    }
    QCOMPARE(fakes.dialogs.size(), 0);
    QTest::mouseClick(items[0], Qt::LeftButton, {}, QPoint(50, 30));
    QCOMPARE(w.frontPanel()->objectName(), QString("fraSpisok"));
}

void TestMainWindow::recoveredNoteShowsInTheListAtOnce()
{
    ProgramFolder folder;
    QTemporaryDir scratch;
    // A finished, tagged note that an earlier run did not get to move.
    const QString job = scratch.filePath("note-1");
    QVERIFY(QDir().mkpath(job));
    const QString name = QStringLiteral("01.12.2026 09ч 00м 00.mp3");
    QFile journal(job + "/note.txt");
    QVERIFY(journal.open(QIODevice::WriteOnly));
    journal.write("kind=task\ntarget=" + QUrl::toPercentEncoding(name) + "\ncomment=x\n");
    journal.close();
    QCOMPARE(Mp3Fixture::makeTask(job + "/Z.mp3", 1, "x"), QString());

    TestClock clock(QDateTime(QDate(2026, 12, 7), QTime(14, 28, 30)));
    FakeServices fakes;
    MainWindow w(folder.path(), scratch.path() + '/', clock, fakes.make());
    QTRY_VERIFY(QFile::exists(folder.path() + "/Media/" + name));
    // The past tasks' list, on show since start-up, has it without a click.
    QTRY_VERIFY2(w.taskList()->lines().join('|').contains(name.left(19)),
                 qPrintable(w.taskList()->lines().join('|')));
}

QTEST_MAIN(TestMainWindow)
#include "test_mainwindow.moc"
