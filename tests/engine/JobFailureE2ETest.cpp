#include "common/JobTestKit.h"
#include "common/MovieFactory.h"
#include "common/TestSupport.h"
#include "engine/ConversionJob.h"
#include "engine/ConversionStages.h"
#include "engine/JobState.h"
#include "foundation/SettingsAccess.h"
#include "foundation/SettingsKeys.h"
#include "shell/AppDelegate.h"
#include "shell/JobQueue.h"

#include <QDir>
#include <QFile>
#include <QPointer>
#include <QProcess>
#include <gtest/gtest.h>
#include <unistd.h>

// Jobs that end badly: a failing tool in each stage, a source that is gone
// before its turn, and a destination volume that fills up.

namespace {

class JobFailure : public ConversionTestBase
{
protected:
    QString movie(const QString& name, const QString& codec, int seconds = 2,
                  const QString& size = "160x120")
    {
        MovieRecipe movie;
        movie.path = dir() + "/" + name;
        movie.seconds = seconds;
        movie.size = size;
        AudioRecipe a;
        a.codec = codec;
        movie.audio = {a};
        EXPECT_TRUE(makeMovie(movie));
        return movie.path;
    }

    static bool ended(const QPointer<ConversionJob>& job)
    {
        return job && (job->state() == JobFinished || job->state() == JobFailed);
    }

    // The failed job as every failure must leave it, and the next job done.
    void expectFailedAndQueueMovedOn(ConversionJob* failed, ConversionJob* next)
    {
        EXPECT_EQ(failed->state(), JobFailed);
        EXPECT_TRUE(failed->finishedError());
        EXPECT_FALSE(failed->finishedOK());
        EXPECT_EQ(failed->progress(), 100.0f);
        EXPECT_TRUE(failed->stopDate().isValid());
        EXPECT_FALSE(QFile::exists(failed->destinationPath())) << "no partial output";
        EXPECT_FALSE(failed->failureExplanationText().isEmpty());
        EXPECT_TRUE(failed->stateInfoString().startsWith(
            "Status: Failed   Click the arrow at the right to get more information."));
        ASSERT_FALSE(notifier->delivered.isEmpty());
        EXPECT_EQ(notifier->delivered[0].title, "Vantreo Conversion Failed");
        EXPECT_EQ(notifier->delivered[0].informativeText,
                  "Vantreo has failed to convert the file " + failed->fileInfo()->fileName() + ".");
        EXPECT_TRUE(notifier->delivered[0].path.isEmpty());

        EXPECT_EQ(next->state(), JobFinished) << next->jobOutput().toStdString();
        EXPECT_TRUE(QFile::exists(next->destinationPath()));
        EXPECT_TRUE(temporaryEntries().isEmpty()) << temporaryEntries().join(", ").toStdString();
        EXPECT_TRUE(inhibitor->held.isEmpty());
    }

    // Queues the failing job and a good one behind it, waits for both.
    void runPair(ConversionJob* failing, ConversionJob* good)
    {
        QPointer<ConversionJob> a = failing, b = good;
        ASSERT_TRUE(delegate->addJob(failing));
        ASSERT_TRUE(delegate->addJob(good));
        EXPECT_EQ(good->state(), JobQueued) << "one job at a time";
        ASSERT_TRUE(waitUntil([&] { return ended(a) && ended(b); }));
    }
};

} // namespace

TEST_F(JobFailure, FailingFfmpegEndsTheJobAndTheQueueGoesOn)
{
    const QString bad = movie("Broken.mkv", "aac");
    const QString good = movie("Good.mkv", "aac");
    installFakeTools();
    ConversionJob* failing = makeJob(bad, dir() + "/Broken.mp4");
    ConversionJob* next = makeJob(good, dir() + "/Good.mp4");
    runPair(failing, next);
    expectFailedAndQueueMovedOn(failing, next);
    EXPECT_TRUE(failing->jobOutput().contains("Invalid data found when processing input"));
    const QString text = failing->failureExplanationText();
    EXPECT_TRUE(text.startsWith("A problem prevented the file from being converted."));
    EXPECT_TRUE(text.contains("Command-line: -i " + bad + " -stats")) << text.toStdString();
    EXPECT_TRUE(text.contains("Command-output: Broken.mkv: Invalid data found"));

    // Revealing a failed job explains instead of showing the file.
    alerts->answers = {kAlertAlternate};
    failing->reveal();
    ASSERT_EQ(alerts->shown.size(), 1);
    EXPECT_EQ(alerts->shown[0].title, "Information");
    EXPECT_EQ(alerts->shown[0].defaultButton, "Send to support");
    EXPECT_TRUE(workspace->revealed.isEmpty());
}

