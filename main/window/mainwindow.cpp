#include "mainwindow.h"

#include "aboutpanel.h"
#include "animation.h"
#include "backgroundchooser.h"
#include "calendarpanel.h"
#include "cdlopensave.h"
#include "controlbutton.h"
#include "deletepanel.h"
#include "dialpanel.h"
#include "encoderpipeline.h"
#include "gifctl.h"
#include "helppanel.h"
#include "layout.h"
#include "menupanel.h"
#include "mmixer.h"
#include "modaudiomon.h"
#include "newtaskflow.h"
#include "paths.h"
#include "pause.h"
#include "pickgiffile.h"
#include "playbackbar.h"
#include "recordingpanel.h"
#include "settingsfile.h"
#include "settingspanel.h"
#include "shortpath.h"
#include "tasklistpanel.h"
#include "taskpanelcontext.h"
#include "volumecontrol.h"
#include "watcherautostart.h"
#include "windowoutline.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>

namespace {

template <typename W> W* hiddenHolder(QWidget* parent, const char* name)
{
    auto* w = new W(parent);
    w->setObjectName(QLatin1String(name));
    w->hide();
    return w;
}

} // namespace

MainWindow::MainWindow(const QString& programFolder, const QString& scratchFolder,
                       const Clock& clock, MainWindowServices services, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_programFolder(programFolder),
      m_scratchFolder(scratchFolder), m_clock(clock), m_send(std::move(services.send)),
      m_mixer(std::make_unique<MMixer>(std::move(services.mixer))),
      m_levelsFile(services.levelsFile), m_fileDialog(std::move(services.fileDialog)),
      m_saveDialog(std::make_unique<CdlOpenSave>(m_fileDialog)),
      m_dragWindow(std::move(services.dragWindow))
{
    setObjectName(QStringLiteral("Quillmur"));
    setWindowTitle(QStringLiteral("Quillmur"));
    setFixedSize(Layout::kWindow);
    m_monitor = new ModAudioMon(std::move(services.waveInput), this);
    buildScreen();
    buildHolders();
    buildTaskPanels();
    buildRecording();
    buildSettings();
    buildAnimations();
    buildWindowButtons();
    m_imyFileMp3->setText(scratchFolder);
    startUp();
}

MainWindow::~MainWindow()
{
    shutDown();
}

void MainWindow::buildScreen()
{
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(8, 8, 10));
    setPalette(pal);
    setAutoFillBackground(true);

    m_picture1 = new QLabel(this);
    m_picture1->setObjectName(QStringLiteral("Picture1"));
    m_picture1->setGeometry(Layout::kPicture1);
    m_picture1->setPixmap(QPixmap(QStringLiteral(":/art/device.png")));
    m_picture1->installEventFilter(this);
    m_picture1->setMouseTracking(true);

    // The panels of the screen, in their stacking order at start.
    m_about = new AboutPanel;
    m_help = new HelpPanel;
    for (QFrame* frame : {new QFrame, new QFrame, new QFrame, new QFrame, new QFrame, new QFrame,
                          new QFrame, new QFrame, static_cast<QFrame*>(m_about),
                          static_cast<QFrame*>(m_help)}) {
        frame->setParent(m_picture1);
        frame->setGeometry(Layout::kPanel);
        frame->setAutoFillBackground(true);
        QPalette fp = frame->palette();
        fp.setColor(QPalette::Window, QColor(0, 0, 0));
        frame->setPalette(fp);
        m_panels.append(frame);
    }
    const char* const names[] = {"fraZastavra", "fraMeny",    "fraSpisok", "FrTimer",
                                 "fraCalendar", "fraMonitor", "FraSteret", "fraNastroiki"};
    for (int i = 0; i < 8; ++i)
        m_panels[i]->setObjectName(QLatin1String(names[i]));

    // The start picture: the background box fills its panel.
    m_fonMeny = new QLabel(panel(QStringLiteral("fraZastavra")));
    m_fonMeny->setObjectName(QStringLiteral("fonMeny"));
    m_fonMeny->setGeometry(0, 0, Layout::kPanel.width(), Layout::kPanel.height());
    m_fonMeny->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    m_menu = new MenuPanel(panel(QStringLiteral("fraMeny")));
    connect(m_menu, &MenuPanel::hintChanged, this, &MainWindow::setHint);
    connect(m_menu, &MenuPanel::itemClicked, this, &MainWindow::onMenuItem);
    m_dial = new DialPanel(panel(QStringLiteral("FrTimer")));
    connect(m_dial, &DialPanel::hintChanged, this, &MainWindow::setHint);
    m_calendar = new CalendarPanel(m_clock, panel(QStringLiteral("fraCalendar")));
    connect(m_calendar, &CalendarPanel::hintChanged, this, &MainWindow::setHint);

    m_lbHelp = new QLabel(m_picture1);
    m_lbHelp->setObjectName(QStringLiteral("lbHelp"));
    m_lbHelp->setGeometry(Layout::kHintLine);
    m_lbHelp->setAlignment(Qt::AlignCenter);
    m_lbHelp->setWordWrap(true); // the longest hints take two lines
    QPalette hp = m_lbHelp->palette();
    hp.setColor(QPalette::WindowText, QColor(120, 240, 150));
    m_lbHelp->setPalette(hp);
    QFont hf(QStringLiteral("DejaVu Sans"));
    hf.setPixelSize(9);
    m_lbHelp->setFont(hf);

    m_lampa = new QLabel(m_picture1);
    m_lampa->setObjectName(QStringLiteral("Lampa"));
    m_lampa->setGeometry(Layout::kLamp);
    m_lampa->setStyleSheet(QStringLiteral("background: #ff3030; border-radius: 6px;"));
    m_lampa->hide();

    auto* okFrame = new QFrame(m_picture1);
    okFrame->setObjectName(QStringLiteral("picOKFrame"));
    okFrame->setGeometry(Layout::kControlButtonFrame);
    m_picOK = new ControlButton(okFrame);
    m_picOK->move(Layout::kControlButton.topLeft());
    connect(m_picOK, &ControlButton::zonePressed, this, &MainWindow::pressControlButton);
}

