#include "fakewaveinput.h"
#include "leveldisplay.h"
#include "mci.h"
#include "mmixer.h"
#include "modaudiomon.h"
#include "recordingpanel.h"
#include "testclock.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QStyle>
#include <QTimer>
#include <QtTest>

namespace {

// Only the speaker mute exists; the writes are remembered.
class MuteMixer : public SystemMixer
{
public:
    long mute = 0;
    QList<long> writes;
    int deviceCount() override { return 1; }
    bool open(int) override { return true; }
    std::optional<MixerControlInfo> findControl(MixerLine line, MixerControlType type) override
    {
        if (line == MixerLine::Speakers && type == MixerControlType::Mute)
            return MixerControlInfo{1, 0, 1};
        return std::nullopt;
    }
    std::optional<long> readControl(int) override { return mute; }
    bool writeControl(int, long v) override
    {
        writes << v;
        mute = v;
        return true;
    }
};

// Types text the way a keyboard does; QTest::keyClicks knows only ASCII.
void type(QWidget* w, const QString& text)
{
    for (const QChar ch : text) {
        const int key = ch == QLatin1Char(' ') ? int(Qt::Key_Space) : int(Qt::Key_unknown);
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(w, &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(w, &release);
    }
}

} // namespace

class TestRecordingPanel : public QObject
{
    Q_OBJECT

private:
    TestClock m_clock{QDateTime(QDate(2026, 12, 7), QTime(14, 28, 30))};
    MuteMixer* m_fakeMixer = nullptr;
    std::unique_ptr<MMixer> m_mixer;
    QStringList m_commands;
    QStringList m_hints;
    QList<int> m_waits;
    std::unique_ptr<QWidget> m_lamp;
    std::unique_ptr<RecordingPanel> m_panel;

    template <typename T> T* child(const char* name)
    {
        T* w = m_panel->findChild<T*>(QLatin1String(name));
        if (!w)
            qFatal("no child %s", name);
        return w;
    }
    QString elapsed()
    {
        return child<QLabel>("Label2_0")->text() + child<QLabel>("Label2_1")->text() +
               child<QLabel>("Label2_2")->text();
    }
    int stackIndex(const char* name) { return m_panel->children().indexOf(child<QWidget>(name)); }

private slots:
    void init()
    {
        m_fakeMixer = new MuteMixer;
        m_mixer = std::make_unique<MMixer>(std::unique_ptr<SystemMixer>(m_fakeMixer));
        m_mixer->OpenMixer(0);
        m_commands.clear();
        m_hints.clear();
        m_waits.clear();
        m_lamp = std::make_unique<QWidget>();
        m_lamp->show();
        m_panel = std::make_unique<RecordingPanel>(
            m_clock, m_mixer.get(),
            [this](const QString& c) {
                m_commands << c;
                return 0;
            },
            QStringLiteral("/home/Анна/.cache/Quillmur/"));
        m_panel->setLamp(m_lamp.get());
        QObject::connect(m_panel.get(), &RecordingPanel::hintChanged,
                         [this](const QString& h) { m_hints << h; });
        m_panel->setBlockingWait([this](int ms) { m_waits << ms; });
        m_panel->show();
    }

    void cleanup()
    {
        m_panel.reset();
        m_mixer.reset();
    }

