#include "watcherwindow.h"

#include "skiptaskbar.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QProcess>
#include <QScreen>

namespace {
constexpr int TwipsPerPixel = 15;

DueWatch::Starter detachedStarter()
{
    return [](const QString& program, const QStringList& arguments) {
        QProcess::startDetached(program, arguments);
    };
}
} // namespace

WatcherWindow::WatcherWindow(const QString& programFolder, const Clock& clock,
                             DueWatch::Starter start, QWidget* parent)
    : QWidget(parent,
              Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_programFolder(programFolder), m_start(start ? std::move(start) : detachedStarter()),
      m_watch(programFolder, clock, m_start)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Tray_Ola-Brenvik"));
    resize(2850 / TwipsPerPixel, 1350 / TwipsPerPixel);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect r(QPoint(), size());
        r.moveCenter(screen->availableGeometry().center());
        move(r.topLeft());
    }

    for (int i = 0; i < IconAnimation::FrameCount; ++i)
        m_frames[i] = QIcon(QStringLiteral(":/tray/trayicon%1.png").arg(i));
    setWindowIcon(m_frames[0]);

    // What the window tells whoever opens it: the watcher is at work.
    auto* picture = new QLabel(this);
    picture->setPixmap(m_frames[0].pixmap(24, 24));
    picture->setGeometry(10, (height() - 24) / 2, 24, 24);
    auto* text =
        new QLabel(QStringLiteral("Слежу за заданиями.\nЗначок в трее открывает квилмур."), this);
    text->setObjectName(QStringLiteral("lblWatching"));
    text->setGeometry(42, 0, width() - 46, height());
    text->setWordWrap(true);

    m_menu = new QMenu(QStringLiteral("[Tray]"), this);
    m_menu->setObjectName(QStringLiteral("pmnuTray"));
    m_menu->setAccessibleName(QStringLiteral("Напоминания"));
    m_open =
        m_menu->addAction(QStringLiteral("Открыть квилмур"), this, &WatcherWindow::openQuillmur);
    m_open->setObjectName(QStringLiteral("openQuillmur"));
    QAction* exit = m_menu->addAction(QStringLiteral("Выход"), this, &QWidget::close);
    exit->setObjectName(QStringLiteral("exit"));

    m_rotate.setObjectName(QStringLiteral("tmrRotate"));
    m_rotate.setInterval(200);
    connect(&m_rotate, &QTimer::timeout, this, &WatcherWindow::tmrRotate_Timer);
    connect(&m_watch, &DueWatch::alertRaised, this, &WatcherWindow::startSpin);
    connect(&m_watch, &DueWatch::badNamesFound, this, &WatcherWindow::showBadNameMessage);
    connect(&m_watch, &DueWatch::mediaReadable, this, &WatcherWindow::showMediaReadable);
    // A notice's "Открыть" opens it as the menu does.
    connect(&m_watch, &DueWatch::openRequested, this, &WatcherWindow::openQuillmur);

    connect(&m_tray, &TrayIcon::OnIcon, this, &WatcherWindow::cTray_OnIcon);
    m_tray.setIcon(m_frames[0]);
    m_tray.setToolTipText(toolTip());
    m_tray.setPopupMenu(m_menu, m_open);
    m_tray.Add();
}

WatcherWindow::~WatcherWindow()
{
    m_tray.Delete();
    delete m_badNameBox.data();
}

QString WatcherWindow::badNameText()
{
    return QStringLiteral("В паке Media доавленны файлы с нестандартным названем.");
}

QString WatcherWindow::toolTip()
{
    return QStringLiteral("Задачи на сегодня");
}

QString WatcherWindow::unreadableToolTip()
{
    return QStringLiteral("Папку Media не прочитать: напоминаний не будет");
}

void WatcherWindow::showMediaReadable(bool readable)
{
    // No message box for this: the watch goes on quietly, and the tip tells
    // whoever looks why no reminder comes.
    const QString tip = readable ? toolTip() : unreadableToolTip();
    if (m_tray.ToolTipText() == tip)
        return;
    m_tray.setToolTipText(tip);
    m_tray.Modify();
}

void WatcherWindow::cTray_OnIcon(int mouseButton)
{
    if (mouseButton == 3)
        openQuillmur();
    else if (mouseButton == 5)
        m_tray.CallPopupMenu(m_menu, m_open);
}

void WatcherWindow::openQuillmur()
{
    // Normal and activated: no window-state argument. A running Quillmur
    // refuses the second copy itself.
    m_start(m_programFolder + QStringLiteral("/Quillmur"), {});
}

void WatcherWindow::showBadNameMessage()
{
    // Non-modal, so the watch keeps ticking and alerting while the user has
    // not answered; one message at a time, never a pile of them.
    if (m_badNameBox && m_badNameBox->isVisible())
        return;
    m_badNameBox = new QMessageBox(QMessageBox::Warning, QStringLiteral("Ошибка"), badNameText(),
                                   QMessageBox::Ok);
    m_badNameBox->setObjectName(QStringLiteral("badNameMessage"));
    m_badNameBox->setWindowModality(Qt::NonModal);
    m_badNameBox->setAttribute(Qt::WA_DeleteOnClose);
    m_badNameBox->show();
}

void WatcherWindow::startSpin()
{
    m_rotate.start();
}

void WatcherWindow::tmrRotate_Timer()
{
    const auto frame = m_animation.step();
    if (!frame) {
        m_rotate.stop();
        return;
    }
    m_tray.setIcon(m_frames[*frame]);
    m_tray.Modify();
}

void WatcherWindow::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    // A minimized watcher lives on as its tray icon only.
    if (event->type() == QEvent::WindowStateChange && isMinimized())
        QMetaObject::invokeMethod(this, &QWidget::hide, Qt::QueuedConnection);
}

void WatcherWindow::closeEvent(QCloseEvent* event)
{
    m_tray.Delete();
    event->accept();
    emit ended();
}

void WatcherWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // Not a task bar button: once the window is on the screen.
    QTimer::singleShot(0, this, [this] { skipTaskbar(windowHandle()); });
}