void MainWindow::buildHolders()
{
    // State holders that are never shown.
    m_imyFileMp3 = hiddenHolder<QLineEdit>(this, "imyFileMp3");
    m_text1 = hiddenHolder<QLineEdit>(this, "Text1");
    m_file1 = hiddenHolder<QListWidget>(this, "File1");
    auto* command2 = hiddenHolder<QPushButton>(this, "Command2");
    command2->setText(QStringLiteral("Меню"));
    connect(command2, &QPushButton::clicked, this, &MainWindow::buildMenu);
    m_picProzr = hiddenHolder<QLabel>(this, "picProzr");
    hiddenHolder<QLabel>(this, "picText")->setPixmap(QPixmap::fromImage(MenuImages::captions()));
    hiddenHolder<QLabel>(this, "picTemp");
}

void MainWindow::startUp()
{
    m_about->setVersion(QStringLiteral("Version %1.%2.%3")
                            .arg(PROJECT_VERSION_MAJOR)
                            .arg(PROJECT_VERSION_MINOR)
                            .arg(PROJECT_VERSION_PATCH));
    m_state.panelMode = PanelMode::Start;
    m_picOK->showNormal();
    showPanel(panel(QStringLiteral("fraZastavra")));
    // The dial's shapes, its colours and the day half.
    m_dial->startUp();

    // From here on a failing step leaves its defaults and start-up goes on.
    if (const auto text = SettingsFile::read(m_programFolder))
        m_text1->setText(*text);
    loadBackground();
    m_backgrounds->refreshPictureList(); // File1 on Picture/, first entry selected
    sohranit();
    m_taskList->showList(0);
    // Notes an earlier run could not finish (killed, power cut, no encoder).
    m_encoder->recoverUnfinished();

    // The outline is cut last, as on the original device.
    setMask(WindowOutline::region());
    if (const QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
}
void MainWindow::loadBackground()
{
    QPixmap picture(m_programFolder + "/Data/1.jpg");
    const QString name = SettingsFile::pictureName(m_text1->text());
    // A name cut to six characters may end in CR or LF; such a name is not a file.
    if (!name.trimmed().isEmpty() && !name.contains(QLatin1Char('\r')) &&
        !name.contains(QLatin1Char('\n'))) {
        // Only the exact file: Qt would otherwise try "sunset" + ".bmp".
        const QString file = m_programFolder + "/Picture/" + name;
        const QPixmap chosen = QFileInfo(file).isFile() ? QPixmap(file) : QPixmap();
        if (!chosen.isNull())
            picture = chosen;
    }
    m_fonMeny->setPixmap(picture);
}

QPixmap MainWindow::background() const
{
    return m_fonMeny->pixmap();
}

void MainWindow::buildMenu()
{
    showPanel(panel(QStringLiteral("fraZastavra")));
    setHint(QString());
    // The light captions are burnt into the background box, as is the
    // dimmed copy into picProzr; the menu items show quarters of them.
    const QImage bright = m_menu->build(m_fonMeny->pixmap().toImage());
    m_fonMeny->setPixmap(QPixmap::fromImage(bright));
    m_picProzr->setPixmap(QPixmap::fromImage(m_menu->images().dimmed()));
    m_settings->setPreview(m_menu->images().preview());
    showPanel(panel(QStringLiteral("fraMeny")));
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
        m_settings->drawSettingsMenu();
        break;
    default:
        break;
    }
}

