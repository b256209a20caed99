#pragma once

#include <QIcon>
#include <QObject>
#include <QSystemTrayIcon>
#include <QTimer>

class QAction;
class QMenu;

// The watcher's icon in the notification area. Clicks arrive as `OnIcon`
// with the number of the mouse action (2 left click, 3 left double-click,
// 5 right button); the owner decides what they do. A StatusNotifier host's
// activation arrives as the double-click, its request for the menu as the
// right button.
class TrayIcon : public QObject
{
    Q_OBJECT
public:
    // Tool tips longer than this are cut: the notification area never showed more.
    static constexpr int TipLength = 63;

    explicit TrayIcon(QObject* parent = nullptr);
    ~TrayIcon() override;

    QIcon Icon() const { return m_iconPicture; }
    void setIcon(const QIcon& icon) { m_iconPicture = icon; }
    QString ToolTipText() const { return m_tip; }
    void setToolTipText(const QString& text) { m_tip = text; }

    // Puts the icon with its picture and tip into the notification area.
    // Without a notification area the watcher carries on without an icon,
    // and the icon appears once a tray host starts (a session may start its
    // panel after its autostart programs). Returns whether it is shown now.
    bool Add();
    // Shows the current picture and tip.
    void Modify();
    // Takes the icon out of the notification area.
    void Delete();

    // The menu that a right click opens; `defMenu` is drawn as the default
    // item. The menu is handed to the tray so that every tray host (the X11
    // embedding one and the StatusNotifier one) can show it.
    void setPopupMenu(QMenu* popMenu, QAction* defMenu);
    // Opens the menu at the mouse unless the tray host already did so.
    void CallPopupMenu(QMenu* popMenu, QAction* defMenu);

    bool isShown() const { return m_icon.isVisible(); }
    // What reaches the notification area as tool tip and picture.
    QString shownToolTip() const { return m_icon.toolTip(); }
    QIcon shownIcon() const { return m_icon.icon(); }

signals:
    void OnIcon(int MouseButton);

protected:
    // The X11 tray's icon widget reacts to the press of the right button;
    // here the press is held back and the release reported instead.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void copyToTray();
    void onActivated(QSystemTrayIcon::ActivationReason reason);
    // Reports the right button; the menu, if ours to open, opens at `at`.
    void reportMenuRequest(QPoint at);
    // Whether Qt shows the icon as a StatusNotifier item on the session bus
    // (rather than embedded in an X11 tray).
    bool isStatusNotifierItem() const;

    QSystemTrayIcon m_icon;
    QIcon m_iconPicture;
    QString m_tip;
    QTimer m_waitForTray;
    // Set while a request for the menu is being reported that no tray host
    // answers itself: then the menu is ours to open.
    bool m_menuIsOurs = false;
    QPoint m_menuPoint;
};
