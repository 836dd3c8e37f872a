#include "common/JobTestKit.h"
#include "common/MovieFactory.h"
#include "common/TestSupport.h"
#include "engine/ConversionJob.h"
#include "engine/JobState.h"
#include "shell/AppDelegate.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <gtest/gtest.h>

// Pause, continue and remove on a real running ffmpeg. The movie is
// converted at its own pace (ffmpeg -re) so that there is time to act.

namespace {

class JobControl : public ConversionTestBase
{
protected:
    // Starts a movie converted at its own pace and waits until its tool
    // reports progress.
    void startSlowJob(const QString& codec = "aac", int seconds = 60)
    {
        MovieRecipe movie;
        movie.path = dir() + "/Slow.mkv";
        movie.seconds = seconds;
        AudioRecipe audio;
        audio.codec = codec;
        movie.audio = {audio};
        ASSERT_TRUE(makeMovie(movie));
        installFakeTools();
        job = makeJob(movie.path, dir() + "/Slow.mp4");
        ASSERT_TRUE(delegate->addJob(job));
        ASSERT_EQ(job->state(), JobConverting);
        ASSERT_GT(job->processId(), 0);
        ASSERT_TRUE(waitUntil([&] { return job->progress() > 0; }, 20000));
        // The AAC trial runs first; the tool that reports progress converts.
        pid = job->processId();
        ASSERT_GT(pid, 0);
    }

    // Pumps the event loop for a while.
    static void idle(int ms)
    {
        QDeadlineTimer deadline(ms);
        waitUntil([&] { return deadline.hasExpired(); }, ms + 1000);
    }

    void expectNothingLeft(const QString& destination)
    {
        EXPECT_TRUE(delegate->taskArray().isEmpty());
        // The tool is told to end and never waited for: it goes meanwhile.
        EXPECT_TRUE(waitUntil([&] { return processGone(pid); }, 10000))
            << "state " << processStateLetter(pid);
        EXPECT_FALSE(QFile::exists(destination));
        EXPECT_TRUE(documentsEntries().isEmpty()) << documentsEntries().join(", ").toStdString();
        EXPECT_TRUE(inhibitor->held.isEmpty());
        // A removed job's tool never reaches the completion steps.
        idle(500);
        EXPECT_TRUE(notifier->delivered.isEmpty());
    }

    QPointer<ConversionJob> job;
    qint64 pid = 0;
};

} // namespace

TEST_F(JobControl, PausedJobStopsAndContinuesWhereItWas)
{
    ASSERT_NO_FATAL_FAILURE(startSlowJob());
    EXPECT_FALSE(inhibitor->held.isEmpty()) << "no idle sleep while converting";
    job->pause();
    EXPECT_EQ(job->state(), JobPaused);
    EXPECT_EQ(job->stateInfoString(), "Status: Paused");
    EXPECT_TRUE(inhibitor->held.isEmpty());
    ASSERT_TRUE(waitUntil([&] { return processStateLetter(pid) == 'T'; }, 5000));
    const float paused = job->progress();
    idle(2000);
    EXPECT_EQ(job->progress(), paused);
    EXPECT_EQ(processStateLetter(pid), 'T');

    job->continueJob();
    EXPECT_EQ(job->state(), JobConverting);
    EXPECT_FALSE(inhibitor->held.isEmpty());
    ASSERT_TRUE(waitUntil([&] { return processStateLetter(pid) != 'T'; }, 5000));
    const char running = processStateLetter(pid);
    EXPECT_TRUE(running == 'R' || running == 'S') << running;
    EXPECT_TRUE(waitUntil([&] { return job->progress() > paused; }, 10000));

    const QString destination = job->destinationPath();
    job->remove();
    expectNothingLeft(destination);
}

TEST_F(JobControl, RemovingAPausedJobEndsItsTool)
{
    ASSERT_NO_FATAL_FAILURE(startSlowJob());
    job->pause();
    ASSERT_TRUE(waitUntil([&] { return processStateLetter(pid) == 'T'; }, 5000));
    const QString destination = job->destinationPath();
    job->remove();
    expectNothingLeft(destination);
}

TEST_F(JobControl, RemovingARunningJobEndsItsToolAndKeepsTheUsersFile)
{
    ASSERT_NO_FATAL_FAILURE(startSlowJob());
    const QString destination = job->destinationPath();
    // ffmpeg writes a hidden file beside the destination; nothing carries
    // the movie's name until it is finished.
    const QString partial = job->partialFile();
    EXPECT_EQ(partial, dir() + "/.Slow.mp4.partial.mp4");
    ASSERT_TRUE(waitUntil([&] { return QFileInfo(partial).size() > 0; }, 10000));
    EXPECT_FALSE(QFile::exists(destination));
    // A file the user puts at the destination meanwhile is never touched.
    QFile mine(destination);
    ASSERT_TRUE(mine.open(QIODevice::WriteOnly));
    mine.write("mine");
    mine.close();
    job->remove();
    EXPECT_FALSE(QFile::exists(partial));
    ASSERT_TRUE(mine.open(QIODevice::ReadOnly));
    EXPECT_EQ(mine.readAll(), "mine");
    mine.close();
    ASSERT_TRUE(QFile::remove(destination));
    expectNothingLeft(destination);
}

TEST_F(JobControl, RemovingAThreeProcessJobDeletesItsTemporaryAudio)
{
    ASSERT_NO_FATAL_FAILURE(startSlowJob("libmp3lame"));
    ASSERT_TRUE(job->multiConversion());
    EXPECT_TRUE(documentsEntries().contains("Slow.mkv.tmp.wav"))
        << documentsEntries().join(", ").toStdString();
    const QString destination = job->destinationPath();
    job->remove();
    expectNothingLeft(destination);
}

TEST_F(JobControl, PausedThreeProcessJobFinishesAfterContinue)
{
    ASSERT_NO_FATAL_FAILURE(startSlowJob("libmp3lame", 5));
    job->pause();
    ASSERT_TRUE(waitUntil([&] { return processStateLetter(pid) == 'T'; }, 5000));
    idle(1000);
    job->continueJob();
    ASSERT_TRUE(waitUntil([&] { return job->state() != JobConverting; }, 60000));
    EXPECT_EQ(job->state(), JobFinished) << job->jobOutput().toStdString();
    EXPECT_EQ(job->conversionStage(), 2);
    const QJsonArray st = probeStreams(job->destinationPath());
    ASSERT_EQ(st.size(), 2);
    EXPECT_EQ(streamValue(st[1], "codec_name"), "aac");
    EXPECT_TRUE(documentsEntries().isEmpty()) << documentsEntries().join(", ").toStdString();
    EXPECT_TRUE(inhibitor->held.isEmpty());
}