void MainWindow::recordIntoFile()
{
    m_state.panelMode = PanelMode::RecordIntoFile;
    m_saveDialog->setCancelError(false);
    m_saveDialog->sethOwner(this);
    m_saveDialog->setFilter(QStringLiteral("*.mp3"));
    m_saveDialog->setFileName(QString());
    m_saveDialog->setInitDir(QDir::currentPath());
    if (m_saveDialog->ShowSave() == CdlOpenSave::Result::Ok &&
        !m_saveDialog->FileName().isEmpty()) {
        m_state.saveTarget = m_saveDialog->FileName();
        m_state.selectedFile = m_state.saveTarget + QStringLiteral(".mp3");
        showPanel(panel(QStringLiteral("fraMonitor")));
        m_recording->syncSpeakerIcon();
    }
}

void MainWindow::showPanel(QFrame* p)
{
    if (p)
        p->raise();
}

QFrame* MainWindow::frontPanel() const
{
    // The last child of Picture1 among the panels is the one on top.
    for (auto it = m_picture1->children().crbegin(); it != m_picture1->children().crend(); ++it)
        if (auto* f = qobject_cast<QFrame*>(*it); f && m_panels.contains(f))
            return f;
    return nullptr;
}

QFrame* MainWindow::panel(const QString& name) const
{
    for (QFrame* f : m_panels)
        if (f->objectName() == name)
            return f;
    return nullptr;
}

void MainWindow::setHint(const QString& text)
{
    m_lbHelp->setText(text);
    m_lbHelp->setToolTip(text); // the whole text, should it not fit
}

QString MainWindow::hint() const
{
    return m_lbHelp->text();
}

ControlTarget* MainWindow::controlTarget() const
{
    switch (m_state.panelMode) {
    case PanelMode::TaskList:
        return m_taskList;
    case PanelMode::Hour:
    case PanelMode::Minute:
    case PanelMode::Day:
    case PanelMode::Recording:
        return m_newTask;
    case PanelMode::SavedPictures:
    case PanelMode::OwnPicture:
    case PanelMode::DroppedPicture:
        return m_backgrounds;
    default:
        return nullptr; // a press only shows the pressed image
    }
}

void MainWindow::pressControlButton(ButtonZone zone)
{
    m_state.buttonZone = zone;
    ControlTarget* target = controlTarget();
    if (!target)
        return;
    switch (zone) {
    case ButtonZone::Up:
        target->up();
        break;
    case ButtonZone::Down:
        target->down();
        break;
    case ButtonZone::Ok:
        target->ok();
        break;
    default:
        break;
    }
}

