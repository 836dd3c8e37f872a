#include "ShellTestKit.h"
#include "common/MovieFactory.h"
#include "common/TestSupport.h"
#include "engine/ConversionJob.h"
#include "engine/JobState.h"
#include "foundation/PathHelpers.h"
#include "foundation/SettingsAccess.h"
#include "foundation/SettingsKeys.h"
#include "shell/AppDelegate.h"
#include "shell/JobQueue.h"

#include <QDir>
#include <QFile>
#include <QPointer>
#include <gtest/gtest.h>

// The desktop's queue outlives its run: quit in the middle of a conversion,
// started again, continued, and started once more after the jobs ended.

namespace {

class RestoredQueue : public ShellTest
{
protected:
    QString movieOf(const QString& name, int seconds)
    {
        MovieRecipe recipe;
        recipe.path = dir() + "/" + name;
        recipe.seconds = seconds;
        recipe.audio = {AudioRecipe{}};
        EXPECT_TRUE(makeMovie(recipe)) << qPrintable(name);
        return recipe.path;
    }

    // Quits as the desktop does, then starts a new run and waits until the
    // saved queue of `count` jobs is back.
    void relaunch(qsizetype count)
    {
        delegate->applicationWillTerminate();
        delegate.reset();
        delegate = std::make_unique<AppDelegate>();
        delegate->applicationDidFinishLaunching();
        ASSERT_TRUE(waitUntil([&] { return delegate->taskArray().size() == count; }));
    }

    static QStringList entries(const QString& folder)
    {
        return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }
};

} // namespace

TEST_F(RestoredQueue, QuitMidConversionComesBackPausedAndConverts)
{
    installFakeTools();
    setDefaultInt(kWelcomeShownKey, 1);
    // The jobs are queued with the index after the media; the setting
    // changed later must not reach them.
    setDefaultInt(kStreamableOutputKey, 0);
    const QString out = makeTempDir("out");
    const QStringList movies = {movieOf("SlowFirst.mkv", 30), movieOf("Second.mkv", 2),
                                movieOf("Third.mkv", 2), movieOf("Gone.mkv", 2)};
    QStringList outputs;
    delegate->applicationDidFinishLaunching();
    for (const QString& movie : movies) {
        outputs.append(out + "/" + QFileInfo(movie).completeBaseName() + ".mp4");
        ASSERT_TRUE(delegate->addJob(makeJob(movie, outputs.last())));
    }
    ConversionJob* first = delegate->taskArray().first();
    ASSERT_TRUE(waitUntil([&] {
        return first->state() == JobConverting && first->processId() > 0 &&
               fileSize(first->partialFile()) > 0;
    }));
    const qint64 tool = first->processId();
    setDefaultInt(kStreamableOutputKey, 1);

    // Quit in the middle of the first conversion: the tool ends and nothing
    // is left at the destination.
    QFile::remove(movies.last());
    relaunch(4);
    EXPECT_TRUE(waitUntil([&] { return processGone(tool); }));
    EXPECT_EQ(entries(out), QStringList());

    // Three waiting movies are back, in their order, and wait for Continue;
    // the movie that is gone comes back Failed and says so.
    QList<QPointer<ConversionJob>> jobs;
    for (ConversionJob* job : delegate->taskArray())
        jobs.append(job);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(jobs[i]->state(), JobQueued) << i;
        EXPECT_EQ(jobs[i]->sourcePath(), movies[i]);
        EXPECT_EQ(jobs[i]->destinationPath(), outputs[i]);
        ASSERT_TRUE(jobs[i]->settingsSnapshot());
        EXPECT_EQ(jobs[i]->settingsSnapshot()->streamableOutput, 0);
    }
    EXPECT_EQ(jobs[3]->state(), JobFailed);
    EXPECT_EQ(jobs[3]->failureExplanationText(),
              QStringLiteral("The movie %1 no longer exists.").arg(movies[3]));
    EXPECT_TRUE(delegate->queue().paused());
    EXPECT_EQ(delegate->queue().windowTitle(), "Vantreo (Paused) [4 Job(s), 3 Queued]");
    EXPECT_EQ(delegate->statusNotice(),
              "3 movies from your last session are waiting; press Continue to convert them.");
    EXPECT_EQ(jobs[0]->processId(), 0);

    // Continued (the slow one removed first), the others convert with the
    // settings they were queued with, into whole files.
    jobs[0]->remove();
    QObject command;
    delegate->pauseContinueClicked(&command);
    EXPECT_EQ(delegate->statusNotice(), "");
    ASSERT_TRUE(waitForQueue());
    for (int i = 1; i < 3; ++i) {
        ASSERT_EQ(jobs[i]->state(), JobFinished) << jobs[i]->failureExplanationText().toStdString();
        EXPECT_FALSE(jobs[i]->arguments().contains("-moov_size"));
        const QJsonArray streams = probeStreams(outputs[i]);
        ASSERT_EQ(streams.size(), 2);
        EXPECT_EQ(streamValue(streams[0], "codec_type"), "video");
        EXPECT_EQ(streamValue(streams[1], "codec_type"), "audio");
    }
    EXPECT_EQ(entries(out), QStringList({"Second.mp4", "Third.mp4"}));

    // Ended jobs come back as they were; nothing waits, so the queue runs.
    QStringList shown;
    for (ConversionJob* job : delegate->taskArray())
        shown.append(job->stateInfoString() + job->failureExplanationText());
    relaunch(3);
    QStringList shownAgain;
    for (ConversionJob* job : delegate->taskArray())
        shownAgain.append(job->stateInfoString() + job->failureExplanationText());
    EXPECT_EQ(shownAgain, shown);
    EXPECT_FALSE(delegate->queue().paused());
    EXPECT_EQ(delegate->statusNotice(), "");
    EXPECT_EQ(entries(out), QStringList({"Second.mp4", "Third.mp4"}));
}
