#include "shell/AppDelegate.h"

#include "common/JobTestKit.h"
#include "common/MovieFactory.h"
#include "common/TestSupport.h"
#include "engine/ConversionJob.h"
#include "engine/JobState.h"
#include "foundation/SettingsAccess.h"
#include "foundation/SettingsKeys.h"
#include "shell/JobQueue.h"
#include "shell/OutputName.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <gtest/gtest.h>

// The queue with real jobs: which job runs when, the window title and the
// pause/resume controls, quitting, clean-up and destinations.

namespace {

class Queue : public ConversionTestBase
{
protected:
    // A two-second movie, or a 30-second one converted at its own pace when
    // its name contains "Slow".
    QString movie(const QString& name, const QString& folder = {})
    {
        MovieRecipe movie;
        movie.path = (folder.isEmpty() ? dir() : folder) + "/" + name;
        movie.seconds = name.contains("Slow") ? 30 : 2;
        movie.audio = {AudioRecipe{}};
        EXPECT_TRUE(makeMovie(movie));
        return movie.path;
    }

    QPointer<ConversionJob> add(const QString& name)
    {
        const QString source = movie(name);
        QPointer<ConversionJob> job = makeJob(source, dir() + "/" + outputFileName(name, 0));
        EXPECT_TRUE(delegate->addJob(job));
        return job;
    }

    static bool ended(const QPointer<ConversionJob>& job)
    {
        return job && (job->state() == JobFinished || job->state() == JobFailed);
    }

    static void idle(int ms)
    {
        QDeadlineTimer deadline(ms);
        waitUntil([&] { return deadline.hasExpired(); }, ms + 1000);
    }

    void expectRunningControls()
    {
        EXPECT_FALSE(delegate->queue().paused());
        EXPECT_EQ(delegate->pauseContinueTitle(), "Pause Queue");
        EXPECT_EQ(delegate->pauseContinueImage(), "toolbar_pause");
        EXPECT_EQ(delegate->addButtonTitle(), "Start Conversion");
    }

    void expectPausedControls()
    {
        EXPECT_TRUE(delegate->queue().paused());
        EXPECT_EQ(delegate->pauseContinueTitle(), "Resume Queue");
        EXPECT_EQ(delegate->pauseContinueImage(), "toolbar_start");
        EXPECT_EQ(delegate->addButtonTitle(), "Add to Queue");
    }

    QObject toolbar; // the sender of the pause/resume command
};

} // namespace

TEST_F(Queue, PausingAnIdleQueueOnlyFlipsTheControls)
{
    EXPECT_EQ(delegate->queue().windowTitle(), "Vantreo ");
    expectRunningControls();
    delegate->pauseContinueClicked(nullptr); // a job's refresh never pauses
    expectRunningControls();

    delegate->pauseContinueClicked(&toolbar);
    expectPausedControls();
    EXPECT_EQ(delegate->queue().windowTitle(), "Vantreo (Paused)");

    delegate->pauseContinueClicked(&toolbar);
    expectRunningControls();
    EXPECT_EQ(delegate->queue().windowTitle(), "Vantreo ");
}

TEST_F(Queue, JobAddedWhilePausedWaitsUntilResumed)
{
    delegate->pauseContinueClicked(&toolbar);
    QPointer<ConversionJob> a = add("A.mkv");
    QPointer<ConversionJob> b = add("B.mkv");
    EXPECT_EQ(delegate->queue().windowTitle(), "Vantreo (Paused) [2 Job(s), 2 Queued]");
    idle(1200);
    EXPECT_EQ(a->state(), JobQueued);
    EXPECT_EQ(b->state(), JobQueued);
    EXPECT_EQ(a->stateInfoString(), "Status: Queued");

    delegate->pauseContinueClicked(&toolbar);
    EXPECT_EQ(a->state(), JobConverting) << "the first in list order";
    EXPECT_EQ(b->state(), JobQueued);
    ASSERT_TRUE(waitUntil([&] { return ended(a) && ended(b); }));
    EXPECT_EQ(a->state(), JobFinished);
    EXPECT_EQ(b->state(), JobFinished);
    EXPECT_EQ(delegate->queue().windowTitle(), "Vantreo  [2 Job(s), 0 Queued]");
}

