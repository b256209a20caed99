#include "mainwindow.h"

#include "aboutpanel.h"
#include "backgroundchooser.h"
#include "calendarpanel.h"
#include "ccalendar.h"
#include "cdlopensave.h"
#include "controlbutton.h"
#include "deletepanel.h"
#include "dialpanel.h"
#include "durablefile.h"
#include "encoderpipeline.h"
#include "focusmark.h"
#include "gifctl.h"
#include "helppanel.h"
#include "layout.h"
#include "menupanel.h"
#include "mmixer.h"
#include "modaudiomon.h"
#include "newtaskflow.h"
#include "paths.h"
#include "pause.h"
#include "recordingpanel.h"
#include "settingsfile.h"
#include "settingspanel.h"
#include "shortpath.h"
#include "startpicture.h"
#include "stateholders.h"
#include "taskfolder.h"
#include "tasklistpanel.h"
#include "taskpanelcontext.h"
#include "volumecontrol.h"
#include "watcherautostart.h"
#include "windowoutline.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCalendarWidget>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include <cstdio>

MainWindow::MainWindow(const QString& programFolder, const QString& scratchFolder,
                       const Clock& clock, MainWindowServices services, StartUp startUp,
                       QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_programFolder(programFolder),
      m_scratchFolder(scratchFolder), m_clock(clock), m_send(std::move(services.send)),
      m_mixer(std::make_unique<MMixer>(std::move(services.mixer))),
      m_levels(*m_mixer, MixerLevelsFile(services.levelsFile)),
      m_fileDialog(std::move(services.fileDialog)),
      m_saveDialog(std::make_unique<CdlOpenSave>(m_fileDialog))
{
    setObjectName(QStringLiteral("Quillmur"));
    // The keys reach the window wherever the mouse left the focus.
    setFocusPolicy(Qt::StrongFocus);
    setWindowTitle(QStringLiteral("Quillmur"));
    setFixedSize(Layout::kWindow);
    // Clear outside the outline as well as cut away: a compositor that
    // ignores the window's shape still shows the device's rounded corners.
    setAttribute(Qt::WA_TranslucentBackground);
    m_monitor = new ModAudioMon(std::move(services.waveInput), this);
    const QString media = m_programFolder + QStringLiteral("/Media/");
    m_taskFolder = services.taskFolder && services.taskFolder->folder() == media
                       ? std::move(services.taskFolder)
                       : std::make_shared<TaskFolder>(media);
    // The past list follows the first frame; its names are read meanwhile
    // (or have been since the program started).
    if (startUp == StartUp::AfterFirstFrame) {
        m_taskFolder->prefetch();
        m_taskFolder->whenRead([this] {
            QMetaObject::invokeMethod(this, &MainWindow::namesRead, Qt::QueuedConnection);
        });
    }
    buildScreen(std::move(services.dragWindow));
    showStartPicture();
    if (startUp == StartUp::Complete)
        finishStartUp();
}

MainWindow::~MainWindow()
{
    // Nothing is left to call back into a window that is going.
    m_taskFolder->finishReading();
    shutDown();
}

void MainWindow::buildScreen(std::function<void(QWidget*)> dragWindow)
{
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(8, 8, 10));
    setPalette(pal);

    m_face = new DeviceFace(std::move(dragWindow), this);
    connect(m_face, &DeviceFace::controlButtonPressed, this, &MainWindow::pressControlButton);
    connect(m_face, &DeviceFace::menuClicked, this, &MainWindow::buildMenu);
    connect(m_face, &DeviceFace::exitClicked, this, &QWidget::close, Qt::QueuedConnection);
    connect(m_face, &DeviceFace::helpClicked, this, [this] {
        m_face->help()->open();
        m_state.panelMode = PanelMode::Help;
    });

    m_fonMeny = new StartPicture(m_fileDialog, panel(QStringLiteral("fraZastavra")));
    connect(m_fonMeny, &StartPicture::hintChanged, this, &MainWindow::setHint);
    m_focusMark = new FocusMark([this] { return keyTarget(); }, this);
}

