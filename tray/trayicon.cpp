#include "trayicon.h"

#include <QApplication>
#include <QCursor>
#include <QLoggingCategory>
#include <QMenu>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QThread>

#include <algorithm>
#include <optional>
#include <utility>

namespace {
// Qt's StatusNotifier item drops the point at which a host activates the
// icon or asks for its menu: it only logs it, as "x y" under "qt.qpa.tray".
// That line is caught here (and kept off the terminal unless asked for), so
// that the menu opens where the host said.
const char* const TrayCategory = "qt.qpa.tray";
QLoggingCategory::CategoryFilter previousFilter = nullptr;
QtMessageHandler previousHandler = nullptr;
bool trayDebugWanted = false;
std::optional<QPoint> hostPoint;

void hearTrayDebug(QLoggingCategory* category)
{
    if (previousFilter)
        previousFilter(category);
    if (qstrcmp(category->categoryName(), TrayCategory) == 0) {
        trayDebugWanted = category->isDebugEnabled();
        category->setEnabled(QtDebugMsg, true);
    }
}

void catchHostPoint(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtDebugMsg && context.category && qstrcmp(context.category, TrayCategory) == 0) {
        static const QRegularExpression point(QStringLiteral("^(-?\\d+) (-?\\d+)$"));
        const QRegularExpressionMatch m = point.match(message);
        if (m.hasMatch() && QThread::currentThread() == qApp->thread())
            hostPoint = QPoint(m.captured(1).toInt(), m.captured(2).toInt());
        if (!trayDebugWanted)
            return;
    }
    previousHandler(type, context, message);
}

void listenForHostPoints()
{
    static bool listening = false;
    if (std::exchange(listening, true))
        return;
    previousHandler = qInstallMessageHandler(catchHostPoint);
    previousFilter = QLoggingCategory::installFilter(hearTrayDebug);
}
} // namespace

TrayIcon::TrayIcon(QObject* parent) : QObject(parent)
{
    listenForHostPoints();
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
    if ((m_icon.contextMenu() == popMenu && !m_menuIsOurs) || popMenu->isVisible())
        return;
    popMenu->popup(m_menuIsOurs ? m_menuPoint : QCursor::pos());
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
    if (type == QEvent::MouseButtonRelease)
        reportMenuRequest(QCursor::pos());
    return true;
}

void TrayIcon::reportMenuRequest(QPoint at)
{
    m_menuIsOurs = true;
    m_menuPoint = at;
    emit OnIcon(5);
    m_menuIsOurs = false;
}

bool TrayIcon::isStatusNotifierItem() const
{
    // In an X11 tray the icon is a widget of ours, embedded in the tray;
    // a StatusNotifier host draws the icon itself.
    const QWidgetList windows = QApplication::topLevelWidgets();
    return m_icon.isVisible() &&
           std::none_of(windows.begin(), windows.end(), [](const QWidget* window) {
               return window->inherits("QSystemTrayIconSys");
           });
}

void TrayIcon::onActivated(QSystemTrayIcon::ActivationReason reason)
{
    // Numbered as the mouse actions of the notification area always were:
    // 2 left button up, 3 left double-click, 5 right button up.
    const std::optional<QPoint> at = std::exchange(hostPoint, std::nullopt);
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        // A StatusNotifier host sends one activation per click and never a
        // double-click: there the click stands for the double-click.
        emit OnIcon(isStatusNotifierItem() ? 3 : 2);
        break;
    case QSystemTrayIcon::DoubleClick:
        emit OnIcon(3);
        break;
    case QSystemTrayIcon::Context:
        // Only a StatusNotifier host's request gets here (the X11 icon's
        // press is held back above). A host that shows menus itself reads
        // the exported one and never asks; one that asks shows none.
        reportMenuRequest(at.value_or(QCursor::pos()));
        break;
    default:
        break;
    }
}