// A damaged movie whose video track is there but holds no frame: ffmpeg
// copies it with exit status 0 and an MP4 without video. The check of the
// written file catches it.
TEST_F(JobFailure, ConversionThatCopiesNoVideoFrameFails)
{
    const QString bad = dir() + "/NoFrames.mkv";
    ASSERT_TRUE(ffmpeg({"-f",     "lavfi",
                        "-i",     "testsrc=size=160x120:rate=10",
                        "-f",     "lavfi",
                        "-i",     "sine",
                        "-t",     "2",
                        "-map",   "0:0",
                        "-map",   "1:0",
                        "-c:v",   "libx264",
                        "-bsf:v", "noise=drop=1",
                        "-c:a",   "aac",
                        bad}));
    const QString good = movie("Good.mkv", "aac");
    ConversionJob* failing = makeJob(bad, dir() + "/NoFrames.mp4");
    ASSERT_TRUE(failing->fileInfo()->videoTrackID().has_value()) << "the probe sees a video track";
    ConversionJob* next = makeJob(good, dir() + "/Good.mp4");
    runPair(failing, next);
    expectFailedAndQueueMovedOn(failing, next);
    EXPECT_EQ(failing->verificationProblem(), "The converted file has no video frames.");
    EXPECT_TRUE(failing->failureExplanationText().startsWith(
        "A problem prevented the file from being converted. The converted file has no video "
        "frames. You can contact our support"))
        << failing->failureExplanationText().toStdString();
    QStringList left = QDir(dir()).entryList(QDir::Files | QDir::Hidden);
    left.sort();
    EXPECT_EQ(left, QStringList({"Good.mkv", "Good.mp4", "NoFrames.mkv"}));
}

// ffmpeg names the file in its own words; a name that is not ASCII reaches
// the explanation as it was written.
TEST_F(JobFailure, FailureNamingANonAsciiFileShowsItLiterally)
{
    const QString source = movie("Film.mkv", "aac");
    const QString subtitle = dir() + QString::fromUtf8("/\xc3\x96l.srt");
    QFile garbage(subtitle);
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write("not \x01\x02 a subtitle\n");
    garbage.close();
    const QString good = movie("Good.mkv", "aac");
    ConversionJob* failing = makeJob(source, dir() + "/Film.mp4", 0, subtitle);
    ConversionJob* next = makeJob(good, dir() + "/Good.mp4");
    runPair(failing, next);
    expectFailedAndQueueMovedOn(failing, next);
    EXPECT_TRUE(failing->jobOutput().contains(subtitle + ": Invalid data found"))
        << failing->jobOutput().toStdString();
    EXPECT_TRUE(failing->failureExplanationText().contains(QString::fromUtf8("\xc3\x96l.srt")));
}

TEST_F(JobFailure, FailureInTheExtractionStageEndsTheJob)
{
    const QString bad = movie("Broken.mkv", "libmp3lame");
    const QString good = movie("Good.mkv", "aac");
    installFakeTools();
    ConversionJob* failing = makeJob(bad, dir() + "/Broken.mp4");
    ASSERT_TRUE(failing->slowmode());
    ConversionJob* next = makeJob(good, dir() + "/Good.mp4");
    runPair(failing, next);
    expectFailedAndQueueMovedOn(failing, next);
    EXPECT_EQ(failing->conversionStage(), 0);
    EXPECT_TRUE(failing->arguments().contains("pcm_f32le"));
}

