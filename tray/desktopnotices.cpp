#include "desktopnotices.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusServiceWatcher>
#include <QFileInfo>
#include <QVariantMap>

#include <cstdio>

namespace {
const QString Service = QStringLiteral("org.freedesktop.Notifications");
const QString Path = QStringLiteral("/org/freedesktop/Notifications");
const QString BusService = QStringLiteral("org.freedesktop.DBus");
const QString BusPath = QStringLiteral("/org/freedesktop/DBus");
// Calls never block, so a long wait costs nothing: while a notice is
// unanswered the book sends no second one for its task, and an answer given
// up on too early could leave a notice on the screen that nobody closes.
constexpr int CallTimeoutMs = 5 * 60 * 1000;
// At the end only: a server that does not take the last closings at once
// does not keep the watcher from ending.
constexpr int FlushTimeoutMs = 1000;

QDBusMessage notificationsCall(const QString& method)
{
    return QDBusMessage::createMethodCall(Service, Path, Service, method);
}

QDBusMessage busCall(const QString& method)
{
    return QDBusMessage::createMethodCall(BusService, BusPath, BusService, method);
}
} // namespace

DesktopNotices::DesktopNotices(const QString& iconPath, QObject* parent)
    : QObject(parent), m_icon(QFileInfo::exists(iconPath) ? iconPath : QString()),
      m_bus(QDBusConnection::sessionBus())
{
    if (!m_bus.isConnected())
        return;
    auto* watcher =
        new QDBusServiceWatcher(Service, m_bus, QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(watcher, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString&, const QString&, const QString& newOwner) {
                ownerChanged(!newOwner.isEmpty());
            });
    m_bus.connect(Service, Path, Service, QStringLiteral("ActionInvoked"), this,
                  SLOT(onActionInvoked(uint, QString)));
    m_bus.connect(Service, Path, Service, QStringLiteral("NotificationClosed"), this,
                  SLOT(onNotificationClosed(uint, uint)));

    QDBusMessage hasOwner = busCall(QStringLiteral("NameHasOwner"));
    hasOwner << Service;
    call(hasOwner, [this](const QDBusMessage& reply) {
        if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty() &&
            reply.arguments().constFirst().toBool())
            ownerChanged(true);
    });
    // A desktop may start its server only when the first notice comes.
    call(busCall(QStringLiteral("ListActivatableNames")), [this](const QDBusMessage& reply) {
        if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty())
            m_activatable = reply.arguments().constFirst().toStringList().contains(Service);
    });
}

DesktopNotices::~DesktopNotices()
{
    if (!m_bus.isConnected() || m_book.isEmpty())
        return;
    for (const NoticeBook::Step& step : m_book.tick({}, false)) {
        QDBusMessage close = notificationsCall(QStringLiteral("CloseNotification"));
        close << quint32(step.id);
        m_bus.send(close);
    }
    // Messages leave in order: once the bus has answered this, the closings
    // are on their way and the program may end.
    m_bus.call(busCall(QStringLiteral("GetId")), QDBus::Block, FlushTimeoutMs);
}

void DesktopNotices::update(const QList<DueNotice>& due, bool enabled)
{
    for (const NoticeBook::Step& step : m_book.tick(due, enabled))
        run(step);
}

void DesktopNotices::withdraw(const QString& name)
{
    if (const auto step = m_book.withdraw(name))
        run(*step);
}

void DesktopNotices::run(const NoticeBook::Step& step)
{
    if (step.kind == NoticeBook::Step::Kind::Close) {
        QDBusMessage close = notificationsCall(QStringLiteral("CloseNotification"));
        close << quint32(step.id);
        call(close, [](const QDBusMessage&) {});
        return;
    }
    QVariantMap hints;
    hints.insert(QStringLiteral("urgency"), QVariant::fromValue(uchar(2))); // critical
    hints.insert(QStringLiteral("desktop-entry"), QStringLiteral("quillmur"));
    QDBusMessage notify = notificationsCall(QStringLiteral("Notify"));
    // Shown until the task is no longer due: the watch withdraws it then.
    notify << QStringLiteral("Quillmur") << quint32(step.id) << m_icon << NoticeBook::summary()
           << step.body << NoticeBook::actions(step.repeats) << hints << qint32(0);
    const quint64 request = step.request;
    call(notify, [this, request](const QDBusMessage& reply) {
        if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()) {
            if (const auto late = m_book.answered(request, reply.arguments().constFirst().toUInt()))
                run(*late);
            return;
        }
        m_book.failed(request);
        if (!m_failureReported) {
            m_failureReported = true;
            std::fprintf(stderr, "Vestrel: the desktop notification was not shown: %s\n",
                         qPrintable(reply.errorMessage()));
        }
    });
}

void DesktopNotices::call(const QDBusMessage& message,
                          std::function<void(const QDBusMessage&)> done)
{
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(message, CallTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [watcher, done = std::move(done)] {
        watcher->deleteLater();
        done(watcher->reply());
    });
}

void DesktopNotices::ownerChanged(bool owned)
{
    m_owned = owned;
    if (!owned)
        m_book.clear();
}

void DesktopNotices::onActionInvoked(uint id, const QString& key)
{
    // Servers may tell every client of every notice's buttons.
    const QString name = m_book.taskOf(id);
    const auto action = NoticeBook::action(key);
    if (!name.isEmpty() && action)
        emit actionInvoked(*action, name);
}

void DesktopNotices::onNotificationClosed(uint id, uint)
{
    m_book.closed(id);
}
