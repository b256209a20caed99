#include "mainwindow.h"

#include "calendarpanel.h"
#include "controlbutton.h"
#include "dialpanel.h"
#include "dragwindow.h"
#include "helptext.h"
#include "layout.h"
#include "linklabel.h"
#include "menupanel.h"
#include "pause.h"
#include "settingsfile.h"
#include "taskname.h"
#include "windowoutline.h"

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

QTimer* makeTimer(QObject* parent, const char* name)
{
    auto* t = new QTimer(parent);
    t->setObjectName(QLatin1String(name));
    t->setInterval(1000);
    return t;
}

template <typename W> W* hiddenHolder(QWidget* parent, const char* name)
{
    auto* w = new W(parent);
    w->setObjectName(QLatin1String(name));
    w->hide();
    return w;
}

} // namespace

MainWindow::MainWindow(const QString& programFolder, const QString& scratchFolder,
                       const Clock& clock, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_programFolder(programFolder),
      m_clock(clock)
{
    setObjectName(QStringLiteral("Quillmur"));
    setWindowTitle(QStringLiteral("Quillmur"));
    setFixedSize(Layout::kWindow);
    buildControls();
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
    aboutPicture->setGeometry(68, 90, 64, 64);
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
    QPalette hp = m_lbHelp->palette();
    hp.setColor(QPalette::WindowText, QColor(120, 240, 150));
    m_lbHelp->setPalette(hp);
    QFont hf = m_lbHelp->font();
    hf.setPointSize(8);
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

    m_timer1 = makeTimer(this, "Timer1");
    m_timer2 = makeTimer(this, "Timer2");
    m_timer3 = makeTimer(this, "Timer3");
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
    fillPictureList();

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
    showPanel(panel(QStringLiteral("fraMeny")));
}

void MainWindow::onMenuItem(int item)
{
    switch (item) {
    case 0:
        showPanel(panel(QStringLiteral("fraSpisok")));
        panelMode = 0;
        break;
    case 1:
        panelMode = 1;
        showPanel(panel(QStringLiteral("FrTimer")));
        Pause(100);
        m_dial->ResetDial();
        setHint(QStringLiteral("Выберите ЧАС для напоминания, минуты откорректируете позже."));
        break;
    case 2:
        panelMode = 100;
        break;
    case 3:
        showPanel(panel(QStringLiteral("fraNastroiki")));
        break;
    default:
        break;
    }
}

void MainWindow::fillPictureList()
{
    m_file1->clear();
    const QDir dir(m_programFolder + "/Picture");
    if (!dir.exists())
        return;
    m_file1->addItems(dir.entryList(QDir::Files, QDir::Name | QDir::IgnoreCase));
    if (m_file1->count() > 0)
        m_file1->setCurrentRow(0);
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
    if (zone == ButtonZone::Ok)
        pressOk();
    // In other modes a press only shows the pressed image.
}

void MainWindow::pressOk()
{
    switch (panelMode) {
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
        showPanel(panel(QStringLiteral("fraMonitor")));
        panelMode = 33;
        break;
    }
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
        if (event->type() == QEvent::MouseButtonPress) {
            DragWindow(this);
            return true;
        }
        if (event->type() == QEvent::MouseMove)
            m_picOK->showNormal();
    }
    return QWidget::eventFilter(watched, event);
}

void MainWindow::closeEvent(QCloseEvent* e)
{
    m_calendar->cmdCalenClose_Click();
    // Closing is never refused.
    e->accept();
}

void MainWindow::shutDown()
{
    if (m_shutDown)
        return;
    m_shutDown = true;
}