TEST_F(JobFailure, EncoderFailingInTheMiddleOfTheStreamEndsTheJob)
{
    const QString bad = movie("AfconvertFails.mkv", "libmp3lame");
    const QString good = movie("Good.mkv", "aac");
    installFakeTools();
    ConversionJob* failing = makeJob(bad, dir() + "/AfconvertFails.mp4");
    ConversionJob* next = makeJob(good, dir() + "/Good.mp4");
    runPair(failing, next);
    expectFailedAndQueueMovedOn(failing, next);
    // The encoder failed, not the extraction whose reader went away: its
    // command line and output explain it.
    EXPECT_EQ(failing->conversionStage(), 0);
    EXPECT_EQ(failing->arguments().value(1), "-o");
    const QString text = failing->failureExplanationText();
    EXPECT_TRUE(text.contains("Command-line: " + failing->arguments().join(' ')));
    EXPECT_TRUE(text.contains("afconvert: encoder error")) << text.toStdString();
    EXPECT_FALSE(text.contains("Broken pipe")) << text.toStdString();
}

TEST_F(JobFailure, SourceRemovedBeforeItsTurn)
{
    const QString gone = movie("Gone.mkv", "aac");
    const QString good = movie("Good.mkv", "aac");
    QObject toolbar;
    delegate->pauseContinueClicked(&toolbar);
    QPointer<ConversionJob> a = makeJob(gone, dir() + "/Gone.mp4");
    QPointer<ConversionJob> b = makeJob(good, dir() + "/Good.mp4");
    ASSERT_TRUE(delegate->addJob(a));
    ASSERT_TRUE(delegate->addJob(b));
    ASSERT_TRUE(QFile::remove(gone));

    delegate->pauseContinueClicked(&toolbar);
    ASSERT_TRUE(waitUntil([&] { return ended(a) && ended(b); }));
    EXPECT_EQ(a->state(), JobFailed);
    EXPECT_TRUE(a->finishedError());
    EXPECT_EQ(a->jobOutput(), "USER_REMOVED");
    ASSERT_EQ(alerts->shown.size(), 1);
    EXPECT_EQ(alerts->shown[0].title, "Vantreo");
    EXPECT_EQ(alerts->shown[0].message,
              "It seems you've removed the file Gone.mkv or unmounted it's volume so "
              "conversion can't proceed.");
    EXPECT_EQ(alerts->shown[0].defaultButton, "OK");
    EXPECT_EQ(a->failureExplanationText(),
              "Movie conversion failed because you've removed/renamed the source movie file or "
              "unmounted it's volume.");
    EXPECT_EQ(b->state(), JobFinished);
    EXPECT_TRUE(temporaryEntries().isEmpty());
    EXPECT_TRUE(inhibitor->held.isEmpty());
}

// A real full disk: a small tmpfs as destination, a small source whose
// audio becomes several times larger (6-channel AC3 at 576 kbit/s from a
// 32 kbit/s MP3), so the space check lets it start and ffmpeg runs out of
// room while writing.
class DiskFull : public JobFailure
{
protected:
    void TearDown() override
    {
        JobFailure::TearDown();
        if (!m_mount.isEmpty())
            runProgram("umount", {"-l", m_mount});
    }
    // A 2 MB tmpfs in m_mount; skips the test where that cannot be had.
    void mountSmallVolume()
    {
        if (::geteuid() != 0)
            GTEST_SKIP() << "mounting a small tmpfs needs root";
        const QString mount = makeTempDir("small-volume");
        if (runProgram("mount", {"-t", "tmpfs", "-o", "size=2m", "tmpfs", mount}) != 0)
            GTEST_SKIP() << "cannot mount a tmpfs here";
        m_mount = mount;
    }

    QString m_mount;
};

