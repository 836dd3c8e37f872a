#include "common/JobTestKit.h"
#include "common/MovieFactory.h"
#include "common/TestSupport.h"
#include "engine/ConversionJob.h"
#include "engine/FileJournal.h"
#include "engine/JobState.h"
#include "shell/AppDelegate.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <algorithm>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <unistd.h>

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
        // The tool starts once the journal naming its files is on the disk.
        ASSERT_TRUE(waitUntil([&] { return job->processId() > 0; }, 10000));
        ASSERT_TRUE(waitUntil([&] { return job->progress() > 0; }, 20000));
        // The AAC trial runs first; the tool that reports progress converts.
        pid = job->processId();
        ASSERT_GT(pid, 0) << int(job->state()) << " " << job->jobOutput().toStdString();
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
        EXPECT_TRUE(temporaryEntries().isEmpty()) << temporaryEntries().join(", ").toStdString();
        EXPECT_TRUE(inhibitor->held.isEmpty());
        // A removed job's tool never reaches the completion steps.
        idle(500);
        EXPECT_TRUE(notifier->delivered.isEmpty());
    }

    // The encoder reading the stream beside the extraction (pid): the child
    // of this process that runs afconvert.
    static qint64 encoderPid()
    {
        const QDir proc(QStringLiteral("/proc"));
        for (const QString& entry : proc.entryList(QDir::Dirs)) {
            QFile stat(proc.filePath(entry + "/stat"));
            if (!stat.open(QIODevice::ReadOnly))
                continue;
            const QByteArray text = stat.readAll();
            const qsizetype close = text.lastIndexOf(')');
            const QList<QByteArray> fields = text.mid(close + 2).split(' ');
            if (text.contains("(afconvert)") && fields.value(1).toLongLong() == getpid())
                return entry.toLongLong();
        }
        return 0;
    }

    QPointer<ConversionJob> job;
    qint64 pid = 0;
};

} // namespace

