#include "foundation/ChildProcess.h"

#include <QProcess>
#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

void prepareChildProcess(QProcess& process)
{
    process.setChildProcessModifier([] {
        setpgid(0, 0);
        prctl(PR_SET_PDEATHSIG, SIGKILL);
    });
}

bool signalChildGroup(const QProcess& process, int signal)
{
    const qint64 pid = process.processId();
    if (pid <= 0)
        return false;
    // The group as a whole; the child itself too in case it left the group.
    const bool group = ::kill(-static_cast<pid_t>(pid), signal) == 0;
    const bool child = ::kill(static_cast<pid_t>(pid), signal) == 0;
    return group || child;
}

void endChildProcess(QProcess& process, int graceMilliseconds)
{
    if (process.state() == QProcess::NotRunning)
        return;
    if (process.state() == QProcess::Starting)
        process.waitForStarted(graceMilliseconds);
    signalChildGroup(process, SIGTERM);
    signalChildGroup(process, SIGCONT);
    if (!process.waitForFinished(graceMilliseconds)) {
        signalChildGroup(process, SIGKILL);
        process.waitForFinished(graceMilliseconds);
    }
}
