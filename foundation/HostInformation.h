#pragma once

#include <QString>

// Questions about the machine.
class XTHostInformation final
{
public:
    // The DMI product name; empty when unreadable.
    static QString machineType();
    // First address of the wanted family of an interface that is up and not
    // loopback; "127.0.0.1" or "::1" when there is none.
    static QString ipAddress(bool ipv6);
    // The disk number of the device that holds "/" (sda2 → 0, nvme0n1p2 → 0,
    // vdb1 → 1); -1 when it has no such form. Remembered once known.
    static qint64 bootDiskBSDNum();
    // The rule behind bootDiskBSDNum, for a device path.
    static qint64 diskNumberForDevice(const QString& device);
    // The operating system's version text.
    static QString operatingSystemVersionString();
};
