#include "trayicon.h"

#include <QCoreApplication>
#include <QCursor>
#include <QMenu>
#include <QMouseEvent>

TrayIcon::TrayIcon(QObject* parent) : QObject(parent)
{
    connect(&m_icon, &QSystemTrayIcon::activated, this, &TrayIcon::onActivated);
    // The embedded icon widget of an X11 tray is made and replaced by Qt at
    // will, so its mouse events are watched application-wide.
    if (QCoreApplication* app = QCoreApplication::instance())
        app->installEventFilter(this);
    m_waitForTray.setInterval(2000);
    connect(&m_waitForTray, &QTimer::timeout, this, [this] {
        if (QSystemTrayIcon::isSystemTrayAvailable()) {
            m_waitForTray.stop();
            m_icon.show();
        }
    });
}

TrayIcon::~TrayIcon()
{
    Delete();
}

void TrayIcon::copyToTray()
{
    m_icon.setIcon(m_iconPicture);
    m_icon.setToolTip(m_tip.left(TipLength));
}

bool TrayIcon::Add()
{
    copyToTray();
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        m_waitForTray.start();
        return false;
    }
    m_icon.show();
    return true;
}

void TrayIcon::Modify()
{
    copyToTray();
}

void TrayIcon::Delete()
{
    m_waitForTray.stop();
    m_icon.hide();
}

void TrayIcon::setPopupMenu(QMenu* popMenu, QAction* defMenu)
{
    popMenu->setDefaultAction(defMenu);
    m_icon.setContextMenu(popMenu);
}

void TrayIcon::CallPopupMenu(QMenu* popMenu, QAction* defMenu)
{
    popMenu->setDefaultAction(defMenu);
    // A StatusNotifier host shows the menu handed to it by itself.
    if ((m_icon.contextMenu() == popMenu && !m_releasing) || popMenu->isVisible())
        return;
    popMenu->popup(QCursor::pos());
}

bool TrayIcon::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick &&
        type != QEvent::MouseButtonRelease)
        return false;
    if (static_cast<QMouseEvent*>(event)->button() != Qt::RightButton ||
        !watched->inherits("QSystemTrayIconSys"))
        return false;
    // The menu opens on the release of the right button, as the
    // notification area always did; the press does nothing.
    if (type == QEvent::MouseButtonRelease) {
        m_releasing = true;
        emit OnIcon(5);
        m_releasing = false;
    }
    return true;
}

void TrayIcon::onActivated(QSystemTrayIcon::ActivationReason reason)
{
    // Numbered as the mouse actions of the notification area always were:
    // 2 left button up, 3 left double-click, 5 right button up.
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        emit OnIcon(2);
        break;
    case QSystemTrayIcon::DoubleClick:
        emit OnIcon(3);
        break;
    case QSystemTrayIcon::Context:
        emit OnIcon(5);
        break;
    default:
        break;
    }
}
