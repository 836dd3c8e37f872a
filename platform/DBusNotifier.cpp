#include "platform/DBusNotifier.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

namespace {
const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");
} // namespace

DBusNotifier::DBusNotifier(QObject* parent) : QObject(parent)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    m_connected = true;
    bus.connect(kService, kPath, kInterface, QStringLiteral("ActionInvoked"), this,
                SLOT(actionInvoked(uint, QString)));
    bus.connect(kService, kPath, kInterface, QStringLiteral("NotificationClosed"), this,
                SLOT(notificationClosed(uint, uint)));
}

void DBusNotifier::deliver(const UserNotification& notification)
{
    if (!m_connected)
        return;
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
    QStringList actions;
    if (!notification.actionButtonTitle.isEmpty())
        actions << QStringLiteral("default") << notification.actionButtonTitle
                << QStringLiteral("show") << notification.actionButtonTitle;
    QVariantMap hints;
    hints.insert(QStringLiteral("desktop-entry"), QStringLiteral("org.vantreo.Vantreo"));
    hints.insert(QStringLiteral("sound-name"), QStringLiteral("complete"));
    call << QStringLiteral("Vantreo") << uint(0) << QStringLiteral("vantreo") << notification.title
         << notification.informativeText << actions << hints << int(-1);
    const QString path = notification.path;
    auto* watcher =
        new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, path](QDBusPendingCallWatcher* w) {
                const QDBusPendingReply<uint> reply = *w;
                if (reply.isValid() && !path.isEmpty())
                    m_paths.insert(reply.value(), path);
                w->deleteLater();
            });
}

void DBusNotifier::actionInvoked(uint id, const QString&)
{
    const QString path = m_paths.take(id);
    if (!path.isEmpty() && onActivated)
        onActivated(path);
}

void DBusNotifier::notificationClosed(uint id, uint)
{
    m_paths.remove(id);
}
