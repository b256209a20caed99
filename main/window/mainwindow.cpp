#include "mainwindow.h"

#include "backgroundchooser.h"
#include "calendarpanel.h"
#include "cdlopensave.h"
#include "controlbutton.h"
#include "deletepanel.h"
#include "dialpanel.h"
#include "dragwindow.h"
#include "encoderpipeline.h"
#include "gifctl.h"
#include "helptext.h"
#include "layout.h"
#include "linklabel.h"
#include "mci.h"
#include "menupanel.h"
#include "mmixer.h"
#include "modaudiomon.h"
#include "paths.h"
#include "pause.h"
#include "pickgiffile.h"
#include "playbackbar.h"
#include "recordingpanel.h"
#include "settingsfile.h"
#include "settingspanel.h"
#include "shortpath.h"
#include "systemmixer.h"
#include "taskname.h"
#include "tasklistpanel.h"
#include "taskpanelcontext.h"
#include "volumecontrol.h"
#include "watcherautostart.h"
#include "waveinput.h"
#include "windowoutline.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

namespace {

const char* const kPanelNames[] = {"fraZastavra", "fraMeny",      "fraSpisok", "FrTimer",
                                   "fraCalendar", "fraMonitor",   "FraSteret", "fraNastroiki",
                                   "FraAbobe",    "fraSpravka"};

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
      m_scratchFolder(scratchFolder), m_clock(clock),
      m_send(services.send ? std::move(services.send)
                           : [](const QString& command) { return mciSendString(command); }),
      m_mixer(services.mixer ? std::make_unique<MMixer>(std::move(services.mixer))
                             : std::make_unique<MMixer>()),
      m_levelsFile(services.levelsFile),
      m_fileDialog(services.fileDialog ? std::move(services.fileDialog) : runFileDialog),
      m_dragWindow(services.dragWindow ? std::move(services.dragWindow) : DragWindow)
{
    setObjectName(QStringLiteral("Quillmur"));
    setWindowTitle(QStringLiteral("Quillmur"));
    setFixedSize(Layout::kWindow);
    m_monitor = new ModAudioMon(services.waveInput ? std::move(services.waveInput)
                                                   : createAlsaWaveInput(),
                                this);
    m_saveDialog = std::make_unique<CdlOpenSave>(m_fileDialog);
    buildControls();
    buildAnimations();
    m_imyFileMp3->setText(scratchFolder);
    startUp();
}

MainWindow::~MainWindow()
{
    shutDown();
}

void MainWindow::buildControls()
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

    for (const char* name : kPanelNames) {
        auto* frame = new QFrame(m_picture1);
        frame->setObjectName(QLatin1String(name));
        frame->setGeometry(Layout::kPanel);
        frame->setAutoFillBackground(true);
        QPalette fp = frame->palette();
        fp.setColor(QPalette::Window, QColor(0, 0, 0));
        frame->setPalette(fp);
        m_panels.append(frame);
    }

    // The start picture: the background box fills its panel.
    m_fonMeny = new QLabel(panel(QStringLiteral("fraZastavra")));
    m_fonMeny->setObjectName(QStringLiteral("fonMeny"));
    m_fonMeny->setGeometry(0, 0, Layout::kPanel.width(), Layout::kPanel.height());
    m_fonMeny->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    m_menu = new MenuPanel(panel(QStringLiteral("fraMeny")));
    connect(m_menu, &MenuPanel::hintChanged, this, &MainWindow::setHint);
    connect(m_menu, &MenuPanel::itemClicked, this, &MainWindow::onMenuItem);

    m_dial = new DialPanel(panel(QStringLiteral("FrTimer")));
    connect(m_dial, &DialPanel::hintRequested, this, &MainWindow::setHint);
    m_calendar = new CalendarPanel(m_clock, panel(QStringLiteral("fraCalendar")));
    connect(m_calendar, &CalendarPanel::hintRequested, this, &MainWindow::setHint);
    connect(m_calendar, &CalendarPanel::dayAccepted, this,
            [this](const QString& day, const QString& month, int) {
                chosenDay = day;
                chosenMonth = month;
            });

