#pragma once

#include <QByteArray>
#include <QDeadlineTimer>
#include <QStringList>

class QProcess;

// Children of this program run in a process group of their own, so that
// pausing, continuing and ending a tool reaches every process it started
// (our afconvert runs ffmpeg), and they are killed when this program dies,
// so none is ever left behind.
// A child for work in the background (the probe of movies dropped on the
// window) runs at a lower priority, so that it never keeps the window from
// the processor.
enum class ChildPriority { Normal, Background };
void prepareChildProcess(QProcess& process, ChildPriority priority = ChildPriority::Normal);
// Prepares the child as above, with standard output and error merged and
// /dev/null as input, and starts `command` (element 0 the executable);
// false when it could not be started.
bool startChildProcess(QProcess& process, const QStringList& command,
                       ChildPriority priority = ChildPriority::Normal);
// Collects the child's output until it ends, draining the pipe while it
// runs so a child that writes more than a pipe holds never blocks. False,
// with the child still running, when the deadline passes first.
bool collectChildOutput(QProcess& process, QByteArray& output,
                        QDeadlineTimer deadline = QDeadlineTimer(QDeadlineTimer::Forever));
// Sends the signal to the child's process group; false when it has none.
bool signalChildGroup(const QProcess& process, int signal);
// The same by process id, for a thread that does not own the QProcess.
bool signalProcessGroup(qint64 pid, int signal);