    void recordPauseResumeStopSendTheCommandsInOrder()
    {
        QSignalSpy gif(m_panel.get(), &RecordingPanel::recordingAnimationChanged);
        QSignalSpy start(m_panel.get(), &RecordingPanel::showStartPicture);
        QSignalSpy encode(m_panel.get(), &RecordingPanel::encoderRequested);

        QVERIFY(!child<QWidget>("imgPausa_0")->isEnabled());
        QTest::mousePress(child<QWidget>("imgRecord_0"), Qt::LeftButton);
        QVERIFY(m_panel->isRecording());
        QVERIFY(child<QWidget>("imgPausa_0")->isEnabled());
        QVERIFY(m_panel->timer2()->isActive());
        // A second press (any button) only beeps.
        QTest::mousePress(child<QWidget>("imgRecord_1"), Qt::RightButton);
        QTest::mouseRelease(child<QWidget>("imgRecord_1"), Qt::RightButton);

        QTest::mousePress(child<QWidget>("imgPausa_0"), Qt::LeftButton);
        QVERIFY(m_panel->isRecording());
        QVERIFY(!m_panel->timer2()->isActive());
        QTest::mousePress(child<QWidget>("imgPausa_1"), Qt::LeftButton);
        QVERIFY(m_panel->timer2()->isActive());

        QTest::mousePress(child<QWidget>("imgStop_0"), Qt::LeftButton);
        QVERIFY(!m_panel->isRecording());
        QVERIFY(!m_panel->timer2()->isActive());
        // Pressing stop again, or the held-down pause picture, does nothing.
        QTest::mousePress(child<QWidget>("imgStop_1"), Qt::LeftButton);
        m_panel->pressPause(1);

        QCOMPARE(m_commands,
                 (QStringList{"open new type waveaudio alias mywav", "record mywav", "stop mywav",
                              "open new type waveaudio alias mywav", "record mywav", "stop mywav",
                              QStringLiteral("save mywav /home/Анна/.cache/Quillmur/test.wav"),
                              "close mywav"}));
        QCOMPARE(m_waits, (QList<int>{200, 1000}));
        QCOMPARE(m_hints, QStringList{QStringLiteral("Подождите идет сохранение файла")});
        QList<bool> states;
        for (const auto& a : gif)
            states << a.at(0).toBool();
        QCOMPARE(states, (QList<bool>{true, false, true, false}));
        QCOMPARE(start.count(), 1);
        QCOMPARE(encode.count(), 1);
        QCOMPARE(encode.at(0).at(0).toString(), QStringLiteral("Без_комментарий."));
        QCOMPARE(m_panel->comment(), QStringLiteral("Без_комментарий."));
        QVERIFY(!child<QWidget>("imgPausa_0")->isEnabled());
    }

    void typedCommentGoesToTheEncoderUnchanged()
    {
        // A whole comment of ordinary words is seen at once.
        auto* field = child<QLineEdit>("txtKoment");
        const QString longest = QStringLiteral("напомнить_позвонить_маме_вечер");
        QCOMPARE(longest.size(), 30);
        // Inside the frame, the line edit's own margins and the cursor.
        const int frame = field->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, field);
        QVERIFY(QFontMetrics(field->font()).horizontalAdvance(longest) <=
                field->width() - 2 * frame - 2 * 2 - 2);
        QSignalSpy encode(m_panel.get(), &RecordingPanel::encoderRequested);
        type(child<QLineEdit>("txtKoment"), QStringLiteral("Купить хлеб"));
        m_panel->pressRecord();
        m_panel->tick(); // an even second: the lamp is lit
        QVERIFY(m_lamp->isVisible());
        m_panel->pressStop();
        QVERIFY2(!m_lamp->isVisible(), "the lamp goes out with the recording");
        QCOMPARE(encode.at(0).at(0).toString(), QStringLiteral("Купить_хлеб"));
        // Nothing clears the comment for the next recording.
        QCOMPARE(m_panel->comment(), QStringLiteral("Купить_хлеб"));
    }

    void eachNoteIsSavedInItsOwnFolderWithTheDeviceState()
    {
        QStringList folders{"/s/note-1/", "/s/note-2/"};
        // The first recording finds no device, the second does.
        int recordResult = 278;
        auto sink = [&](const QString& c) {
            m_commands << c;
            return c.startsWith(QLatin1String("record")) ? recordResult : 0;
        };
        RecordingPanel panel(m_clock, m_mixer.get(), sink, QStringLiteral("/s/"));
        panel.setNoteFolderSource([&] { return folders.takeFirst(); });
        panel.setBlockingWait([](int) {});
        QSignalSpy spy(&panel, &RecordingPanel::encoderRequested);
        for (int note = 0; note < 2; ++note) {
            panel.pressRecord();
            panel.pressStop();
            recordResult = 0;
        }
        QCOMPARE(m_commands.filter("save"),
                 (QStringList{"save mywav /s/note-1/test.wav", "save mywav /s/note-2/test.wav"}));
        QCOMPARE(spy.size(), 2);
        QCOMPARE(spy.at(0).at(1).toString(), QStringLiteral("/s/note-1/"));
        QCOMPARE(spy.at(0).at(2).toBool(), true);
        QCOMPARE(spy.at(1).at(2).toBool(), false);
    }