    auto* help = new HelpText(panel(QStringLiteral("fraSpravka")));
    help->setGeometry(4, 4, Layout::kPanel.width() - 8, Layout::kPanel.height() - 8);
    QPalette paper = help->palette();
    paper.setColor(QPalette::Base, QColor(250, 246, 230));
    paper.setColor(QPalette::Text, QColor(30, 30, 40));
    help->setPalette(paper);
    QFont helpFont(QStringLiteral("DejaVu Sans"));
    helpFont.setPixelSize(10);
    helpFont.setLetterSpacing(QFont::PercentageSpacing, 92);
    help->setFont(helpFont);

    // The about panel: title, version, a picture and the two links.
    QFrame* about = panel(QStringLiteral("FraAbobe"));
    auto* aboutPicture = new QLabel(about);
    aboutPicture->setObjectName(QStringLiteral("aboutPicture"));
    aboutPicture->setPixmap(QPixmap(QStringLiteral(":/art/quillmur.png")));
    aboutPicture->setGeometry(40, 90, 64, 64);
    const QString mail = QStringLiteral("quillmur@example.org");
    auto* labe14 = new LinkLabel(mail,
                                 QUrl(QStringLiteral("mailto:") + mail +
                                      QStringLiteral("?Subject=Тема")),
                                 about);
    labe14->setObjectName(QStringLiteral("Labe14"));
    labe14->setGeometry(0, 190, Layout::kPanel.width(), 20);
    const QString web = QStringLiteral("https://quillmur.example.org/");
    auto* label13 = new LinkLabel(web, QUrl(web), about);
    label13->setObjectName(QStringLiteral("Label13"));
    label13->setGeometry(0, 214, Layout::kPanel.width(), 20);
    for (QLabel* link : {static_cast<QLabel*>(labe14), static_cast<QLabel*>(label13)}) {
        link->setAlignment(Qt::AlignCenter);
        QPalette lp = link->palette();
        lp.setColor(QPalette::WindowText, QColor(120, 180, 255));
        link->setPalette(lp);
        QFont lf = link->font();
        lf.setUnderline(true);
        link->setFont(lf);
    }
    QPalette light = about->palette();
    light.setColor(QPalette::WindowText, QColor(170, 230, 190));
    m_lblTitle = new QLabel(QStringLiteral("Vestrel"), about);
    m_lblTitle->setObjectName(QStringLiteral("lblTitle"));
    m_lblTitle->setGeometry(0, 20, Layout::kPanel.width(), 30);
    m_lblTitle->setAlignment(Qt::AlignCenter);
    m_lblTitle->setPalette(light);
    QFont titleFont = m_lblTitle->font();
    titleFont.setPointSize(16);
    titleFont.setBold(true);
    m_lblTitle->setFont(titleFont);
    m_lblVersion = new QLabel(about);
    m_lblVersion->setObjectName(QStringLiteral("lblVersion"));
    m_lblVersion->setGeometry(0, 54, Layout::kPanel.width(), 20);
    m_lblVersion->setAlignment(Qt::AlignCenter);
    m_lblVersion->setPalette(light);

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
    connect(m_picOK, &ControlButton::zonePressed, this, &MainWindow::onControlButton);

    // State holders that are never shown.
    m_imyFileMp3 = hiddenHolder<QLineEdit>(this, "imyFileMp3");
    m_text1 = hiddenHolder<QLineEdit>(this, "Text1");
    m_file1 = hiddenHolder<QListWidget>(this, "File1");
    m_command2 = hiddenHolder<QPushButton>(this, "Command2");
    m_command2->setText(QStringLiteral("Меню"));
    connect(m_command2, &QPushButton::clicked, this, &MainWindow::buildMenu);
    m_picProzr = hiddenHolder<QLabel>(this, "picProzr");
    hiddenHolder<QLabel>(this, "picText")->setPixmap(QPixmap::fromImage(MenuImages::captions()));
    hiddenHolder<QLabel>(this, "picTemp");