TEST_F(Queue, StartNextContinuesAnIndividuallyPausedJobFirst)
{
    installFakeTools();
    QPointer<ConversionJob> a = add("SlowA.mkv");
    QPointer<ConversionJob> b = add("B.mkv");
    ASSERT_EQ(a->state(), JobConverting);
    ASSERT_EQ(b->state(), JobQueued);
    a->pause();
    EXPECT_FALSE(delegate->queue().paused()) << "pausing one job leaves the queue running";
    delegate->startNextJobInQueue();
    EXPECT_EQ(a->state(), JobConverting);
    EXPECT_EQ(b->state(), JobQueued);
}

TEST_F(Queue, ResumingContinuesThePausedJob)
{
    installFakeTools();
    QPointer<ConversionJob> a = add("SlowA.mkv");
    QPointer<ConversionJob> b = add("B.mkv");
    delegate->pauseContinueClicked(&toolbar);
    EXPECT_EQ(a->state(), JobPaused);
    EXPECT_EQ(delegate->queue().windowTitle(), "Vantreo (Paused) [2 Job(s), 1 Queued]");
    delegate->pauseContinueClicked(&toolbar);
    EXPECT_EQ(a->state(), JobConverting);
    EXPECT_EQ(b->state(), JobQueued);
    EXPECT_EQ(delegate->queue().windowTitle(), "Vantreo  [2 Job(s), 1 Queued]");
}

TEST_F(Queue, TitleCountsJobsAndQueuedOnes)
{
    installFakeTools();
    QPointer<ConversionJob> done = add("Done.mkv");
    ASSERT_TRUE(waitUntil([&] { return ended(done); }));
    QPointer<ConversionJob> slow = add("Slow.mkv");
    QPointer<ConversionJob> waiting = add("Waiting.mkv");
    EXPECT_EQ(slow->state(), JobConverting);
    EXPECT_EQ(delegate->queue().windowTitle(), "Vantreo  [3 Job(s), 1 Queued]");
    delegate->pauseContinueClicked(&toolbar);
    EXPECT_EQ(delegate->queue().windowTitle(), "Vantreo (Paused) [3 Job(s), 1 Queued]");
}

TEST_F(Queue, CleanUpRemovesFinishedJobsOnlyAndStartsAWaitingOne)
{
    installFakeTools();
    QPointer<ConversionJob> done = add("Done.mkv");
    ASSERT_TRUE(waitUntil([&] { return ended(done); }));
    QPointer<ConversionJob> broken = add("Broken.mkv");
    ASSERT_TRUE(waitUntil([&] { return ended(broken); }));
    ASSERT_EQ(broken->state(), JobFailed);
    // A job left waiting while nothing converts: added to a paused queue
    // that a job's refresh (no sender) then un-paused without starting it.
    delegate->pauseContinueClicked(&toolbar);
    QPointer<ConversionJob> waiting = add("Waiting.mkv");
    delegate->pauseContinueClicked(nullptr);
    EXPECT_FALSE(delegate->queue().paused());
    EXPECT_EQ(waiting->state(), JobQueued);

    const QString output = done->destinationPath();
    delegate->cleanClicked();
    EXPECT_EQ(delegate->taskArray().size(), 2);
    EXPECT_FALSE(delegate->taskArray().contains(done.data()));
    EXPECT_TRUE(delegate->taskArray().contains(broken.data()));
    EXPECT_TRUE(QFile::exists(output)) << "a finished output stays";
    EXPECT_EQ(waiting->state(), JobConverting);
    ASSERT_TRUE(waitUntil([&] { return ended(waiting); }));
    EXPECT_EQ(waiting->state(), JobFinished);
}

