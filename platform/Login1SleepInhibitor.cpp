#include "platform/Login1SleepInhibitor.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDBusUnixFileDescriptor>
#include <unistd.h>

Login1SleepInhibitor::~Login1SleepInhibitor()
{
    for (int fd : std::as_const(m_fds))
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
    // A short, bounded wait: the answer is needed to hold the inhibition.
    const QDBusReply<QDBusUnixFileDescriptor> reply = bus.call(call, QDBus::Block, 2000);
    if (!reply.isValid() || !reply.value().isValid())
        return 0;
    const int fd = ::dup(reply.value().fileDescriptor());
    if (fd < 0)
        return 0;
    const quint32 id = m_next++;
    m_fds.insert(id, fd);
    return id;
}

void Login1SleepInhibitor::release(quint32 id)
{
    const auto it = m_fds.find(id);
    if (it == m_fds.end())
        return;
    ::close(it.value());
    m_fds.erase(it);
}