    buildPanels();
}

void MainWindow::startUp()
{
    m_lblVersion->setText(QStringLiteral("Version %1.%2.%3")
                              .arg(PROJECT_VERSION_MAJOR)
                              .arg(PROJECT_VERSION_MINOR)
                              .arg(PROJECT_VERSION_PATCH));
    panelMode = 199;
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
    switch (item) {
    case 0:
        showPanel(panel(QStringLiteral("fraSpisok")));
        panelMode = 0;
        m_taskList->openFromMenu(); // speakers on, first line selected
        break;
    case 1:
    case 2:
        // Without a private scratch folder a recording has nowhere to go.
        if (!m_recordingRefusal.isEmpty()) {
            setHint(m_recordingRefusal);
            return;
        }
        break;
    default:
        break;
    }
    switch (item) {
    case 1:
        panelMode = 1;
        showPanel(panel(QStringLiteral("FrTimer")));
        Pause(100);
        m_dial->ResetDial();
        m_gifMenu[1]->SetEnabled(false);
        setHint(QStringLiteral("Выберите ЧАС для напоминания, минуты откорректируете позже."));
        break;
    case 2:
        panelMode = 100;
        m_saveDialog->setCancelError(false);
        m_saveDialog->sethOwner(this);
        m_saveDialog->setFilter(QStringLiteral("*.mp3"));
        m_saveDialog->setFileName(QString());
        m_saveDialog->setInitDir(QDir::currentPath());
        if (m_saveDialog->ShowSave() == CdlOpenSave::Result::Ok &&
            !m_saveDialog->FileName().isEmpty()) {
            saveTarget = m_saveDialog->FileName();
            selectedFile = saveTarget + QStringLiteral(".mp3");
            showPanel(panel(QStringLiteral("fraMonitor")));
            m_recording->syncSpeakerIcon();
        }
        break;
    case 3:
        showPanel(panel(QStringLiteral("fraNastroiki")));
        m_settings->drawSettingsMenu();
        break;
    default:
        break;
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

void MainWindow::onControlButton(ButtonZone zone)
{
    pressControlButton(zone);
}

void MainWindow::pressControlButton(ButtonZone zone)
{
    buttonZone = quint8(zone);
    switch (zone) {
    case ButtonZone::Up:
        if (panelMode == 10)
            m_backgrounds->previous();
        else if (panelMode == 0)
            m_taskList->moveSelectionUp();
        break;
    case ButtonZone::Down:
        if (panelMode == 10)
            m_backgrounds->next();
        else if (panelMode == 0)
            m_taskList->moveSelectionDown();
        break;
    case ButtonZone::Ok:
        pressOk();
        break;
    default:
        break;
    }
    // In other modes a press only shows the pressed image.
}

void MainWindow::pressOk()
{
    switch (panelMode) {
    case 0: // the list: play the selected task from its start
        m_taskList->playSelectedFromStart();
        break;
    case 1: // hour chosen: on to the minutes
        panelMode = 2;
        m_dial->confirmHour();
        break;
    case 2: // minutes chosen: on to the day
        m_dial->confirmMinute();
        panelMode = 31;
        showPanel(panel(QStringLiteral("fraCalendar")));
        m_calendar->cmdCalen_Click();
        break;
    case 31: { // day chosen: name the task and open the recording panel
        const TaskName::Request request{m_calendar->chosenDay(), m_calendar->chosenMonth(),
                                        m_calendar->chosenYear(), m_dial->hourText(),
                                        m_dial->minuteText()};
        m_imyFileMp3->setText(TaskName::appendWithRetry(m_imyFileMp3->text(), request,
                                                        mediaFolder(), m_clock,
                                                        [](int ms) { Pause(ms); }));
        panelMode = 32;
        m_calendar->cmdCalenClose_Click();
        m_mixer->SetMute(MMixer::SpeakerMute, true); // silent speakers while recording
        showPanel(panel(QStringLiteral("fraMonitor")));
        m_recording->syncSpeakerIcon();
        panelMode = 33;
        // Runs the level monitor until it is stopped; events go on meanwhile.
        m_recording->startMonitor();
        break;
    }
    case 33: // recording panel: stop and save
        panelMode = 34;
        m_recording->pressStop();
        break;
    case 10:
    case 11:
    case 21:
        m_backgrounds->confirm();
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
    m_send(QStringLiteral("Stop ") + ShortPath(playingFile));
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

void MainWindow::buildPanels()
{
    // Task list, playback and deleting.
    TaskPanelContext context;
    context.clock = &m_clock;
    context.programFolder = m_programFolder;
    context.playback.send = m_send;
    context.playback.shortPath = ShortPath;
    context.playback.wait = Pause;
    context.playback.selectedFile = &selectedFile;
    context.playback.playingFile = &playingFile;
    context.playback.mixer.openMixer = [this](int device) { return m_mixer->OpenMixer(device); };
    context.playback.mixer.setVolume = [this](int i, int p) { return m_mixer->SetVolume(i, p); };
    context.playback.mixer.setMute = [this](int i, int v) { return m_mixer->SetMute(i, v != 0); };
    m_taskList = new TaskListPanel(context, panel(QStringLiteral("fraSpisok")));
    connect(m_taskList, &TaskListPanel::hint, this, &MainWindow::setHint);
    m_deletePanel = new DeletePanel(m_taskList, panel(QStringLiteral("FraSteret")));
    connect(m_deletePanel, &DeletePanel::openRequested, this,
            [this] { showPanel(panel(QStringLiteral("FraSteret"))); });
    connect(m_deletePanel, &DeletePanel::closeRequested, this,
            [this] { showPanel(panel(QStringLiteral("fraSpisok"))); });

    // Recording and encoding.
    m_recording = new RecordingPanel(m_clock, m_mixer.get(), m_send, m_scratchFolder,
                                     panel(QStringLiteral("fraMonitor")));
    m_recording->setLamp(m_lampa);
    m_recording->setHintLine([this](const QString& text) { setHint(text); });
    m_recording->setMonitor(m_monitor);
    if (m_scratchFolder.isEmpty()) {
        const QString problem = Paths::scratchFolderProblem();
        m_recordingRefusal =
            QStringLiteral("Запись невозможна: нет личной папки для записей (%1).")
                .arg(problem.isEmpty() ? QStringLiteral("папка не задана") : problem);
    }
    m_recording->setRefusal(m_recordingRefusal);
    connect(m_recording, &RecordingPanel::isRecordingChanged, this,
            [this](bool recording) { isRecording = recording; });
    connect(m_recording, &RecordingPanel::showStartPicture, this,
            [this] { showPanel(panel(QStringLiteral("fraZastavra"))); });
    connect(m_recording, &RecordingPanel::saveSettingsClicked, this, &MainWindow::sohranit);
    m_encoder = new EncoderPipeline(m_programFolder, m_scratchFolder, this);
    m_recording->setNoteFolderSource([this] { return m_encoder->newNoteFolder(); });
    connect(m_recording, &RecordingPanel::encoderRequested, this,
            [this](const QString& comment, const QString& folder, bool deviceFailed) {
                m_encoder->startEncoder({folder, comment, panelMode, saveTarget,
                                         m_imyFileMp3->text(), deviceFailed});
            });
    connect(m_encoder, &EncoderPipeline::controlButtonNormal, m_picOK, &ControlButton::showNormal);
    connect(m_encoder, &EncoderPipeline::imyFileMp3Reset, m_imyFileMp3, &QLineEdit::setText);
    connect(m_encoder, &EncoderPipeline::hint, this, &MainWindow::setHint);
    connect(m_encoder, &EncoderPipeline::showMenu, this, [this] {
        // Only while the start picture waits for the note: a user who has
        // gone on (a next note, the list) stays where they are.
        if (frontPanel() != panel(QStringLiteral("fraZastavra")))
            return;
        // The hint of the encoder stays: building the menu clears it.
        const QString text = hint();
        buildMenu();
        setHint(text);
    });

    // Settings and background pictures.
    m_settings = new SettingsPanel(panel(QStringLiteral("fraNastroiki")));
    BackgroundChooser::Parts parts;
    parts.programFolder = m_programFolder;
    parts.fonMeny = m_fonMeny;
    parts.picProzr = m_picProzr;
    parts.file1 = m_file1;
    parts.text1 = m_text1;
    parts.panelMode = &panelMode;
    parts.clock = &m_clock;
    parts.writeSettings = [this](const QString& line) {
        return SettingsFile::write(m_programFolder, line);
    };
    parts.setHint = [this](const QString& text) { setHint(text); };
    parts.buildMenu = [this] { buildMenu(); };
    m_backgrounds = new BackgroundChooser(parts, this);
    connect(m_settings, &SettingsPanel::itemClicked, this, [this](quint8 code) { panelMode = code; });
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
        return item >= 0 && item < 4 ? m_gifMenu[size_t(item)] : nullptr;
    return number >= 2 && number <= 13 ? m_gif[size_t(number)] : nullptr;
}

void MainWindow::buildAnimations()
{
    const auto make = [](QWidget* parent, int number, bool autoStart) {
        auto* g = new GifCtl(parent);
        g->setObjectName(QStringLiteral("GifCtl%1").arg(number));
        g->SetBackStyle(0);
        g->SetAutoStart(autoStart);
        g->LoadFile(QStringLiteral(":/art/gifctl%1.gif").arg(number));
        g->resize(g->gifSize());
        return g;
    };

    // The menu items' animations run only while their item is highlighted;
    // the mouse passes through them to the item.
    for (int i = 0; i < 4; ++i) {
        auto* g = new GifCtl(m_menu->item(i));
        g->setObjectName(QStringLiteral("GifCtl1"));
        g->setProperty("Index", i);
        g->SetBackStyle(0);
        g->SetAutoStart(false);
        g->LoadFile(QStringLiteral(":/art/gifctl1_%1.gif").arg(i));
        g->setGeometry(QRect(QPoint(4, 7), g->gifSize()));
        g->setAttribute(Qt::WA_TransparentForMouseEvents);
        m_gifMenu[size_t(i)] = g;
    }
    connect(m_menu, &MenuPanel::animationEnabled, this,
            [this](int item, bool on) { m_gifMenu[size_t(item)]->SetEnabled(on); });

    // The start picture's animation; a click picks another GIF for it.
    m_gif[2] = make(panel(QStringLiteral("fraZastavra")), 2, true);
    m_gif[2]->move(Layout::kPanel.width() - m_gif[2]->width() - 8, 8);
    connect(m_gif[2], &GifCtl::Click, this, &MainWindow::pickBackgroundAnimation);

    // The past-day warning on the calendar.
    m_gif[3] = make(m_calendar->picCalendar(), 3, true);
    m_gif[3]->hide();
    // A press on the warning puts it away, so it never keeps the days
    // under it from being clicked.
    connect(m_gif[3], &GifCtl::MouseDown, m_gif[3], [this] {
        m_gif[3]->SetEnabled(false);
        m_gif[3]->hide();
    });
    connect(m_calendar, &CalendarPanel::warningAnimation, this, [this](bool shown) {
        QWidget* host = m_calendar->picCalendar();
        m_gif[3]->move((host->width() - m_gif[3]->width()) / 2,
                       (host->height() - m_gif[3]->height()) / 2);
        m_gif[3]->setVisible(shown);
        m_gif[3]->raise();
        m_gif[3]->SetEnabled(shown);
    });

    // Recording, volume drag, playing, the delete question.
    m_gif[4] = make(this, 4, false);
    m_recording->placeRecordingAnimation(m_gif[4]);
    connect(m_recording, &RecordingPanel::recordingAnimationChanged, m_gif[4], &GifCtl::SetEnabled);
    VolumeControl& volume = m_taskList->playbackBar().volume();
    m_gif[5] = make(volume.indicatorHost(), 5, true);
    m_gif[5]->setGeometry(volume.indicatorHost()->rect());
    connect(&volume, &VolumeControl::dragIndicatorChanged, m_gif[5], &GifCtl::SetEnabled);
    QWidget* playingHost = m_taskList->playbackBar().animationHost();
    m_gif[7] = make(playingHost, 7, false);
    m_gif[7]->move((playingHost->width() - m_gif[7]->width()) / 2,
                   (playingHost->height() - m_gif[7]->height()) / 2);
    connect(&m_taskList->playbackBar(), &PlaybackBar::playingChanged, m_gif[7], &GifCtl::SetEnabled);
    QWidget* deleteHost = m_deletePanel->animationHost();
    m_gif[8] = make(deleteHost, 8, false);
    m_gif[8]->move((deleteHost->width() - m_gif[8]->width()) / 2,
                   (deleteHost->height() - m_gif[8]->height()) / 2);
    connect(m_deletePanel, &DeletePanel::animationEnabledChanged, m_gif[8], &GifCtl::SetEnabled);

    // The about panel's picture, the help panel's animation.
    m_gif[6] = make(panel(QStringLiteral("FraAbobe")), 6, true);
    m_gif[6]->move(116, 100);
    m_gif[13] = make(panel(QStringLiteral("fraSpravka")), 13, false);
    m_gif[13]->move(Layout::kPanel.width() - m_gif[13]->width() - 10,
                    Layout::kPanel.height() - m_gif[13]->height() - 10);

    // The four window buttons: animated while pointed at, stopped when the
    // mouse moves over the device or the control button.
    m_gif[12] = make(m_picture1, 12, false);
    m_gif[12]->setGeometry(Layout::kMenuButton);
    connect(m_gif[12], &GifCtl::Click, this, &MainWindow::buildMenu);
    m_gif[11] = make(m_picture1, 11, false);
    m_gif[11]->setGeometry(Layout::kAboutButton);
    connect(m_gif[11], &GifCtl::Click, this,
            [this] { showPanel(panel(QStringLiteral("FraAbobe"))); });
    m_gif[10] = make(m_picture1, 10, false);
    m_gif[10]->setGeometry(Layout::kExitButton);
    connect(m_gif[10], &GifCtl::Click, this, &QWidget::close, Qt::QueuedConnection);
    m_gif[9] = make(m_picture1, 9, false);
    m_gif[9]->setGeometry(Layout::kHelpButton);
    connect(m_gif[9], &GifCtl::Click, this, [this] {
        showPanel(panel(QStringLiteral("fraSpravka")));
        m_gif[13]->SetEnabled(true);
        panelMode = 201;
    });
    for (int n : {9, 10, 11, 12}) {
        GifCtl* g = m_gif[size_t(n)];
        g->setToolTip(n == 12   ? QStringLiteral("Меню")
                      : n == 11 ? QStringLiteral("О программе")
                      : n == 10 ? QStringLiteral("Выход")
                                : QStringLiteral("Справка"));
        connect(g, &GifCtl::MouseMove, g, [g] { g->SetEnabled(true); });
    }
    connect(m_picOK, &ControlButton::hovered, this, [this] { stopWindowButtons(); });

    // A double click on the background box does what a click on GifCtl2 does.
    m_fonMeny->installEventFilter(this);
}

void MainWindow::stopWindowButtons()
{
    for (int n : {9, 10, 11, 12})
        m_gif[size_t(n)]->SetEnabled(false);
}

void MainWindow::pickBackgroundAnimation()
{
    const QString file = PickGifFile(m_fileDialog);
    if (file.isEmpty())
        return;
    // A refused file says why and leaves the animation that was shown.
    const QByteArray shown = m_gif[2]->GIFdata();
    if (!m_gif[2]->LoadFile(file)) {
        const GifError error = m_gif[2]->decodeError();
        m_gif[2]->LoadData(shown);
        setHint(GifRefusedHint(error));
    }
}
