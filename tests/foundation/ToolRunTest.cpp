#include "foundation/ToolRun.h"

#include "common/JobTestKit.h"
#include "common/TestSupport.h"

#include <QFile>
#include <QPointer>
#include <gtest/gtest.h>
#include <optional>

// ToolRun with real children: what it reports, and that pausing, stopping
// and its time limit reach the tool's whole process group without the
// caller ever waiting on it.

namespace {

struct Ended
{
    int status = 0;
    QString output;
};

// Starts the command and collects the one `finished` it reports in `ended`.
void startCollecting(ToolRun& run, const QStringList& command, std::optional<Ended>& ended)
{
    QObject::connect(&run, &ToolRun::finished, &run, [&ended](int status, const QString& output) {
        EXPECT_FALSE(ended.has_value()) << "finished twice";
        ended = Ended{status, output};
    });
    run.start(command);
}

// The pid of the shell's background child written to `file`.
qint64 pidIn(const QString& file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll().trimmed().toLongLong() : 0;
}

// The process has ended: gone, or a zombie (an orphan is reaped by whoever
// adopts it, which in some containers is nobody).
bool hasEnded(qint64 pid)
{
    const char state = processStateLetter(pid);
    return state == 0 || state == 'Z';
}

} // namespace

TEST(ToolRun, ReportsOutputAndStatusOnceThroughTheEventLoop)
{
    ToolRun run;
    std::optional<Ended> ended;
    startCollecting(
        run, {"/bin/sh", "-c", "echo one; echo two >&2; printf 'frame=1 bitrate=2\\rlast'; exit 3"},
        ended);
    EXPECT_FALSE(ended.has_value()) << "never reported inside start()";
    ASSERT_TRUE(waitUntil([&] { return ended.has_value(); }));
    EXPECT_EQ(ended->status, 3);
    EXPECT_EQ(ended->output, "one\ntwo\nlast\n");
    EXPECT_EQ(run.processId(), 0);

    // Could not start: 127 with the reason; an empty command likewise.
    ToolRun missing;
    std::optional<Ended> notStarted;
    startCollecting(missing, {"/nonexistent/tool", "-x"}, notStarted);
    EXPECT_FALSE(notStarted.has_value());
    ASSERT_TRUE(waitUntil([&] { return notStarted.has_value(); }));
    EXPECT_EQ(notStarted->status, ToolRun::kNotStarted);
    EXPECT_TRUE(notStarted->output.startsWith("Could not start /nonexistent/tool: "));
    ToolRun empty;
    std::optional<Ended> none;
    startCollecting(empty, {}, none);
    ASSERT_TRUE(waitUntil([&] { return none.has_value(); }));
    EXPECT_EQ(none->status, ToolRun::kNotStarted);
}

TEST(ToolRun, PauseStopAndTimeLimitReachTheWholeGroup)
{
    const QString dir = makeTempDir("toolrun");
    // A tool that ignores SIGTERM and has a child of its own.
    const QString script = "trap '' TERM; sleep 30 & echo $! > '%1'; wait";

    ToolRun run;
    std::optional<Ended> ended;
    startCollecting(run, {"/bin/sh", "-c", script.arg(dir + "/a")}, ended);
    ASSERT_TRUE(waitUntil([&] { return pidIn(dir + "/a") > 0; }));
    const qint64 shell = run.processId(), child = pidIn(dir + "/a");
    run.pause();
    ASSERT_TRUE(waitUntil([&] { return processStateLetter(child) == 'T'; }, 5000));
    EXPECT_TRUE(waitUntil([&] { return processStateLetter(shell) == 'T'; }, 5000));
    run.resume();
    ASSERT_TRUE(waitUntil([&] { return processStateLetter(child) != 'T'; }, 5000));
    run.stop(300);
    EXPECT_FALSE(ended.has_value()) << "stop() never waits for the tool";
    ASSERT_TRUE(waitUntil([&] { return ended.has_value(); }, 10000));
    EXPECT_EQ(ended->status, 9) << "killed once the grace period was over";
    EXPECT_TRUE(waitUntil([&] { return hasEnded(child); }, 5000));

    ToolRun limited;
    limited.setTimeLimit(300);
    std::optional<Ended> late;
    startCollecting(limited, {"/bin/sh", "-c", script.arg(dir + "/b")}, late);
    ASSERT_TRUE(waitUntil([&] { return late.has_value(); }, 10000));
    EXPECT_TRUE(limited.timedOut());
    EXPECT_TRUE(waitUntil([&] { return hasEnded(pidIn(dir + "/b")); }, 5000));

    // A discarded run tells nobody, ends its tool and deletes itself.
    QPointer<ToolRun> discarded = new ToolRun;
    discarded->start({"/bin/sh", "-c", script.arg(dir + "/c")});
    ASSERT_TRUE(waitUntil([&] { return pidIn(dir + "/c") > 0; }));
    bool reported = false;
    QObject::connect(discarded, &ToolRun::finished, [&reported] { reported = true; });
    discarded->discard();
    EXPECT_TRUE(waitUntil([&] { return discarded.isNull(); }, 10000));
    EXPECT_TRUE(waitUntil([&] { return hasEnded(pidIn(dir + "/c")); }, 5000));
    EXPECT_FALSE(reported);
}
