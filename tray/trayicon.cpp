#include "trayicon.h"

#include <QCursor>
#include <QMenu>

TrayIcon::TrayIcon(QObject* parent) : QObject(parent)
{
    connect(&m_icon, &QSystemTrayIcon::activated, this, &TrayIcon::onActivated);
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
    if (m_icon.contextMenu() == popMenu || popMenu->isVisible())
        return;
    popMenu->popup(QCursor::pos());
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