TEST_F(Queue, QuittingWithOnlyWaitingJobsAsksNothingAndRemovesThem)
{
    installFakeTools();
    QPointer<ConversionJob> a = add("SlowA.mkv");
    // The tool starts once the journal naming its files is on the disk.
    ASSERT_TRUE(waitUntil([&] { return a->processId() > 0; }, 10000));
    const qint64 pid = a->processId();
    QPointer<ConversionJob> b = add("B.mkv");
    delegate->pauseContinueClicked(&toolbar);
    ASSERT_EQ(a->state(), JobPaused);
    ASSERT_EQ(b->state(), JobQueued);
    const QString outputA = a->destinationPath();

    EXPECT_TRUE(delegate->applicationShouldTerminate());
    EXPECT_TRUE(alerts->shown.isEmpty());
    delegate->applicationWillTerminate();
    EXPECT_TRUE(delegate->taskArray().isEmpty());
    // The tool is told to end and never waited for: it goes meanwhile.
    EXPECT_TRUE(waitUntil([&] { return processGone(pid); }, 10000));
    EXPECT_FALSE(QFile::exists(outputA));
    EXPECT_TRUE(temporaryEntries().isEmpty()) << temporaryEntries().join(", ").toStdString();
}

TEST_F(Queue, QuittingWhileConvertingAsksFirst)
{
    installFakeTools();
    QPointer<ConversionJob> a = add("SlowA.mkv");
    // The tool starts once the journal naming its files is on the disk.
    ASSERT_TRUE(waitUntil([&] { return a->processId() > 0; }, 10000));
    const qint64 pid = a->processId();
    ASSERT_EQ(a->state(), JobConverting);

    alerts->answers = {kAlertAlternate};
    EXPECT_FALSE(delegate->applicationShouldTerminate());
    ASSERT_EQ(alerts->shown.size(), 1);
    EXPECT_EQ(alerts->shown[0].title, "Vantreo");
    EXPECT_EQ(alerts->shown[0].message,
              "Conversion is in progresss. Are you sure you want to quit?");
    EXPECT_EQ(alerts->shown[0].defaultButton, "Quit");
    EXPECT_EQ(alerts->shown[0].alternateButton, "Cancel");
    EXPECT_EQ(a->state(), JobConverting) << "Cancel leaves the queue alone";

    alerts->answers = {kAlertDefault};
    EXPECT_TRUE(delegate->applicationShouldTerminate());
    delegate->applicationWillTerminate();
    EXPECT_TRUE(delegate->taskArray().isEmpty());
    // The tool is told to end and never waited for: it goes meanwhile.
    EXPECT_TRUE(waitUntil([&] { return processGone(pid); }, 10000));
}

TEST_F(Queue, ContinuingAJobOfAPausedQueueShowsARunningQueue)
{
    installFakeTools();
    QPointer<ConversionJob> a = add("SlowA.mkv");
    QPointer<ConversionJob> b = add("B.mkv");
    delegate->pauseContinueClicked(&toolbar);
    ASSERT_EQ(a->state(), JobPaused);
    a->continueJob();
    EXPECT_EQ(a->state(), JobConverting);
    expectRunningControls();
    EXPECT_EQ(b->state(), JobQueued) << "nothing else is started";
    EXPECT_EQ(delegate->queue().windowTitle(), "Vantreo  [2 Job(s), 1 Queued]");
}

