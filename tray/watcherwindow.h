#pragma once

#include "duewatch.h"
#include "iconanimation.h"
#include "trayicon.h"

#include <QIcon>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <array>

class Clock;
class QAction;
class QMenu;

// Vestrel's window (`Form1`): owns the tray icon, its menu, the watch and the
// icon spin. Started with "-minimized" it is never shown and only the icon
// is seen; closing it ends the watcher.
class WatcherWindow : public QWidget
{
    Q_OBJECT
public:
    WatcherWindow(const QString& programFolder, const Clock& clock, DueWatch::Starter start = {},
                  QWidget* parent = nullptr);
    ~WatcherWindow() override;

    TrayIcon& tray() { return m_tray; }
    DueWatch& watch() { return m_watch; }
    QTimer& rotateTimer() { return m_rotate; }
    QMenu* popupMenu() const { return m_menu; }
    // The ten frames of the spin (`Image1`); frame 0 is the window icon.
    const QIcon& frame(int index) const { return m_frames.at(index); }
    // The bad-name warning while it exists.
    QMessageBox* badNameMessage() const { return m_badNameBox; }

    static QString badNameText();
    // The tray's tool tip, and the one while Media/ cannot be read.
    static QString toolTip();
    static QString unreadableToolTip();

signals:
    // The watcher is to end (menu "Выход" or the window closed).
    void ended();

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void cTray_OnIcon(int mouseButton);
    void openQuillmur();
    void showBadNameMessage();
    void showMediaReadable(bool readable);
    void startSpin();
    void tmrRotate_Timer();

    QString m_programFolder;
    DueWatch::Starter m_start;
    std::array<QIcon, IconAnimation::FrameCount> m_frames;
    TrayIcon m_tray;
    DueWatch m_watch;
    IconAnimation m_animation;
    QTimer m_rotate;
    QMenu* m_menu = nullptr;
    QAction* m_open = nullptr;
    QPointer<QMessageBox> m_badNameBox;
};
