#include "platform/Login1SleepInhibitor.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusUnixFileDescriptor>
#include <unistd.h>

Login1SleepInhibitor::~Login1SleepInhibitor()
{
    for (int fd : std::as_const(m_fds))
        if (fd >= 0)
            ::close(fd);
}

quint32 Login1SleepInhibitor::take(const QString& reason)
{
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected())
        return 0;
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("Inhibit"));
    call << QStringLiteral("idle:sleep") << QStringLiteral("Vantreo") << reason
         << QStringLiteral("block");
    const quint32 id = m_next++;
    m_fds.insert(id, -1);
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, 5000), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, id](QDBusPendingCallWatcher* w) {
                w->deleteLater();
                const QDBusPendingReply<QDBusUnixFileDescriptor> reply = *w;
                const int fd = reply.isValid() && reply.value().isValid()
                                   ? ::dup(reply.value().fileDescriptor())
                                   : -1;
                const auto it = m_fds.find(id);
                if (it == m_fds.end()) {
                    // Released while the answer was on its way.
                    if (fd >= 0)
                        ::close(fd);
                    return;
                }
                if (fd < 0)
                    m_fds.erase(it);
                else
                    it.value() = fd;
            });
    return id;
}

void Login1SleepInhibitor::release(quint32 id)
{
    const auto it = m_fds.find(id);
    if (it == m_fds.end())
        return;
    if (it.value() >= 0)
        ::close(it.value());
    m_fds.erase(it);
}
