#include "foundation/ProcessRunner.h"

#include "TestSupport.h"

#include <QDir>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

TEST(ProcessRunner, StandardErrorIsPartOfTheOutput)
{
    qint64 status = -1;
    const auto out = runAsTaskWithTerminationStatus({"/bin/sh", "-c", "echo oops >&2"}, &status);
    ASSERT_TRUE(out.has_value());
    EXPECT_EQ(*out, "oops\n");
    EXPECT_EQ(status, 0);

    // Both streams share one pipe, so the order of writing is kept.
    const auto mixed = runAsTask({"/bin/sh", "-c", "echo a; echo b >&2; echo c"});
    ASSERT_TRUE(mixed.has_value());
    EXPECT_EQ(*mixed, "a\nb\nc\n");

    const auto silent = runAsTask({"/bin/true"});
    ASSERT_TRUE(silent.has_value());
    EXPECT_TRUE(silent->isEmpty());
}

TEST(ProcessRunner, LargeOutputComesBackWhole)
{
    qint64 status = -1;
    const auto out = runAsTaskWithTerminationStatus(
        {"/bin/sh", "-c", "head -c 3000000 /dev/zero | tr '\\0' a; echo end >&2"}, &status);
    ASSERT_TRUE(out.has_value());
    EXPECT_EQ(status, 0);
    ASSERT_EQ(out->size(), 3000000 + 4);
    EXPECT_EQ(out->count(u'a'), 3000000);
    EXPECT_TRUE(out->endsWith("end\n"));
}

TEST(ProcessRunner, InvalidUtf8IsAbsentButTheStatusArrives)
{
    qint64 status = -1;
    const auto out =
        runAsTaskWithTerminationStatus({"/bin/sh", "-c", "printf '\\377\\376'; exit 3"}, &status);
    EXPECT_FALSE(out.has_value());
    EXPECT_EQ(status, 3);

    // Valid multi-byte text decodes.
    const auto text = runAsTask({"/usr/bin/printf", "%s",
                                 "Gr\xc3\xbc\xc3\x9f"
                                 "e \xe2\x80\xa6"});
    ASSERT_TRUE(text.has_value());
    EXPECT_EQ(*text, QString::fromUtf8("Grüße …"));
}

TEST(ProcessRunner, StatusOfAChildKilledBySignalIsTheSignalNumber)
{
    qint64 status = -1;
    const auto out =
        runAsTaskWithTerminationStatus({"/bin/sh", "-c", "echo before; kill -9 $$"}, &status);
    ASSERT_TRUE(out.has_value());
    EXPECT_EQ(*out, "before\n");
    EXPECT_EQ(status, 9);

    runAsTaskWithTerminationStatus({"/bin/sh", "-c", "kill -TERM $$"}, &status);
    EXPECT_EQ(status, 15);

    // A negative exit status is widened with its sign; sh can only give 0..255.
    runAsTaskWithTerminationStatus({"/bin/sh", "-c", "exit 255"}, &status);
    EXPECT_EQ(status, 255);
}

TEST(ProcessRunner, MissingOrUnrunnableExecutableIsAbsentWithNonZeroStatus)
{
    qint64 status = 0;
    EXPECT_FALSE(runAsTaskWithTerminationStatus({"/nonexistent/tool", "-x"}, &status));
    EXPECT_NE(status, 0);

    status = 0;
    EXPECT_FALSE(runAsTaskWithTerminationStatus({QDir::tempPath()}, &status));
    EXPECT_NE(status, 0);

    status = 0;
    EXPECT_FALSE(runAsTaskWithTerminationStatus({}, &status));
    EXPECT_NE(status, 0);

    // No status location: still no crash.
    EXPECT_FALSE(runAsTask({"/nonexistent/tool"}));
}

TEST(ProcessRunner, ArgumentsArePassedLiterallyWithoutAShell)
{
    const QStringList args{"/usr/bin/printf", "%s|", "two words", "'single' \"double\"",
                           "$HOME",           "*",   "a;b",       "",
                           "back\\slash"};
    const auto out = runAsTask(args);
    ASSERT_TRUE(out.has_value());
    EXPECT_EQ(*out, "two words|'single' \"double\"|$HOME|*|a;b||back\\slash|");
}

TEST(ProcessRunner, RunsInParallelFromSeveralThreads)
{
    constexpr int kThreads = 6;
    std::vector<std::thread> threads;
    std::vector<QString> results(kThreads);
    std::vector<qint64> statuses(kThreads, -1);
    std::atomic<int> absent{0};
    for (int i = 0; i < kThreads; ++i) {
        threads.emplace_back([i, &results, &statuses, &absent] {
            const auto out = runAsTaskWithTerminationStatus(
                {"/bin/sh", "-c", QString("sleep 0.2; echo thread %1; exit %1").arg(i)},
                &statuses[i]);
            if (out)
                results[i] = *out;
            else
                ++absent;
        });
    }
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(absent.load(), 0);
    for (int i = 0; i < kThreads; ++i) {
        EXPECT_EQ(results[i], QString("thread %1\n").arg(i));
        EXPECT_EQ(statuses[i], i);
    }
}
