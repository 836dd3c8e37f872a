#include "foundation/Dispatch.h"

#include "TestSupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <atomic>
#include <gtest/gtest.h>
#include <limits>
#include <thread>

TEST(Dispatch, AfterMainRunsNoEarlierThanTheDelayAndOnTheMainThread)
{
    QElapsedTimer clock;
    std::atomic<qint64> elapsed{-1};
    std::atomic<bool> onMain{false};
    clock.start();
    dispatch_after_main(
        [&] {
            elapsed = clock.elapsed();
            onMain = isMainThread();
        },
        0.1f);
    ASSERT_TRUE(waitUntil([&] { return elapsed.load() >= 0; }, 10000));
    EXPECT_GE(elapsed.load(), 100);
    EXPECT_TRUE(onMain.load());

    // Asked from a background thread, the delay holds all the same.
    elapsed = -1;
    std::thread asker([&] {
        clock.restart();
        dispatch_after_main([&] { elapsed = clock.elapsed(); }, 0.1f);
    });
    asker.join();
    ASSERT_TRUE(waitUntil([&] { return elapsed.load() >= 0; }, 10000));
    EXPECT_GE(elapsed.load(), 100);

    // A zero, negative or NaN delay runs at the next turn of the loop, not at
    // once; an infinite or huge one waits as long as a timer can.
    bool ran = false;
    dispatch_after_main([&] { ran = true; }, -1.0f);
    EXPECT_FALSE(ran);
    ASSERT_TRUE(waitUntil([&] { return ran; }, 10000));
    ran = false;
    dispatch_after_main([&] { ran = true; }, std::numeric_limits<float>::quiet_NaN());
    ASSERT_TRUE(waitUntil([&] { return ran; }, 10000));
    std::atomic<int> late{0};
    dispatch_after_main([&] { ++late; }, std::numeric_limits<float>::infinity());
    dispatch_after_main([&] { ++late; }, 3e38f);
    dispatch_after_back([&] { ++late; }, std::numeric_limits<float>::infinity());
    ran = false;
    dispatch_after_main([&] { ran = true; }, 0.05f);
    ASSERT_TRUE(waitUntil([&] { return ran; }, 10000));
    EXPECT_EQ(late.load(), 0);
}

TEST(Dispatch, AsyncMainFromABackgroundThreadRunsOnTheMainThread)
{
    std::atomic<bool> ran{false};
    std::atomic<bool> onMain{false};
    std::atomic<bool> returned{false};
    std::thread worker([&] {
        dispatch_async_main([&] {
            onMain = isMainThread();
            ran = true;
        });
        returned = true;
    });
    worker.join();
    EXPECT_TRUE(returned.load());
    EXPECT_FALSE(ran.load()); // nothing runs until the main loop turns
    ASSERT_TRUE(waitUntil([&] { return ran.load(); }, 10000));
    EXPECT_TRUE(onMain.load());
}

TEST(Dispatch, SyncCallsWait)
{
    // sync_back waits for the block, which runs off the main thread.
    std::atomic<bool> done{false};
    std::atomic<bool> onMain{true};
    dispatch_sync_back([&] {
        QThread::msleep(50);
        onMain = isMainThread();
        done = true;
    });
    EXPECT_TRUE(done.load());
    EXPECT_FALSE(onMain.load());

    // sync_main on the main thread runs at once instead of waiting for itself.
    bool ranAtOnce = false;
    dispatch_sync_main([&] { ranAtOnce = true; });
    EXPECT_TRUE(ranAtOnce);

    // sync_main from a background thread waits until the main thread ran it.
    std::atomic<bool> mainRan{false};
    std::atomic<bool> sawMainRan{false};
    std::atomic<bool> workerDone{false};
    std::thread worker([&] {
        dispatch_sync_main([&] { mainRan = isMainThread(); });
        sawMainRan = mainRan.load();
        workerDone = true;
    });
    ASSERT_TRUE(waitUntil([&] { return workerDone.load(); }, 10000));
    worker.join();
    EXPECT_TRUE(sawMainRan.load());

    // async_back and after_back run on the pool.
    std::atomic<int> backRuns{0};
    dispatch_async_back([&] {
        if (!isMainThread())
            ++backRuns;
    });
    dispatch_after_back(
        [&] {
            if (!isMainThread())
                ++backRuns;
        },
        0.05f);
    EXPECT_TRUE(waitUntil([&] { return backRuns.load() == 2; }, 10000));
}
