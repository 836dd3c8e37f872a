#pragma once

#include "foundation/ChildProcess.h"
#include "foundation/OutputCollector.h"

#include <QObject>
#include <QPointer>
#include <QProcess>
#include <QString>
#include <QStringList>

class QTimer;

// One run of an external tool, driven by the event loop: the thread that
// starts it never waits on it. The child runs in a process group of its own
// (so pausing, continuing and ending reach every process it starts) with
// /dev/null as input and its standard output and error merged; the output is
// split into lines and kept without ffmpeg's running statistics. Its end, and
// a start that failed, arrive as one `finished` signal through the event loop.
class ToolRun final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ToolRun)

public:
    // The status of a run whose tool could not be started.
    static constexpr int kNotStarted = 127;
    // How long an ended tool may take to exit before it is killed.
    static constexpr int kDefaultGraceMs = 5000;

    explicit ToolRun(QObject* parent = nullptr);
    // A tool still running is killed with its whole group: none is ever left
    // behind by a run that goes away.
    ~ToolRun() override;

    // A tool still running `ms` after its start is killed with its group
    // (0: no limit). Set before start().
    void setTimeLimit(int ms) { m_timeLimitMs = ms; }
    // Starts `command` (element 0 the executable, the rest its arguments, no
    // shell) at `priority`. An empty command or executable counts as not
    // started.
    void start(const QStringList& command, ChildPriority priority = ChildPriority::Normal);
    void pause();
    void resume();
    // Asks the tool to end (SIGTERM to its group, SIGCONT so a paused one can
    // act on it) and kills the group when it has not ended `graceMs` later.
    void stop(int graceMs = kDefaultGraceMs);
    // Stops the tool and forgets every receiver: nothing more is reported.
    // The run then belongs to the application and deletes itself once the
    // tool has ended, so quitting still ends it.
    void discard();

    bool isRunning() const;
    // Kills every running tool of the process with its group and reaps it,
    // without the event loop: for a program that must end at once (its
    // display is gone).
    static void killAllNow();
    // Lets the tools told to end finish, for at most `ms`, running the event
    // loop so that what waits on their ends runs (a discarded run's files
    // are deleted then: a tool still starting when told to end may yet make
    // its output); then kills what is left.
    static void letAllEnd(int ms);
    bool timedOut() const { return m_timedOut; }
    qint64 processId() const;
    const QStringList& command() const { return m_command; }
    const QString& output() const { return m_output.text(); }

signals:
    // `status` is the exit status, the signal number for a tool killed by a
    // signal, or kNotStarted, with the reason at the end of `output`.
    void finished(int status, const QString& output);

private:
    void readOutput();
    void processEnded(int exitCode, QProcess::ExitStatus exitStatus);
    void failedToStart();
    void finish(int status);

    QPointer<QProcess> m_process;
    QPointer<QTimer> m_killTimer;
    QStringList m_command;
    OutputCollector m_output;
    int m_timeLimitMs = 0;
    bool m_timedOut = false;
    bool m_finished = false;
};