    void aSaveThatFailsKeepsTheSoundUntilStopSavesIt()
    {
        int saveResult = MciDiskFull;
        auto sink = [&](const QString& c) {
            m_commands << c;
            return c.startsWith(QLatin1String("save")) ? saveResult : 0;
        };
        RecordingPanel panel(m_clock, m_mixer.get(), sink,
                             QDir::homePath() + QStringLiteral("/.cache/Quillmur/"));
        panel.setBlockingWait([](int) {});
        QStringList hints;
        connect(&panel, &RecordingPanel::hintChanged, [&](const QString& h) { hints << h; });
        QSignalSpy encode(&panel, &RecordingPanel::encoderRequested);
        QSignalSpy start(&panel, &RecordingPanel::showStartPicture);
        panel.pressRecord();
        panel.pressStop();
        QVERIFY(panel.hasUnsavedNote());
        QCOMPARE(hints.last(), QStringLiteral("Запись не сохранена: нет места на диске в "
                                              "~/.cache/Quillmur. Звук не потерян: освободите "
                                              "место и нажмите Стоп."));
        QCOMPARE(encode.count() + start.count(), 0);
        QVERIFY(!m_commands.contains(QStringLiteral("close mywav")));
        // Stop again once there is room: the same sound goes on its way.
        saveResult = 0;
        panel.pressStop();
        QVERIFY(!panel.hasUnsavedNote());
        QCOMPARE(m_commands.filter(QStringLiteral("save")).size(), 2);
        QCOMPARE(m_commands.last(), QStringLiteral("close mywav"));
        QCOMPARE(encode.count(), 1);
        QCOMPARE(start.count(), 1);
    }

    void refusedRecordingNeverOpensTheDevice()
    {
        QSignalSpy encode(m_panel.get(), &RecordingPanel::encoderRequested);
        m_panel->setRefusal(QStringLiteral("Запись невозможна: нет личной папки"));
        m_panel->pressRecord();
        m_panel->pressStop();
        QVERIFY(!m_panel->isRecording());
        QVERIFY(m_commands.isEmpty());
        QCOMPARE(m_hints, QStringList{QStringLiteral("Запись невозможна: нет личной папки")});
        QCOMPARE(encode.count(), 0);
    }

    void buttonPicturesFollowTheMouse()
    {
        QTest::mousePress(child<QWidget>("imgRecord_0"), Qt::LeftButton);
        QVERIFY(stackIndex("imgRecord_1") > stackIndex("imgRecord_0"));
        QTest::mouseRelease(child<QWidget>("imgRecord_1"), Qt::LeftButton);
        QVERIFY(stackIndex("imgRecord_0") > stackIndex("imgRecord_1"));
        QTest::mousePress(child<QWidget>("imgStop_0"), Qt::LeftButton);
        QVERIFY(stackIndex("imgStop_1") > stackIndex("imgStop_0"));
        QTest::mouseRelease(child<QWidget>("imgStop_1"), Qt::LeftButton);
        QVERIFY(stackIndex("imgStop_0") > stackIndex("imgStop_1"));
    }

    void tickCountsMinutesAndSecondsAndBlinksTheLamp()
    {
        QCOMPARE(elapsed(), QStringLiteral("0,0"));
        m_panel->pressRecord();
        for (int i = 0; i < 59; ++i) {
            m_clock.advanceSeconds(1);
            m_panel->tick();
            QCOMPARE(m_lamp->isVisible(), m_clock.now().time().second() % 2 == 0);
        }
        QCOMPARE(elapsed(), QStringLiteral("0,59"));
        m_panel->tick();
        QCOMPARE(elapsed(), QStringLiteral("1,0"));
        m_panel->tick();
        QCOMPARE(elapsed(), QStringLiteral("1,1"));
        // The lamp keeps its state over a pause.
        const bool lamp = m_lamp->isVisible();
        m_panel->pressPause(0);
        m_clock.advanceSeconds(1);
        QCOMPARE(m_lamp->isVisible(), lamp);
        m_panel->pressStop();
        QCOMPARE(elapsed(), QStringLiteral("0,0"));
    }

    void commentFieldRules()
    {
        auto* field = child<QLineEdit>("txtKoment");
        QCOMPARE(field->maxLength(), 29);
        type(field, QStringLiteral("Купить хлеб и молоко"));
        QCOMPARE(field->text(), QStringLiteral("Купить_хлеб_и_молоко"));
        field->clear();
        type(field, QString(40, QChar(0x44F)));
        QCOMPARE(field->text().size(), 29);

        // Right button: disabled while it waits, enabled after, no menu.
        bool disabledWhileWaiting = false;
        QTimer::singleShot(50, [&] { disabledWhileWaiting = !field->isEnabled(); });
        QTest::mousePress(field, Qt::RightButton);
        QVERIFY(disabledWhileWaiting);
        QVERIFY(field->isEnabled());
        QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(5, 5),
                               field->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(field, &menu);
        for (QWidget* w : QApplication::topLevelWidgets())
            QVERIFY2(!(w->inherits("QMenu") && w->isVisible()), "a context menu opened");
    }

