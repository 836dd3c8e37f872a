#include "foundation/ToolRun.h"

#include "foundation/ChildProcess.h"
#include "foundation/MakeString.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QSet>
#include <QTimer>
#include <csignal>

namespace {

// Every ToolRun alive, for killAllNow. Tool runs live on the main thread.
// Made before main, so that it outlives the handlers exit() runs (a
// function's static made later would be gone by then).
QSet<ToolRun*> g_livingRuns;

QSet<ToolRun*>& livingRuns()
{
    return g_livingRuns;
}

} // namespace

ToolRun::ToolRun(QObject* parent) : QObject(parent)
{
    livingRuns().insert(this);
}

ToolRun::~ToolRun()
{
    livingRuns().remove(this);
    if (!m_process)
        return;
    m_process->disconnect(this);
    if (m_process->state() != QProcess::NotRunning) {
        signalChildGroup(*m_process, SIGKILL);
        // Reaped at once: the child was killed, it has nothing left to do.
        m_process->waitForFinished(1000);
    }
}

void ToolRun::start(const QStringList& command, ChildPriority priority)
{
    m_command = command;
    m_output.clear();
    m_timedOut = false;
    m_finished = false;
    if (command.isEmpty() || command.first().isEmpty()) {
        // Reported like a tool that could not start, once the caller is done.
        QTimer::singleShot(0, this, [this] { finish(kNotStarted); });
        return;
    }
    auto* process = new QProcess(this);
    process->setProcessChannelMode(QProcess::MergedChannels);
    process->setStandardInputFile(QProcess::nullDevice());
    prepareChildProcess(*process, priority);
    connect(process, &QProcess::readyRead, this, &ToolRun::readOutput);
    connect(process, &QProcess::finished, this, &ToolRun::processEnded);
    connect(process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        // Handled once the caller's step is complete, never in its middle.
        if (error == QProcess::FailedToStart)
            QTimer::singleShot(0, this, &ToolRun::failedToStart);
    });
    m_process = process;
    process->start(command.first(), command.mid(1), QIODevice::ReadOnly);
    if (m_timeLimitMs > 0)
        QTimer::singleShot(m_timeLimitMs, process, [this] {
            if (!isRunning())
                return;
            m_timedOut = true;
            signalChildGroup(*m_process, SIGKILL);
        });
}

void ToolRun::letAllEnd(int ms)
{
    const auto anyRunning = [] {
        for (ToolRun* run : std::as_const(livingRuns()))
            if (run->isRunning())
                return true;
        return false;
    };
    if (anyRunning()) {
        QElapsedTimer clock;
        clock.start();
        QEventLoop loop;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
            if (!anyRunning() || clock.elapsed() >= ms)
                loop.quit();
        });
        poll.start(20);
        loop.exec();
    }
    killAllNow();
}

void ToolRun::killAllNow()
{
    // Reaping a child may end its run (a discarded run deletes itself):
    // walk a guarded copy.
    QList<QPointer<ToolRun>> runs;
    for (ToolRun* run : std::as_const(livingRuns()))
        runs.append(run);
    for (const QPointer<ToolRun>& run : runs) {
        if (!run || !run->isRunning())
            continue;
        const QPointer<QProcess> process = run->m_process;
        process->disconnect(run);
        signalChildGroup(*process, SIGKILL);
        if (process)
            process->waitForFinished(1000);
    }
}

void ToolRun::pause()
{
    if (isRunning())
        signalChildGroup(*m_process, SIGSTOP);
}

void ToolRun::resume()
{
    if (isRunning())
        signalChildGroup(*m_process, SIGCONT);
}

void ToolRun::stop(int graceMs)
{
    if (!isRunning() || m_killTimer)
        return;
    signalChildGroup(*m_process, SIGTERM);
    signalChildGroup(*m_process, SIGCONT);
    m_killTimer = new QTimer(this);
    m_killTimer->setSingleShot(true);
    connect(m_killTimer, &QTimer::timeout, this, [this] {
        if (isRunning())
            signalChildGroup(*m_process, SIGKILL);
    });
    m_killTimer->start(graceMs);
}

void ToolRun::discard()
{
    disconnect(this, nullptr, nullptr, nullptr);
    if (!isRunning()) {
        deleteLater();
        return;
    }
    setParent(QCoreApplication::instance());
    connect(this, &ToolRun::finished, this, &QObject::deleteLater);
    stop();
}

bool ToolRun::isRunning() const
{
    return m_process && m_process->state() != QProcess::NotRunning && !m_finished;
}

qint64 ToolRun::processId() const
{
    return isRunning() ? m_process->processId() : 0;
}

void ToolRun::readOutput()
{
    if (m_process)
        m_output.feed(m_process->readAll());
}

void ToolRun::processEnded(int exitCode, QProcess::ExitStatus exitStatus)
{
    readOutput();
    finish(exitStatus == QProcess::NormalExit ? exitCode : (exitCode ? exitCode : -1));
}

void ToolRun::failedToStart()
{
    if (!m_process || m_process->state() != QProcess::NotRunning || m_finished)
        return;
    m_output.setText(m_output.text() + makeString("Could not start %@: %@", m_process->program(),
                                                  m_process->errorString()));
    finish(kNotStarted);
}

void ToolRun::finish(int status)
{
    if (m_finished)
        return;
    m_finished = true;
    m_output.finish();
    if (m_killTimer)
        m_killTimer->stop();
    if (m_process)
        m_process->disconnect(this);
    emit finished(status, m_output.text());
}
