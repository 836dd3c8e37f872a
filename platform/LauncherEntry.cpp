#include "platform/LauncherEntry.h"

#include <AppInfo.h>
#include <QDBusMessage>
#include <algorithm>

LauncherEntry::LauncherEntry(const QDBusConnection& bus, QObject* parent)
    : QObject(parent), m_bus(bus)
{
}

QString LauncherEntry::appUri()
{
    return QStringLiteral("application://%1.desktop").arg(QLatin1String(appinfo::kIdentifier));
}

QString LauncherEntry::objectPath()
{
    return QStringLiteral("/org/vantreo/Vantreo/LauncherEntry");
}

QVariantMap LauncherEntry::properties(double progress, bool converting, qint64 jobsLeft)
{
    return {{QStringLiteral("progress"), std::clamp(progress, 0.0, 1.0)},
            {QStringLiteral("progress-visible"), converting},
            {QStringLiteral("count"), qint64(std::max<qint64>(jobsLeft, 0))},
            {QStringLiteral("count-visible"), jobsLeft > 0}};
}

void LauncherEntry::update(double progress, bool converting, qint64 jobsLeft)
{
    const QVariantMap now = properties(progress, converting, jobsLeft);
    if (now == m_last || !m_bus.isConnected())
        return;
    m_last = now;
    QDBusMessage signal = QDBusMessage::createSignal(
        objectPath(), QStringLiteral("com.canonical.Unity.LauncherEntry"),
        QStringLiteral("Update"));
    signal << appUri() << now;
    m_bus.send(signal);
}