void MainWindow::showStartPicture()
{
    // What the first frame shows: the device with the start picture in front.
    m_face->about()->setVersion(QStringLiteral("Version %1.%2.%3")
                                    .arg(PROJECT_VERSION_MAJOR)
                                    .arg(PROJECT_VERSION_MINOR)
                                    .arg(PROJECT_VERSION_PATCH));
    m_state.panelMode = PanelMode::Start;
    m_face->controlButton()->showNormal();
    showPanel(panel(QStringLiteral("fraZastavra")));
    // From here on a failing step leaves its defaults and start-up goes on.
    m_settingsLine = SettingsFile::read(m_programFolder);
    m_fonMeny->load(m_programFolder, m_settingsLine.value_or(QString()));

    // The outline is cut last, as on the original device.
    setMask(WindowOutline::region());
    if (const QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
}

void MainWindow::finishStartUp()
{
    showFirstList();
    buildPanels();
    if (!m_recovered) {
        m_recovered = true;
        // Notes an earlier run could not finish (killed, power cut, no encoder).
        m_encoder->recoverUnfinished();
    }
}

void MainWindow::buildPanels()
{
    if (m_startedUp)
        return;
    m_startedUp = true;
    // Everything here lays out text or talks to the sound system, which the
    // first frame does without.
    m_face->help()->buildText();
    buildScreenPanels();
    buildHolders();
    buildTaskPanels();
    buildRecording();
    buildSettings();
    m_holders.imyFileMp3->setText(m_scratchFolder);
    if (m_settingsLine)
        m_holders.text1->setText(*m_settingsLine);
    showAdded(this);

    // The dial's shapes, its colours and the day half.
    m_dial->startUp();
    m_backgrounds->refreshPictureList(); // File1 on Picture/, first entry selected
    sohranit();
}

void MainWindow::showFirstList()
{
    if (m_firstListShown)
        return;
    m_firstListShown = true;
    buildTaskPanels();
    showAdded(this);
    m_taskList->showList(0);
}

void MainWindow::namesRead()
{
    // Before the first frame, the turn after it takes them; after the whole
    // start-up, they are already shown.
    if (!m_startUpQueued || m_firstListShown)
        return;
    showFirstList();
    if (m_startedUp)
        finishStartUp();
}

void MainWindow::paintEvent(QPaintEvent* e)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillPath(WindowOutline::path(), palette().window());
    p.end();
    QWidget::paintEvent(e);
    // The first frame is being drawn: the rest of the start-up comes right
    // after it has gone to the screen, in turns of the event loop, so that a
    // press never waits for all of it: the past tasks and their count once
    // their names are read (they are read meanwhile, on a thread of their
    // own), and the other panels. A press in between finishes the start-up
    // first.
    if (!m_startedUp && !m_startUpQueued) {
        m_startUpQueued = true;
        QTimer::singleShot(0, this, [this] {
            if (m_taskFolder->readAhead()) {
                showFirstList();
                QTimer::singleShot(0, this, &MainWindow::finishStartUp);
                return;
            }
            buildPanels();
            if (m_firstListShown) // the names came meanwhile
                finishStartUp();
        });
    }
}

void MainWindow::buildScreenPanels()
{
    m_menu = new MenuPanel(panel(QStringLiteral("fraMeny")));
    connect(m_menu, &MenuPanel::hintChanged, this, &MainWindow::setHint);
    connect(m_menu, &MenuPanel::itemClicked, this, &MainWindow::onMenuItem);
    m_dial = new DialPanel(panel(QStringLiteral("FrTimer")));
    connect(m_dial, &DialPanel::hintChanged, this, &MainWindow::setHint);
    m_calendar = new CalendarPanel(m_clock, panel(QStringLiteral("fraCalendar")));
    connect(m_calendar, &CalendarPanel::hintChanged, this, &MainWindow::setHint);
}

void MainWindow::buildHolders()
{
    m_holders = StateHolders::build(this);
    connect(m_holders.command2, &QPushButton::clicked, this, &MainWindow::buildMenu);
}

void MainWindow::loadBackground()
{
    m_fonMeny->load(m_programFolder, m_holders.text1->text());
}

QPixmap MainWindow::background() const
{
    return m_fonMeny->pixmap();
}

