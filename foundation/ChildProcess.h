#pragma once

class QProcess;

// Children of this program run in a process group of their own, so that
// pausing, continuing and ending a tool reaches every process it started
// (our afconvert runs ffmpeg), and they are killed when this program dies,
// so none is ever left behind.
void prepareChildProcess(QProcess& process);
// Sends the signal to the child's process group; false when it has none.
bool signalChildGroup(const QProcess& process, int signal);
// Ends a running child: SIGTERM, then SIGCONT so a stopped child can act on
// it, then SIGKILL when it has not ended within the grace time. Waits for it.
void endChildProcess(QProcess& process, int graceMilliseconds = 5000);
