#pragma once

#include "foundation/PlatformServices.h"

#include <QHash>
#include <QObject>

// Keeps the machine from idle sleep while a job converts, through
// org.freedesktop.login1's Inhibit("idle:sleep", ..., "block"). The returned
// file descriptor is the inhibition; closing it ends it. The call is
// asynchronous, so a slow or absent login1 never holds up the main thread:
// an inhibition released before its answer arrives is closed on arrival.
// Without a system bus it does nothing.
class Login1SleepInhibitor final : public QObject, public SleepInhibitor
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Login1SleepInhibitor)

public:
    Login1SleepInhibitor() = default;
    ~Login1SleepInhibitor() override;
    quint32 take(const QString& reason) override;
    void release(quint32 id) override;

private:
    // Id to file descriptor; -1 while the answer is awaited.
    QHash<quint32, int> m_fds;
    quint32 m_next = 1;
};