void MainWindow::buildMenu()
{
    finishStartUp();
    leaveRecordingPanel();
    // A dropped picture's size, shown in the caption, is no longer news.
    setWindowTitle(QStringLiteral("Quillmur"));
    showPanel(panel(QStringLiteral("fraZastavra")));
    setHint(QString());
    // The light captions are burnt into the background box, as is the
    // dimmed copy into picProzr; the menu items show quarters of them.
    const QImage bright = m_menu->build(m_fonMeny->pixmap().toImage());
    m_fonMeny->setPixmap(QPixmap::fromImage(bright));
    m_holders.picProzr->setPixmap(QPixmap::fromImage(m_menu->images().dimmed()));
    m_settings->setPreview(m_menu->images().preview());
    showPanel(panel(QStringLiteral("fraMeny")));
    // A recording the full disk would not take still waits: say so again.
    if (m_recording && m_recording->hasUnsavedNote())
        setHint(m_recording->unsavedNoteHint());
}

void MainWindow::onMenuItem(int item)
{
    // Without a private scratch folder a recording has nowhere to go.
    if ((item == 1 || item == 2) && !m_recordingRefusal.isEmpty()) {
        setHint(m_recordingRefusal);
        return;
    }
    switch (item) {
    case 0:
        showPanel(panel(QStringLiteral("fraSpisok")));
        m_state.panelMode = PanelMode::TaskList;
        m_taskList->openFromMenu(); // speakers on, first line selected
        break;
    case 1:
        m_newTask->start();
        m_menu->animation(1)->SetEnabled(false);
        break;
    case 2:
        recordIntoFile();
        break;
    case 3:
        showPanel(panel(QStringLiteral("fraNastroiki")));
        // The command line may have changed them since.
        m_settings->setOptions(SuiteOptions::read(m_programFolder));
        m_settings->drawSettingsMenu();
        break;
    default:
        break;
    }
}

void MainWindow::recordIntoFile()
{
    m_state.panelMode = PanelMode::RecordIntoFile;
    const QString target = AskRecordingTarget(*m_saveDialog, this);
    if (!target.isEmpty()) {
        m_state.saveTarget = target;
        m_state.selectedFile = m_state.saveTarget + QStringLiteral(".mp3");
        showPanel(panel(QStringLiteral("fraMonitor")));
        m_recording->syncSpeakerIcon();
    }
}

void MainWindow::leaveRecordingPanel()
{
    if (!m_recording)
        return;
    // Nothing said is lost by going elsewhere, and nothing goes on listening.
    m_recording->stopMonitorIfRunning();
    saveRecordingInProgress();
    m_newTask->leaveRecording();
}

ControlTarget* MainWindow::controlTarget() const
{
    // A dialogue hears the button only while its own panel is in front.
    const QFrame* front = frontPanel();
    const auto inFront = [&](const char* name) { return front == panel(QLatin1String(name)); };
    switch (m_state.panelMode) {
    case PanelMode::TaskList:
        return inFront("fraSpisok") ? m_taskList : nullptr;
    case PanelMode::Hour:
    case PanelMode::Minute:
        return inFront("FrTimer") ? m_newTask : nullptr;
    case PanelMode::Day:
        return inFront("fraCalendar") ? m_newTask : nullptr;
    case PanelMode::Recording:
        return inFront("fraMonitor") ? m_newTask : nullptr;
    case PanelMode::SavedPictures:
    case PanelMode::OwnPicture:
    case PanelMode::DroppedPicture:
        return inFront("fraZastavra") ? m_backgrounds : nullptr;
    default:
        return nullptr; // a press only shows the pressed image
    }
}

void MainWindow::pressControlButton(ButtonZone zone)
{
    finishStartUp();
    m_state.buttonZone = zone;
    if (ControlTarget* target = controlTarget())
        target->press(zone);
}

QString MainWindow::taskPath() const
{
    return m_holders.imyFileMp3->text();
}

void MainWindow::setHint(const QString& text)
{
    m_face->setHint(text);
    // The hint follows each step of a dialogue; so does the mark.
    if (m_focusMark && m_focusMark->isVisible())
        m_focusMark->frame();
}

