#pragma once

#include "foundation/PlatformServices.h"

#include <QHash>

// Keeps the machine from idle sleep while a job converts, through
// org.freedesktop.login1's Inhibit("idle:sleep", ..., "block"). The returned
// file descriptor is the inhibition; closing it ends it. Without a system bus
// or login1 it does nothing.
class Login1SleepInhibitor final : public SleepInhibitor
{
public:
    ~Login1SleepInhibitor() override;
    quint32 take(const QString& reason) override;
    void release(quint32 id) override;

private:
    QHash<quint32, int> m_fds;
    quint32 m_next = 1;
};