TEST_F(JobControl, PausedJobStopsAndContinuesWhereItWas)
{
    ASSERT_NO_FATAL_FAILURE(startSlowJob());
    // Below the window's priority: a busy processor slows the tool, not the window.
    EXPECT_GT(::getpriority(PRIO_PROCESS, id_t(pid)), ::getpriority(PRIO_PROCESS, 0));
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

TEST_F(JobControl, RemovingAThreeProcessJobEndsBothToolsAndDeletesItsTemporaryFiles)
{
    ASSERT_NO_FATAL_FAILURE(startSlowJob("libmp3lame"));
    ASSERT_TRUE(job->multiConversion());
    // The sound goes through a FIFO in the cache folder: no WAV on the disk.
    const QStringList entries = temporaryEntries();
    EXPECT_TRUE(entries.contains("Slow.mkv.audio.fifo")) << entries.join(", ").toStdString();
    EXPECT_TRUE(entries.contains("Slow.mkv.aac.fifo")) << entries.join(", ").toStdString();
    EXPECT_FALSE(entries.join(' ').contains(".wav")) << entries.join(", ").toStdString();
    const qint64 encoder = encoderPid();
    ASSERT_GT(encoder, 0);
    const QString destination = job->destinationPath();
    job->remove();
    expectNothingLeft(destination);
    EXPECT_TRUE(waitUntil([&] { return processGone(encoder); }, 10000));
}

TEST_F(JobControl, RemovedWhileItsJournalIsFlushedItStartsNoToolAndLeavesNothing)
{
    MovieRecipe movie;
    movie.path = dir() + "/Held.mkv";
    movie.seconds = 5;
    ASSERT_TRUE(makeMovie(movie));
    installFakeTools();
    // Another run holds the journals' lock, so the flush before the first
    // tool waits for it.
    ASSERT_TRUE(QDir().mkpath(FileJournal::folder()));
    const int lock = ::open(QFile::encodeName(FileJournal::folder() + "/.flock").constData(),
                            O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    ASSERT_GE(lock, 0);
    ASSERT_EQ(::flock(lock, LOCK_EX), 0);
    job = makeJob(movie.path, dir() + "/Held.mp4");
    ASSERT_TRUE(delegate->addJob(job));
    EXPECT_EQ(job->state(), JobConverting);
    idle(300);
    EXPECT_EQ(job->processId(), 0);
    EXPECT_TRUE(descendants(::getpid()).isEmpty());
    const QString destination = job->destinationPath();
    job->remove();
    ::close(lock);
    FileJournal::instance().settle();
    idle(500);
    EXPECT_TRUE(descendants(::getpid()).isEmpty());
    EXPECT_FALSE(QFile::exists(destination));
    EXPECT_TRUE(temporaryEntries().isEmpty()) << temporaryEntries().join(", ").toStdString();
    EXPECT_TRUE(QDir(dir()).entryList({".Held*"}, QDir::Files | QDir::Hidden).isEmpty());
}

TEST_F(JobControl, PausedThreeProcessJobFinishesAfterContinue)
{
    ASSERT_NO_FATAL_FAILURE(startSlowJob("libmp3lame", 5));
    const qint64 encoder = encoderPid();
    ASSERT_GT(encoder, 0);
    job->pause();
    // Every tool of the stream stops (the extraction, the encoder with its
    // workers, the mux), and all go on.
    ASSERT_TRUE(waitUntil([&] { return processStateLetter(pid) == 'T'; }, 5000));
    ASSERT_TRUE(waitUntil([&] { return processStateLetter(encoder) == 'T'; }, 5000));
    const QList<qint64> tools = descendants(getpid());
    EXPECT_GE(tools.size(), 3);
    EXPECT_TRUE(waitUntil(
        [&] {
            return std::all_of(tools.begin(), tools.end(),
                               [](qint64 p) { return processStateLetter(p) == 'T'; });
        },
        5000));
    idle(1000);
    job->continueJob();
    EXPECT_TRUE(waitUntil([&] { return processStateLetter(encoder) != 'T'; }, 5000));
    ASSERT_TRUE(waitUntil([&] { return job->state() != JobConverting; }, 60000));
    EXPECT_EQ(job->state(), JobFinished) << job->jobOutput().toStdString();
    const QJsonArray st = probeStreams(job->destinationPath());
    ASSERT_EQ(st.size(), 2);
    EXPECT_EQ(streamValue(st[1], "codec_name"), "aac");
    EXPECT_TRUE(temporaryEntries().isEmpty()) << temporaryEntries().join(", ").toStdString();
    EXPECT_TRUE(inhibitor->held.isEmpty());
}

TEST_F(JobControl, CompatibleStyleStreamsTheSoundAndItsProgressOnlyRises)
{
    QList<float> seen;
    QStringList wavs;
    ASSERT_NO_FATAL_FAILURE(startSlowJob("libmp3lame", 4));
    QObject::connect(job, &ConversionJob::progressChanged, job, [&](float p) {
        seen.append(p);
        for (const QString& entry : temporaryEntries())
            if (entry.endsWith(".wav"))
                wavs.append(entry);
    });
    ASSERT_TRUE(waitUntil([&] { return job->state() != JobConverting; }, 60000));
    EXPECT_EQ(job->state(), JobFinished) << job->jobOutput().toStdString();
    EXPECT_TRUE(wavs.isEmpty()) << wavs.join(", ").toStdString();
    EXPECT_TRUE(temporaryEntries().isEmpty()) << temporaryEntries().join(", ").toStdString();
    ASSERT_FALSE(seen.isEmpty());
    EXPECT_EQ(seen.last(), 100.0f);
    for (qsizetype i = 1; i < seen.size(); ++i)
        EXPECT_GE(seen[i], seen[i - 1]) << "at " << i;
    // The bar moved while the sound streamed, not only at the end.
    EXPECT_TRUE(std::any_of(seen.begin(), seen.end(), [](float p) { return p > 0 && p < 90; }));
    const QJsonArray st = probeStreams(job->destinationPath());
    ASSERT_EQ(st.size(), 2);
    EXPECT_EQ(streamValue(st[1], "codec_name"), "aac");
    EXPECT_NEAR(streamValue(st[1], "duration").toDouble(), 4.0, 0.2);
}