QWidget* MainWindow::keyTarget() const
{
    const QFrame* front = frontPanel();
    const auto named = [front](const char* name) -> QWidget* {
        return front->findChild<QWidget*>(QLatin1String(name));
    };
    const QString name = front->objectName();
    if (name == QLatin1String("fraMeny"))
        return named("menuPanel");
    if (name == QLatin1String("FrTimer"))
        return m_dial;
    if (name == QLatin1String("fraCalendar"))
        return m_calendar->Calen()->hWnd() ? m_calendar->Calen()->hWnd()
                                           : static_cast<QWidget*>(m_calendar);
    if (name == QLatin1String("fraMonitor"))
        return named(m_recording->isRecording() ? "imgPausa_0" : "imgRecord_0");
    if (name == QLatin1String("fraSpisok"))
        return named("lstFiles");
    if (name == QLatin1String("fraSpravka"))
        return named("Text2");
    if (name == QLatin1String("FraSteret")) {
        // The question's answer to Enter.
        for (auto* b : front->findChildren<QPushButton*>())
            if (b->text() == QStringLiteral("Удалить") && b->isVisible())
                return b;
    }
    return findChild<QWidget*>(QStringLiteral("picOK"));
}

bool MainWindow::calendarKey(QKeyEvent* e)
{
    // The calendar's own keys: the arrows move the day, PgUp and PgDn the
    // month, Home and End go to the month's ends.
    switch (e->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
        break;
    default:
        return false;
    }
    QCalendarWidget* calendar = m_calendar->Calen()->hWnd();
    auto* days = calendar ? calendar->findChild<QAbstractItemView*>() : nullptr;
    if (!days)
        return false;
    // A key the calendar leaves comes back up to the window: it ends here.
    static bool passing = false;
    if (passing)
        return true;
    passing = true;
    QKeyEvent copy(e->type(), e->key(), e->modifiers(), e->text());
    QCoreApplication::sendEvent(days, &copy);
    passing = false;
    return true;
}

void MainWindow::keyPressEvent(QKeyEvent* e)
{
    finishStartUp();
    const QFrame* front = frontPanel();
    const auto inFront = [&](const char* name) { return front == panel(QLatin1String(name)); };
    const bool question = m_deletePanel && m_deletePanel->isOpen() && inFront("FraSteret");
    if (inFront("fraCalendar") && calendarKey(e)) {
        e->accept();
        m_focusMark->frame();
        return;
    }
    switch (e->key()) {
    case Qt::Key_Up:
        pressControlButton(ButtonZone::Up);
        break;
    case Qt::Key_Down:
        pressControlButton(ButtonZone::Down);
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (question)
            m_deletePanel->decide(0);
        else
            pressControlButton(ButtonZone::Ok);
        break;
    case Qt::Key_Escape:
        if (question)
            m_deletePanel->decide(1);
        else
            buildMenu();
        break;
    case Qt::Key_F1:
        // Once the help; again, its list of keys, and back.
        if (inFront("fraSpravka"))
            m_face->help()->showKeys(!m_face->help()->showsKeys());
        else
            m_face->help()->open();
        m_state.panelMode = PanelMode::Help;
        break;
    case Qt::Key_1:
    case Qt::Key_2:
    case Qt::Key_3:
    case Qt::Key_4:
        if (!inFront("fraMeny"))
            return QWidget::keyPressEvent(e);
        onMenuItem(e->key() - Qt::Key_1);
        break;
    case Qt::Key_Space:
        if (inFront("fraMonitor")) {
            if (!m_recording->isRecording())
                m_recording->pressRecord();
            else
                m_recording->pressPause(m_recording->isPaused() ? 1 : 0);
        } else if (inFront("fraSpisok")) {
            m_taskList->playbackBar().pressPause();
        } else {
            return QWidget::keyPressEvent(e);
        }
        break;
    case Qt::Key_Left:
    case Qt::Key_Right:
        if (!inFront("FrTimer"))
            return QWidget::keyPressEvent(e);
        m_dial->stepHand(e->key() == Qt::Key_Right ? 1 : -1);
        break;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        // The dial's half of the day: PgUp the day hours, PgDn the night.
        if (!inFront("FrTimer"))
            return QWidget::keyPressEvent(e);
        if (e->key() == Qt::Key_PageUp)
            m_dial->doPoludny_Click();
        else
            m_dial->poslePoledny_Click();
        break;
    case Qt::Key_Delete:
        if (!inFront("fraSpisok"))
            return QWidget::keyPressEvent(e);
        m_taskList->askDelete();
        break;
    default:
        return QWidget::keyPressEvent(e);
    }
    e->accept();
    m_focusMark->frame();
}

