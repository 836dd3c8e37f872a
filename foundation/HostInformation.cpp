#include "foundation/HostInformation.h"

#include <QFile>
#include <QRegularExpression>
#include <QSysInfo>
#include <arpa/inet.h>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <ifaddrs.h>
#include <mntent.h>
#include <net/if.h>
#include <netinet/in.h>

QString XTHostInformation::machineType()
{
    QFile file(QStringLiteral("/sys/class/dmi/id/product_name"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    // At most 255 bytes, as a fixed buffer whose last byte is zero would hold.
    return QString::fromUtf8(file.read(255)).trimmed();
}

QString XTHostInformation::ipAddress(bool ipv6)
{
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) {
        std::perror("getifaddrs");
        std::exit(1);
    }
    QString found;
    const int family = ipv6 ? AF_INET6 : AF_INET;
    for (ifaddrs* a = list; a && found.isEmpty(); a = a->ifa_next) {
        if (!a->ifa_addr || a->ifa_addr->sa_family != family || !(a->ifa_flags & IFF_UP))
            continue;
        if (a->ifa_name && QByteArray(a->ifa_name).startsWith("lo"))
            continue;
        char buffer[64] = {};
        const void* address =
            ipv6
                ? static_cast<const void*>(&reinterpret_cast<sockaddr_in6*>(a->ifa_addr)->sin6_addr)
                : static_cast<const void*>(&reinterpret_cast<sockaddr_in*>(a->ifa_addr)->sin_addr);
        if (inet_ntop(family, address, buffer, sizeof buffer))
            found = QString::fromLatin1(buffer);
    }
    freeifaddrs(list);
    if (found.isEmpty())
        return ipv6 ? QStringLiteral("::1") : QStringLiteral("127.0.0.1");
    return found;
}

qint64 XTHostInformation::diskNumberForDevice(const QString& device)
{
    // sdX / vdX / hdX / xvdX: the letter counts from a; nvmeN / mmcblkN: N.
    static const QRegularExpression lettered(QStringLiteral("^/dev/(?:s|v|h|xv)d([a-z])\\d*$"));
    static const QRegularExpression numbered(QStringLiteral("^/dev/(?:nvme|mmcblk)(\\d+)"));
    if (const auto m = lettered.match(device); m.hasMatch())
        return m.captured(1).at(0).unicode() - u'a';
    if (const auto m = numbered.match(device); m.hasMatch())
        return m.captured(1).toLongLong();
    return -1;
}

qint64 XTHostInformation::bootDiskBSDNum()
{
    static std::atomic<qint64> known{-100};
    if (known.load() != -100)
        return known.load();
    FILE* table = setmntent("/proc/self/mounts", "r");
    if (!table)
        return -1;
    QString device;
    while (mntent* entry = getmntent(table)) {
        if (QByteArray(entry->mnt_dir) == "/")
            device = QString::fromLocal8Bit(entry->mnt_fsname);
    }
    endmntent(table);
    const qint64 number = diskNumberForDevice(device);
    if (number >= 0)
        known.store(number);
    return number;
}

QString XTHostInformation::operatingSystemVersionString()
{
    return QSysInfo::prettyProductName() + QStringLiteral(" (kernel ") + QSysInfo::kernelVersion() +
           QStringLiteral(")");
}
