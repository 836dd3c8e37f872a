#include "foundation/BoundedTask.h"

#include "TestSupport.h"

#include <QFile>
#include <gtest/gtest.h>
#include <thread>

namespace {

// Running or sleeping; a zombie waiting to be reaped counts as ended.
bool alive(qint64 pid)
{
    QFile stat(QString("/proc/%1/stat").arg(pid));
    if (pid <= 0 || !stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray text = stat.readAll();
    const qsizetype close = text.lastIndexOf(')');
    return close > 0 && close + 2 < text.size() && text.at(close + 2) != 'Z';
}

qint64 pidFrom(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll().trimmed().toLongLong() : 0;
}

} // namespace

TEST(BoundedTask, OutputIsReadLenientlyAndToolsRunTogether)
{
    // Latin-1 bytes in the middle cost one character, not the whole text.
    const BoundedTaskResult latin =
        runBoundedTask({"/bin/sh", "-c", "printf 'title: Caf\\351\\nStream #0:0'; exit 3"}, 5000);
    EXPECT_TRUE(latin.started);
    EXPECT_EQ(latin.status, 3);
    EXPECT_EQ(latin.output, QString::fromUtf8("title: Caf\xef\xbf\xbd\nStream #0:0"));

    // Each waits for the other's file: run one after the other, both would
    // run into the time limit.
    const QString dir = makeTempDir("together");
    const QList<BoundedTaskResult> both = runBoundedTasks(
        {{"/bin/sh", "-c",
          "touch " + dir + "/a; while [ ! -e " + dir + "/b ]; do sleep 0.01; done"},
         {"/bin/sh", "-c",
          "touch " + dir + "/b; while [ ! -e " + dir + "/a ]; do sleep 0.01; done"}},
        20000);
    ASSERT_EQ(both.size(), 2);
    for (const BoundedTaskResult& r : both) {
        EXPECT_FALSE(r.timedOut);
        EXPECT_EQ(r.status, 0);
    }

    const BoundedTaskResult missing = runBoundedTask({"/nonexistent/tool"}, 1000);
    EXPECT_FALSE(missing.started);
    EXPECT_EQ(missing.status, 127);
}

TEST(BoundedTask, TimeoutAndCancelEndTheWholeGroup)
{
    // The tool leaves a grandchild running that holds the output open.
    const QString dir = makeTempDir("bounded");
    const QString script = "sleep 300 & echo $! > " + dir + "/%1; echo started; wait";
    const BoundedTaskResult slow = runBoundedTask({"/bin/sh", "-c", script.arg("slow")}, 300);
    EXPECT_TRUE(slow.timedOut);
    EXPECT_FALSE(slow.cancelled);
    EXPECT_EQ(slow.output, "started\n");
    EXPECT_TRUE(waitUntil([&] { return !alive(pidFrom(dir + "/slow")); }, 5000));

    BoundedTaskResult cancelled;
    std::thread worker([&] { cancelled = runBoundedTask({"/bin/sh", "-c", script.arg("c")}, 0); });
    ASSERT_TRUE(waitUntil([&] { return pidFrom(dir + "/c") > 0; }, 10000));
    cancelBoundedTasks();
    worker.join();
    EXPECT_TRUE(cancelled.cancelled);
    EXPECT_FALSE(cancelled.timedOut);
    EXPECT_TRUE(waitUntil([&] { return !alive(pidFrom(dir + "/c")); }, 5000));

    // Later tasks run normally.
    EXPECT_EQ(runBoundedTask({"/bin/echo", "again"}, 5000).output, "again\n");
}