void MainWindow::closeEvent(QCloseEvent* e)
{
    if (m_startedUp) {
        m_calendar->cmdCalenClose_Click();
        m_recording->stopMonitorIfRunning();
        saveRecordingInProgress();
    }
    // Closing is never refused.
    e->accept();
}

void MainWindow::saveRecordingInProgress()
{
    // The user's words are kept as if Stop had been pressed: the note's job
    // ends before the program does, or its journal lets the next start
    // finish it.
    if (!m_recording || (!m_recording->isRecording() && !m_recording->hasUnsavedNote()))
        return;
    m_recording->pressStop();
    if (m_recording->hasUnsavedNote())
        std::fprintf(
            stderr, "Quillmur: %s\n",
            qPrintable(m_recording->unsavedNoteHint().section(QStringLiteral(". Звук"), 0, 0)));
}

void MainWindow::shutDown()
{
    if (m_shutDown)
        return;
    m_shutDown = true;
    if (m_recording) {
        m_recording->stopMonitorIfRunning();
        saveRecordingInProgress();
    }
    m_send(QStringLiteral("Stop ") + ShortPath(m_state.playingFile));
    m_levels.restore();
}

void MainWindow::sohranit()
{
    const MixerLevels& found = m_levels.applyDefaults();
    // The knob and its percentage follow the same rule on the level found.
    m_taskList->playbackBar().volume().initialise(found.value(MMixer::SpeakerVolume));
}

void MainWindow::buildTaskPanels()
{
    if (m_taskList)
        return;
    // Task list, playback and deleting.
    TaskPanelContext context;
    context.clock = &m_clock;
    context.programFolder = m_programFolder;
    context.playback.send = m_send;
    context.playback.shortPath = ShortPath;
    context.playback.wait = Pause;
    context.playback.state = &m_state;
    context.taskFolder = m_taskFolder;
    context.playback.mixer.openMixer = [this](int device) { return m_mixer->OpenMixer(device); };
    context.playback.mixer.setVolume = [this](int i, int p) { return m_mixer->SetVolume(i, p); };
    context.playback.mixer.setMute = [this](int i, int v) { return m_mixer->SetMute(i, v != 0); };
    m_taskList = new TaskListPanel(context, panel(QStringLiteral("fraSpisok")));
    connect(m_taskList, &TaskListPanel::hintChanged, this, &MainWindow::setHint);
    m_deletePanel = new DeletePanel(m_taskList, panel(QStringLiteral("FraSteret")));
    connect(m_deletePanel, &DeletePanel::openRequested, this,
            [this] { showPanel(panel(QStringLiteral("FraSteret"))); });
    connect(m_deletePanel, &DeletePanel::closeRequested, this,
            [this] { showPanel(panel(QStringLiteral("fraSpisok"))); });
}

