#pragma once

#include "foundation/PlatformServices.h"

#include <QHash>
#include <QObject>

// Desktop notifications over org.freedesktop.Notifications, with a "Show"
// action that reports the notification's path back. Without a session bus
// it does nothing.
class DBusNotifier final : public QObject, public UserNotifier
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DBusNotifier)

public:
    explicit DBusNotifier(QObject* parent = nullptr);
    void deliver(const UserNotification& notification) override;

private slots:
    void actionInvoked(uint id, const QString& actionKey);
    void notificationClosed(uint id, uint reason);

private:
    bool m_connected = false;
    QHash<uint, QString> m_paths;
};