TEST_F(Queue, AutoCleanRemovesAFinishedJobAndKeepsItsOutput)
{
    setDefaultInt(kAutoCleanKey, 1);
    QPointer<ConversionJob> a = add("A.mkv");
    QPointer<ConversionJob> b = add("B.mkv");
    const QString outputA = a->destinationPath();
    const QString outputB = b->destinationPath();
    ASSERT_TRUE(waitUntil([&] { return delegate->taskArray().isEmpty(); }));
    EXPECT_TRUE(QFile::exists(outputA));
    EXPECT_TRUE(QFile::exists(outputB));
    ASSERT_EQ(notifier->delivered.size(), 2);
    EXPECT_EQ(notifier->delivered[0].path, outputA);
    EXPECT_EQ(notifier->delivered[1].path, outputB);
    EXPECT_EQ(delegate->queue().windowTitle(), "Vantreo ");
    EXPECT_TRUE(temporaryEntries().isEmpty());
}

TEST_F(Queue, RemovingTheConvertingJobStartsTheNext)
{
    installFakeTools();
    QPointer<ConversionJob> a = add("SlowA.mkv");
    QPointer<ConversionJob> b = add("B.mkv");
    ASSERT_EQ(b->state(), JobQueued);
    a->remove();
    EXPECT_EQ(b->state(), JobConverting);
    EXPECT_EQ(delegate->taskArray().size(), 1);
    ASSERT_TRUE(waitUntil([&] { return ended(b); }));
    EXPECT_EQ(b->state(), JobFinished);
}

TEST_F(Queue, SameNamedMoviesGetDistinctOutputs)
{
    const QString first = movie("Film.mkv", makeTempDir("one"));
    const QString second = movie("Film.mkv", makeTempDir("two"));
    const QString out = makeTempDir("out");

    const QString destA = uniqueDestination(out, outputFileName("Film.mkv", 0),
                                            delegate->queue().queuedDestinations());
    QPointer<ConversionJob> a = makeJob(first, destA);
    ASSERT_TRUE(delegate->addJob(a));
    const QString destB = uniqueDestination(out, outputFileName("Film.mkv", 0),
                                            delegate->queue().queuedDestinations());
    QPointer<ConversionJob> b = makeJob(second, destB);
    ASSERT_TRUE(delegate->addJob(b));
    EXPECT_EQ(destA, out + "/Film.mp4");
    EXPECT_EQ(destB, out + "/Film-0.mp4");

    ASSERT_TRUE(waitUntil([&] { return ended(a) && ended(b); }));
    EXPECT_EQ(a->state(), JobFinished);
    EXPECT_EQ(b->state(), JobFinished);
    EXPECT_EQ(probeStreams(destA).size(), 2);
    EXPECT_EQ(probeStreams(destB).size(), 2);
    EXPECT_TRUE(temporaryEntries().isEmpty());
}

TEST_F(Queue, UnwritableDestinationIsRefused)
{
    const QString source = movie("Movie.mkv");
    const QString taken = dir() + "/Taken.mp4";
    QFile existing(taken);
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.write("keep");
    existing.close();
    int cancelled = 0;
    delegate->setCancelAddHandler([&] { ++cancelled; });

    for (const QString& dest : {dir() + "/missing-folder/Movie.mp4", taken}) {
        alerts->shown.clear();
        EXPECT_FALSE(delegate->addJob(makeJob(source, dest))) << dest.toStdString();
        ASSERT_EQ(alerts->shown.size(), 1);
        EXPECT_EQ(alerts->shown[0].title, "Vantreo");
        EXPECT_EQ(alerts->shown[0].message,
                  "You don't seem to have write access to the selected destinatation or it is a "
                  "read-only filesystem. Please choose another destination.");
        EXPECT_EQ(alerts->shown[0].defaultButton, "OK");
    }
    EXPECT_GE(alerts->activations, 2);
    EXPECT_EQ(cancelled, 2);
    EXPECT_TRUE(delegate->taskArray().isEmpty());
    EXPECT_EQ(delegate->queue().windowTitle(), "Vantreo ");
    QFile check(taken);
    ASSERT_TRUE(check.open(QIODevice::ReadOnly));
    EXPECT_EQ(check.readAll(), "keep");
}
