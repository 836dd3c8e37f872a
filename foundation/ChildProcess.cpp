#include "foundation/ChildProcess.h"

#include <QProcess>
#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

void prepareChildProcess(QProcess& process, ChildPriority priority)
{
    const bool background = priority == ChildPriority::Background;
    process.setChildProcessModifier([background] {
        setpgid(0, 0);
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (background) {
            [[maybe_unused]] const int niced = nice(10);
        }
    });
}

bool startChildProcess(QProcess& process, const QStringList& command, ChildPriority priority)
{
    if (command.isEmpty() || command.first().isEmpty())
        return false;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setStandardInputFile(QProcess::nullDevice());
    prepareChildProcess(process, priority);
    process.start(command.first(), command.mid(1), QIODevice::ReadOnly);
    return process.waitForStarted(-1);
}

bool collectChildOutput(QProcess& process, QByteArray& output, QDeadlineTimer deadline)
{
    const auto waitTime = [&deadline] {
        return deadline.isForever() ? -1 : int(qMax<qint64>(1, deadline.remainingTime()));
    };
    while (process.state() != QProcess::NotRunning) {
        if (deadline.hasExpired()) {
            output += process.readAll();
            return false;
        }
        if (!process.waitForReadyRead(waitTime()) && process.state() == QProcess::Running &&
            !deadline.hasExpired()) {
            // The output is closed while the child lives on: only its exit
            // is left to wait for.
            process.waitForFinished(waitTime());
        }
        output += process.readAll();
    }
    output += process.readAll();
    return true;
}

bool signalChildGroup(const QProcess& process, int signal)
{
    return signalProcessGroup(process.processId(), signal);
}

bool signalProcessGroup(qint64 pid, int signal)
{
    if (pid <= 0)
        return false;
    // The group as a whole; the child itself too in case it left the group.
    const bool group = ::kill(-static_cast<pid_t>(pid), signal) == 0;
    const bool child = ::kill(static_cast<pid_t>(pid), signal) == 0;
    return group || child;
}