QString MainWindow::taskPath() const
{
    return m_imyFileMp3->text();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_picture1) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick: {
            // Presses on the panels and pictures lying on the device arrive
            // here too when their widget ignores them; only the device itself
            // moves the window.
            auto* e = static_cast<QMouseEvent*>(event);
            if (m_picture1->childAt(e->position().toPoint()))
                break;
            m_dragFrom = e->globalPosition().toPoint();
            return true;
        }
        case QEvent::MouseMove: {
            // The window manager takes the pointer for a move, so the move
            // starts only once the pointer has really been dragged: a click
            // or a double click on the window stays a click.
            auto* e = static_cast<QMouseEvent*>(event);
            if (m_dragFrom && e->buttons() != Qt::NoButton &&
                (e->globalPosition().toPoint() - *m_dragFrom).manhattanLength() >=
                    QApplication::startDragDistance()) {
                m_dragFrom.reset();
                m_dragWindow(this);
                return true;
            }
            m_picOK->showNormal();
            stopWindowButtons();
            break;
        }
        case QEvent::MouseButtonRelease:
            m_dragFrom.reset();
            break;
        default:
            break;
        }
    } else if (watched == m_fonMeny && event->type() == QEvent::MouseButtonDblClick) {
        pickBackgroundAnimation();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void MainWindow::closeEvent(QCloseEvent* e)
{
    m_calendar->cmdCalenClose_Click();
    m_recording->stopMonitorIfRunning();
    // Closing is never refused.
    e->accept();
}

void MainWindow::shutDown()
{
    if (m_shutDown)
        return;
    m_shutDown = true;
    m_recording->stopMonitorIfRunning();
    m_send(QStringLiteral("Stop ") + ShortPath(m_state.playingFile));
    if (m_levelsSaved)
        RestoreMixerLevels(*m_mixer, m_savedLevels, m_levelsFile);
}

void MainWindow::sohranit()
{
    // A run that was killed left the speakers raised: the user's levels are
    // the ones it kept, not what the mixer holds now.
    if (!m_levelsSaved)
        RecoverMixerLevels(*m_mixer, m_levelsFile);
    m_savedLevels = SaveMixerLevelsAndApplyDefaults(*m_mixer, nullptr, m_levelsFile);
    m_levelsSaved = true;
    // The knob and its percentage follow the same rule on the level found.
    m_taskList->playbackBar().volume().initialise(m_savedLevels.value(MMixer::SpeakerVolume));
}

void MainWindow::buildTaskPanels()
{
    // Task list, playback and deleting.
    TaskPanelContext context;
    context.clock = &m_clock;
    context.programFolder = m_programFolder;
    context.playback.send = m_send;
    context.playback.shortPath = ShortPath;
    context.playback.wait = Pause;
    context.playback.state = &m_state;
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
    m_recording->setLamp(m_lampa);
    m_recording->setMonitor(m_monitor);
    connect(m_recording, &RecordingPanel::hintChanged, this, &MainWindow::setHint);
    if (m_scratchFolder.isEmpty()) {
        const QString problem = Paths::scratchFolderProblem();
        m_recordingRefusal =
            QStringLiteral("Запись невозможна: нет личной папки для записей (%1).")
                .arg(problem.isEmpty() ? QStringLiteral("папка не задана") : problem);
    }
    m_recording->setRefusal(m_recordingRefusal);
    connect(m_recording, &RecordingPanel::isRecordingChanged, this,
            [this](bool recording) { m_state.isRecording = recording; });
    connect(m_recording, &RecordingPanel::showStartPicture, this,
            [this] { showPanel(panel(QStringLiteral("fraZastavra"))); });
    connect(m_recording, &RecordingPanel::saveSettingsClicked, this, &MainWindow::sohranit);

    m_encoder = new EncoderPipeline(m_programFolder, m_scratchFolder, this);
    m_recording->setNoteFolderSource([this] { return m_encoder->newNoteFolder(); });
    connect(m_recording, &RecordingPanel::encoderRequested, this,
            [this](const QString& comment, const QString& folder, bool deviceFailed) {
                m_encoder->startEncoder({folder, comment,
                                         m_state.panelMode == PanelMode::RecordIntoFile,
                                         m_state.saveTarget, m_imyFileMp3->text(), deviceFailed});
            });
    connect(m_encoder, &EncoderPipeline::controlButtonNormal, m_picOK, &ControlButton::showNormal);
    connect(m_encoder, &EncoderPipeline::imyFileMp3Reset, m_imyFileMp3, &QLineEdit::setText);
    connect(m_encoder, &EncoderPipeline::hintChanged, this, &MainWindow::setHint);
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
    parts.imyFileMp3 = m_imyFileMp3;
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
    parts.picProzr = m_picProzr;
    parts.file1 = m_file1;
    parts.text1 = m_text1;
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

void MainWindow::buildAnimations()
{
    const auto centre = [](GifCtl* g) {
        QWidget* host = g->parentWidget();
        g->move((host->width() - g->width()) / 2, (host->height() - g->height()) / 2);
    };

    // The start picture's animation; a click picks another GIF for it, as
    // does a double click on the background box.
    m_gifCtl2 = Animation::make(panel(QStringLiteral("fraZastavra")), 2, true);
    m_gifCtl2->move(Layout::kPanel.width() - m_gifCtl2->width() - 8, 8);
    connect(m_gifCtl2, &GifCtl::Click, this, &MainWindow::pickBackgroundAnimation);
    m_fonMeny->installEventFilter(this);

    // The past-day warning on the calendar.
    GifCtl* warning = Animation::make(m_calendar->picCalendar(), 3, true);
    warning->hide();
    // A press on the warning puts it away, so it never keeps the days
    // under it from being clicked.
    connect(warning, &GifCtl::MouseDown, warning, [warning] {
        warning->SetEnabled(false);
        warning->hide();
    });
    connect(m_calendar, &CalendarPanel::warningAnimation, warning, [warning, centre](bool shown) {
        centre(warning);
        warning->setVisible(shown);
        warning->raise();
        warning->SetEnabled(shown);
    });

    // Recording, volume drag, playing, the delete question.
    GifCtl* recording = Animation::make(this, 4, false);
    m_recording->placeRecordingAnimation(recording);
    connect(m_recording, &RecordingPanel::recordingAnimationChanged, recording,
            &GifCtl::SetEnabled);
    VolumeControl& volume = m_taskList->playbackBar().volume();
    GifCtl* drag = Animation::make(volume.indicatorHost(), 5, true);
    drag->setGeometry(volume.indicatorHost()->rect());
    connect(&volume, &VolumeControl::dragIndicatorChanged, drag, &GifCtl::SetEnabled);
    GifCtl* playing = Animation::make(m_taskList->playbackBar().animationHost(), 7, false);
    centre(playing);
    connect(&m_taskList->playbackBar(), &PlaybackBar::playingChanged, playing,
            &GifCtl::SetEnabled);
    GifCtl* question = Animation::make(m_deletePanel->animationHost(), 8, false);
    centre(question);
    connect(m_deletePanel, &DeletePanel::animationEnabledChanged, question, &GifCtl::SetEnabled);
}

void MainWindow::buildWindowButtons()
{
    // The four window buttons: animated while pointed at, stopped when the
    // mouse moves over the device or the control button.
    struct Button
    {
        int number;
        QRect geometry;
        const char* tip;
    };
    const Button buttons[] = {{12, Layout::kMenuButton, "Меню"},
                              {11, Layout::kAboutButton, "О программе"},
                              {10, Layout::kExitButton, "Выход"},
                              {9, Layout::kHelpButton, "Справка"}};
    for (const Button& b : buttons) {
        GifCtl* g = Animation::make(m_picture1, b.number, false);
        g->setGeometry(b.geometry);
        g->setToolTip(QString::fromUtf8(b.tip));
        connect(g, &GifCtl::MouseMove, g, [g] { g->SetEnabled(true); });
    }
    connect(gifCtl(12), &GifCtl::Click, this, &MainWindow::buildMenu);
    connect(gifCtl(11), &GifCtl::Click, this, [this] { showPanel(m_about); });
    connect(gifCtl(10), &GifCtl::Click, this, &QWidget::close, Qt::QueuedConnection);
    connect(gifCtl(9), &GifCtl::Click, this, [this] {
        m_help->open();
        m_state.panelMode = PanelMode::Help;
    });
    connect(m_picOK, &ControlButton::hovered, this, [this] { stopWindowButtons(); });
}

void MainWindow::stopWindowButtons()
{
    for (int n : {9, 10, 11, 12})
        gifCtl(n)->SetEnabled(false);
}

void MainWindow::pickBackgroundAnimation()
{
    const QString file = PickGifFile(m_fileDialog);
    if (file.isEmpty())
        return;
    // A refused file says why and leaves the animation that was shown.
    const QByteArray shown = m_gifCtl2->GIFdata();
    if (!m_gifCtl2->LoadFile(file)) {
        const GifError error = m_gifCtl2->decodeError();
        m_gifCtl2->LoadData(shown);
        setHint(GifRefusedHint(error));
    }
}