    void speakerIconSwitchesTheSpeakerMute()
    {
        auto* on = child<QWidget>("imgDinamik_0");
        auto* off = child<QWidget>("imgDinamik_1");
        QVERIFY(on->isVisible() && !off->isVisible());
        QTest::mousePress(on, Qt::LeftButton);
        QVERIFY(!on->isVisible() && off->isVisible());
        QTest::mousePress(off, Qt::LeftButton);
        QVERIFY(on->isVisible() && !off->isVisible());
        QCOMPARE(m_fakeMixer->writes, (QList<long>{1, 0}));
        // Shown again while muted from elsewhere: the crossed-out speaker.
        m_mixer->SetMute(MMixer::SpeakerMute, true);
        m_panel->hide();
        m_panel->show();
        QVERIFY(!on->isVisible() && off->isVisible());
    }

    void monitorRunsUntilTheRecordingStops()
    {
        ModAudioMon monitor(std::make_unique<FakeWaveInput>());
        m_panel->setMonitor(&monitor);
        auto* start = child<QPushButton>("CmdMonitor");
        auto* stop = child<QPushButton>("CmdMonitorStop");
        QVERIFY(start->isEnabled() && !stop->isEnabled());
        bool inside = false, buttons = false;
        QVector<QRect> boxes;
        QTimer::singleShot(200, [&] {
            inside = true;
            buttons = !start->isEnabled() && stop->isEnabled();
            boxes = m_panel->findChild<LevelDisplay*>("PicDisplay")->ellipses();
            m_panel->pressRecord();
            m_panel->pressStop(); // stops the monitor too
        });
        start->click(); // returns once the monitor has stopped
        QVERIFY(inside);
        QVERIFY(buttons);
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes[0].top(), 17);
        QCOMPARE(boxes[0].bottom(), 45);
        QVERIFY(!monitor.isRunning());
        QVERIFY(start->isEnabled() && !stop->isEnabled());
        QVERIFY(monitor.blocksDrawn() > 0);
    }

    void monitorStopButtonAndWindowClose()
    {
        ModAudioMon monitor(std::make_unique<FakeWaveInput>());
        m_panel->setMonitor(&monitor);
        QTimer::singleShot(100, child<QPushButton>("CmdMonitorStop"), &QPushButton::click);
        child<QPushButton>("CmdMonitor")->click();
        QVERIFY(!monitor.isRunning());
        QTimer::singleShot(100, m_panel.get(), &RecordingPanel::stopMonitorIfRunning);
        child<QPushButton>("CmdMonitor")->click();
        QVERIFY(!monitor.isRunning());
        m_panel->stopMonitorIfRunning(); // not running: harmless
    }

    void monitorWithoutInputShowsTheError()
    {
        ModAudioMon monitor(std::make_unique<FakeWaveInput>(std::vector<uint8_t>{}, false));
        m_panel->setMonitor(&monitor);
        QString title, text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QTimer::singleShot(100, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                title = box->windowTitle();
                text = box->text();
                icon = box->icon();
                box->accept();
            }
        });
        child<QPushButton>("CmdMonitor")->click();
        QCOMPARE(title, QStringLiteral("Audio Monitor - Error"));
        QCOMPARE(text, QStringLiteral("Unable to open wave input device."));
        QCOMPARE(icon, QMessageBox::Critical);
        QVERIFY(child<QPushButton>("CmdMonitor")->isEnabled());
        QVERIFY(!child<QPushButton>("CmdMonitorStop")->isEnabled());
    }

    void settingsButtonsAskTheWindow()
    {
        QSignalSpy save(m_panel.get(), &RecordingPanel::saveSettingsClicked);
        auto* sohranit = child<QPushButton>("Sohranit");
        QCOMPARE(sohranit->text(), QStringLiteral("Записать настройеи"));
        sohranit->click();
        QCOMPARE(save.count(), 1);
        QCOMPARE(
            child<QLabel>("Label6")->text(),
            QStringLiteral("       Здесь вы можете добавить комментарий не более 30 символов."));
        QCOMPARE(child<QPushButton>("cmdRecord")->text(), QStringLiteral("Запись"));
    }
};

QTEST_MAIN(TestRecordingPanel)
#include "test_recordingpanel.moc"
