#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Tool runs that may not take for ever: the probe's ffmpeg and mediainfo on
// a stalled network mount or on a file that never ends.
struct BoundedTaskResult
{
    // Standard output and standard error together, decoded as UTF-8 with
    // invalid bytes replaced: a Latin-1 title tag must not cost the listing.
    QString output;
    bool started = false;
    // The tool was ended because it ran past its time.
    bool timedOut = false;
    // The tool was ended by cancelBoundedTasks.
    bool cancelled = false;
    // Exit status, the signal number for a child killed by a signal, 127
    // when it could not be started.
    qint64 status = 127;
};

// Starts every command (element 0 the executable) at once, each with
// /dev/null as input in a process group of its own, collects their output
// while they run and answers when all have ended. A command still running
// `timeoutMs` after the start (<= 0: no limit) has its whole group killed.
// The tools run at a lower priority (ChildPriority::Background): they work
// for a thread in the background. Blocks the calling thread; safe on any
// thread.
QList<BoundedTaskResult> runBoundedTasks(const QList<QStringList>& commands, int timeoutMs);
BoundedTaskResult runBoundedTask(const QStringList& command, int timeoutMs);

// Ends every bounded task running now, from any thread: an interrupted
// command line, a quitting application. Tasks started later run normally.
void cancelBoundedTasks();