TEST_F(DiskFull, SourceLargerThanTheFreeSpaceIsNotStarted)
{
    ASSERT_NO_FATAL_FAILURE(mountSmallVolume());
    if (m_mount.isEmpty())
        return;
    MovieRecipe movie;
    movie.path = dir() + "/Big.mkv";
    movie.seconds = 60;
    movie.size = "320x240";
    movie.frameRate = 25;
    movie.audio = {AudioRecipe{}};
    ASSERT_TRUE(makeMovie(movie));
    ASSERT_GT(QFile(movie.path).size(), 2 * 1024 * 1024);

    QPointer<ConversionJob> job = makeJob(movie.path, m_mount + "/Big.mp4");
    ASSERT_TRUE(delegate->addJob(job));
    EXPECT_EQ(job->state(), JobQueued);
    EXPECT_EQ(job->stateInfoString(), "Status: Queued");
    EXPECT_EQ(job->processId(), 0);
    ASSERT_EQ(alerts->shown.size(), 1);
    EXPECT_EQ(alerts->shown[0].title, "Vantreo");
    EXPECT_EQ(alerts->shown[0].message,
              "There is not enough free space on your target disk for conversion.");
    EXPECT_TRUE(inhibitor->held.isEmpty());
    EXPECT_EQ(delegate->queue().windowTitle(), "Vantreo  [1 Job(s), 1 Queued]");
    EXPECT_TRUE(QDir(m_mount).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
}

TEST_F(DiskFull, ConversionFailsWithTheFreeSpaceExplanation)
{
    ASSERT_NO_FATAL_FAILURE(mountSmallVolume());
    if (m_mount.isEmpty())
        return;
    const QString mount = m_mount;

    setDefaultInt(kConversionPresetKey, 2);
    setDefaultInt(kCustomMP3HandlingKey, 2);
    setDefaultInt(kAC3SurroundBitrateKey, 3);
    MovieRecipe movie;
    movie.path = dir() + "/Long.mkv";
    movie.seconds = 60;
    movie.size = "32x32";
    movie.frameRate = 1;
    AudioRecipe a;
    a.codec = "libmp3lame";
    a.bitrate = "32k";
    movie.audio = {a};
    ASSERT_TRUE(makeMovie(movie));
    ASSERT_LT(QFile(movie.path).size(), 1024 * 1024) << "the source must pass the space check";

    QPointer<ConversionJob> job = makeJob(movie.path, mount + "/Long.mp4");
    ASSERT_TRUE(delegate->addJob(job));
    ASSERT_EQ(job->state(), JobConverting) << "the space check let it start";
    ASSERT_TRUE(waitUntil([&] { return ended(job); }));
    EXPECT_EQ(job->state(), JobFailed);
    EXPECT_TRUE(job->jobOutput().contains("No space left on device"))
        << job->jobOutput().toStdString();
    const QString freeSpaceText =
        "Movie conversion failed because there is not enough free space left on the "
        "destination volume. Please make sure your harddisk has enough free space before "
        "starting conversion";
    EXPECT_EQ(job->failureExplanationText(), freeSpaceText);
    ASSERT_EQ(alerts->shown.size(), 1) << "told once, when it failed";
    EXPECT_EQ(alerts->shown[0].title, "Conversion Failed");
    EXPECT_EQ(alerts->shown[0].message, freeSpaceText);
    job->reveal();
    ASSERT_EQ(alerts->shown.size(), 2);
    EXPECT_EQ(alerts->shown[1].message, freeSpaceText);

    job->remove();
    EXPECT_TRUE(QDir(mount).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
    EXPECT_TRUE(temporaryEntries().isEmpty());
}

TEST(FailingRun, TheRunThatFailedOfItselfExplainsTheStage)
{
    const auto run = [](int status, const QString& output, bool stopped = false) {
        ToolResult r;
        r.status = status;
        r.output = output;
        r.stopped = stopped;
        return r;
    };
    EXPECT_FALSE(failingRun({run(0, ""), run(0, "warning")}));
    // The encoder broke down; the extraction lost its reader.
    EXPECT_EQ(
        failingRun({run(1, "av_interleaved_write_frame(): Broken pipe"), run(1, "encoder error")}),
        1);
    // The extraction failed; the encoder was told to end, or ended well on
    // the short stream.
    EXPECT_EQ(failingRun({run(1, "Invalid data"), run(255, "", true)}), 0);
    EXPECT_EQ(failingRun({run(1, "Invalid data"), run(0, "")}), 0);
    // Only a told-to-end run failed (it was stopped late): it still explains.
    EXPECT_EQ(failingRun({run(0, ""), run(143, "", true)}), 1);
    // Both failed of themselves: the first started.
    EXPECT_EQ(failingRun({run(1, "a"), run(1, "b")}), 0);
}
