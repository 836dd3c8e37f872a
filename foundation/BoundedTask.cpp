#include "foundation/BoundedTask.h"

#include "foundation/ChildProcess.h"

#include <QDeadlineTimer>
#include <QHash>
#include <QMutex>
#include <QProcess>
#include <QStringDecoder>
#include <csignal>
#include <thread>
#include <vector>

namespace {

// The tasks that run now, by process id, so another thread can end them.
struct Registry
{
    QMutex mutex;
    // Process id to whether cancelBoundedTasks ended it.
    QHash<qint64, bool> running;
};

Registry& registry()
{
    static Registry r;
    return r;
}

void killGroup(qint64 pid)
{
    signalProcessGroup(pid, SIGKILL);
}

QString lenientUtf8(const QByteArray& bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
    return decoder.decode(bytes);
}

} // namespace

BoundedTaskResult runBoundedTask(const QStringList& command, int timeoutMs)
{
    BoundedTaskResult result;
    // Blocking waits rather than an event loop of its own: a thread that
    // needs the event loop cannot finish once the application object is
    // being destroyed, which would hang the program's exit.
    QProcess process;
    qint64 pid = 0;
    {
        // Registered under the lock that cancelling takes, so a cancel never
        // misses a task that has started.
        Registry& r = registry();
        QMutexLocker lock(&r.mutex);
        if (!startChildProcess(process, command, ChildPriority::Background))
            return result;
        pid = process.processId();
        r.running.insert(pid, false);
    }
    result.started = true;

    QByteArray output;
    const QDeadlineTimer deadline =
        timeoutMs > 0 ? QDeadlineTimer(timeoutMs) : QDeadlineTimer(QDeadlineTimer::Forever);
    if (!collectChildOutput(process, output, deadline)) {
        result.timedOut = true;
        killGroup(pid);
        process.waitForFinished(-1);
        output += process.readAll();
    }

    Registry& r = registry();
    QMutexLocker lock(&r.mutex);
    result.cancelled = r.running.take(pid) && !result.timedOut;
    result.status = process.exitCode();
    result.output = lenientUtf8(output);
    return result;
}

QList<BoundedTaskResult> runBoundedTasks(const QList<QStringList>& commands, int timeoutMs)
{
    std::vector<BoundedTaskResult> results(size_t(commands.size()));
    // The first runs on this thread, every other on a thread of its own.
    std::vector<std::thread> others;
    for (size_t i = 1; i < results.size(); ++i)
        others.emplace_back([&results, &commands, i, timeoutMs] {
            results[i] = runBoundedTask(commands.at(qsizetype(i)), timeoutMs);
        });
    if (!results.empty())
        results[0] = runBoundedTask(commands.first(), timeoutMs);
    for (std::thread& t : others)
        t.join();
    return QList<BoundedTaskResult>(results.begin(), results.end());
}

void cancelBoundedTasks()
{
    Registry& r = registry();
    QMutexLocker lock(&r.mutex);
    for (auto it = r.running.begin(); it != r.running.end(); ++it) {
        it.value() = true;
        killGroup(it.key());
    }
}
