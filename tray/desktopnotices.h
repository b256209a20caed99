#pragma once

#include "noticebook.h"

#include <QDBusConnection>
#include <QObject>

#include <functional>

class QDBusMessage;

// The desktop's notification service (org.freedesktop.Notifications on the
// session bus) as the watcher uses it: one notice per due task, updated in
// place and withdrawn through NoticeBook's steps. Every call is
// asynchronous, so a slow or hung server never holds up the watch. Without
// a session bus or a notification server nothing is sent and nothing is
// said, beyond one line the first time a server fails to answer.
class DesktopNotices : public QObject
{
    Q_OBJECT
public:
    // `iconPath`: the picture the notices carry (empty: the server's own).
    explicit DesktopNotices(const QString& iconPath, QObject* parent = nullptr);
    // Withdraws the notices still shown: their buttons would no longer work.
    ~DesktopNotices() override;

    // A server is on the bus, or the bus can start one.
    bool available() const { return m_owned || m_activatable; }
    bool hasNotices() const { return !m_book.isEmpty(); }

    // One tick: the due tasks in order; with `enabled` false all go.
    void update(const QList<DueNotice>& due, bool enabled);
    // The task was moved by a notice's button: its notice goes now.
    void withdraw(const QString& name);

signals:
    // A button of the notice of the task `name` was pressed.
    void actionInvoked(NoticeBook::Action action, const QString& name);

private slots:
    void onActionInvoked(uint id, const QString& key);
    void onNotificationClosed(uint id, uint reason);

private:
    void run(const NoticeBook::Step& step);
    void call(const QDBusMessage& message, std::function<void(const QDBusMessage&)> done);
    void ownerChanged(bool owned);

    QString m_icon;
    QDBusConnection m_bus;
    NoticeBook m_book;
    bool m_owned = false;
    bool m_activatable = false;
    bool m_failureReported = false;
};