void MainWindow::buildRecording()
{
    m_recording = new RecordingPanel(m_clock, m_mixer.get(), m_send, m_scratchFolder,
                                     panel(QStringLiteral("fraMonitor")));
    m_recording->setLamp(m_face->lamp());
    m_recording->setMonitor(m_monitor);
    connect(m_recording, &RecordingPanel::hintChanged, this, &MainWindow::setHint);
    if (m_scratchFolder.isEmpty())
        m_recordingRefusal = RecordingPanel::noScratchFolderHint(Paths::scratchFolderProblem());
    m_recording->setRefusal(m_recordingRefusal);
    connect(m_recording, &RecordingPanel::isRecordingChanged, this,
            [this](bool recording) { m_state.isRecording = recording; });
    connect(m_recording, &RecordingPanel::showStartPicture, this, [this] {
        showPanel(panel(QStringLiteral("fraZastavra")));
        m_newTask->leaveRecording();
    });
    connect(m_recording, &RecordingPanel::saveSettingsClicked, this, &MainWindow::sohranit);

    m_encoder = new EncoderPipeline(m_programFolder, m_scratchFolder, this);
    m_recording->setNoteFolderSource([this] { return m_encoder->newNoteFolder(); });
    connect(m_recording, &RecordingPanel::encoderRequested, this,
            [this](const QString& comment, const QString& folder, bool deviceFailed) {
                m_encoder->startEncoder({folder, comment,
                                         m_state.panelMode == PanelMode::RecordIntoFile,
                                         m_state.saveTarget, m_holders.imyFileMp3->text(),
                                         deviceFailed, m_calendar->repeatText()});
            });
    connect(m_encoder, &EncoderPipeline::controlButtonNormal, m_face->controlButton(),
            &ControlButton::showNormal);
    connect(m_encoder, &EncoderPipeline::imyFileMp3Reset, m_holders.imyFileMp3,
            &QLineEdit::setText);
    connect(m_encoder, &EncoderPipeline::hintChanged, this, &MainWindow::setHint);
    // A note that arrives (recovered at start-up, or just saved) shows at once.
    connect(m_encoder, &EncoderPipeline::saved, m_taskList, &TaskListPanel::refresh);
    connect(m_encoder, &EncoderPipeline::menuRequested, this, [this] {
        // Only while the start picture waits for the note: a user who has
        // gone on (a next note, the list) stays where they are.
        if (frontPanel() != panel(QStringLiteral("fraZastavra")))
            return;
        // The hint of the encoder stays: building the menu clears it.
        const QString text = hint();
        buildMenu();
        setHint(text);
    });

    NewTaskFlow::Parts parts;
    parts.state = &m_state;
    parts.clock = &m_clock;
    parts.mixer = m_mixer.get();
    parts.dial = m_dial;
    parts.calendar = m_calendar;
    parts.recording = m_recording;
    parts.imyFileMp3 = m_holders.imyFileMp3;
    parts.mediaFolder = mediaFolder();
    m_newTask = new NewTaskFlow(parts, this);
    connect(m_newTask, &NewTaskFlow::hintChanged, this, &MainWindow::setHint);
}

void MainWindow::buildSettings()
{
    m_settings = new SettingsPanel(panel(QStringLiteral("fraNastroiki")));
    BackgroundChooser::Parts parts;
    parts.programFolder = m_programFolder;
    parts.fonMeny = m_fonMeny;
    parts.picProzr = m_holders.picProzr;
    parts.file1 = m_holders.file1;
    parts.text1 = m_holders.text1;
    parts.state = &m_state;
    parts.clock = &m_clock;
    parts.writeSettings = [this](const QString& line) {
        return SettingsFile::write(m_programFolder, line);
    };
    m_backgrounds = new BackgroundChooser(parts, this);
    connect(m_backgrounds, &BackgroundChooser::hintChanged, this, &MainWindow::setHint);
    connect(m_backgrounds, &BackgroundChooser::menuRequested, this, &MainWindow::buildMenu);
    connect(m_settings, &SettingsPanel::itemClicked, this,
            [this](PanelMode mode) { m_state.panelMode = mode; });
    connect(m_settings, &SettingsPanel::browseSavedRequested, m_backgrounds,
            &BackgroundChooser::browseSaved);
    connect(m_settings, &SettingsPanel::ownPictureRequested, m_backgrounds,
            &BackgroundChooser::chooseOwn);
    connect(m_settings, &SettingsPanel::restoreDefaultRequested, m_backgrounds,
            &BackgroundChooser::restoreDefault);
    connect(m_settings, &SettingsPanel::optionsChanged, this, [this](const SuiteOptions& options) {
        // Written at once; a change that cannot be kept is not shown as made.
        QDir().mkpath(m_programFolder + QStringLiteral("/Data"));
        if (const int err = SuiteOptions::write(m_programFolder, options)) {
            m_settings->setOptions(SuiteOptions::read(m_programFolder));
            setHint(QStringLiteral("Настройка не сохранена: ") +
                    DurableFile::problem(err, m_programFolder + QStringLiteral("/Data")));
        }
    });
    connect(m_settings, &SettingsPanel::autostartRequested, this, [this] {
        const QString problem = WatcherAutostart(m_programFolder).run().hint();
        if (!problem.isEmpty())
            setHint(problem);
    });
}

GifCtl* MainWindow::gifCtl(int number, int item) const
{
    if (number == 1)
        return m_menu->animation(item);
    return findChild<GifCtl*>(QStringLiteral("GifCtl%1").arg(number));
}
