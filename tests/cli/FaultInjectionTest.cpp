#include "CliProcessKit.h"
#include "JobTestKit.h"
#include "MovieFactory.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QThread>
#include <csignal>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace clikit;

namespace {

// The real tools, except for movies named "Slow" (converted at the movie's
// own pace) and "AfconvertFails"; see installFakeTools().
QProcessEnvironment withFakeTools(const Home& h)
{
    installFakeTools();
    QProcessEnvironment env = h.env;
    env.insert("VANTREO_TOOLS_DIR", qEnvironmentVariable("VANTREO_TOOLS_DIR"));
    return env;
}

QString failureLine(const QString& err, const QString& name)
{
    const qsizetype at = err.indexOf("Failed: " + name + ": ");
    return at < 0 ? QString() : err.mid(at, err.indexOf('\n', at) - at);
}

} // namespace

TEST(FaultInjection, FullDestinationGivesAClearMessageAndLeavesNothing)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "mounting a small tmpfs needs root";
    const Home h = makeHome("full-dest");
    const QString dir = makeTempDir("full-dest-movies");
    // Little video, low-bitrate MP3: the fast style turns it into a much
    // larger AC3 track, so the output outgrows a disk the source fits on.
    const QString movie = makeSmallMovie(dir + "/Grows.mkv", "libmp3lame", 20, "32k");
    ASSERT_FALSE(movie.isEmpty());
    const QByteArray before = fingerprint(movie);
    const qint64 sourceSize = QFileInfo(movie).size();

    // Smaller than the source: the start is refused.
    {
        const QString dest = makeTempDir("full-dest-tiny");
        Tmpfs tiny(dest, "8k");
        if (!tiny.mounted())
            GTEST_SKIP() << "tmpfs cannot be mounted here";
        const Outcome r = run({"convert", "--style", "fast", "--dest", dest, movie}, h.env);
        EXPECT_EQ(r.status, 1) << qPrintable(r.err);
        EXPECT_TRUE(failureLine(r.err, "Grows.mkv").contains("not enough free space"))
            << qPrintable(r.err);
        EXPECT_TRUE(entries(dest).isEmpty()) << qPrintable(entries(dest).join(','));
    }
    // Room for the source but not for the output: ffmpeg runs out of space.
    {
        const QString dest = makeTempDir("full-dest-small");
        Tmpfs small(dest, QString::number(sourceSize / 1024 + 24) + "k");
        ASSERT_TRUE(small.mounted());
        const Outcome r = run({"convert", "--style", "fast", "--dest", dest, movie}, h.env);
        EXPECT_EQ(r.status, 1) << qPrintable(r.out);
        const QString line = failureLine(r.err, "Grows.mkv");
        EXPECT_TRUE(line.contains("not enough free space")) << qPrintable(r.err);
        EXPECT_FALSE(r.out.contains("Finished"));
        EXPECT_TRUE(entries(dest).isEmpty()) << qPrintable(entries(dest).join(','));
    }
    EXPECT_EQ(fingerprint(movie), before);
    EXPECT_TRUE(temporaryEntries(h).isEmpty());
}

TEST(FaultInjection, SmallCacheFolderIsEnoughForTheThreeProcessMethod)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "mounting a small tmpfs needs root";
    const Home h = makeHome("full-cache");
    const QString dir = makeTempDir("full-cache-movies");
    // Ten seconds of sound would make an AAC file of about 170 kB; it goes
    // from the encoder to the mux through a FIFO, as the decoded sound goes
    // to the encoder, so a cache folder of 128 kB holds all there is.
    const QString movie = makeSmallMovie(dir + "/Wave.mkv", "ac3", 10);
    ASSERT_FALSE(movie.isEmpty());
    const QByteArray before = fingerprint(movie);
    ASSERT_TRUE(QDir().mkpath(h.cache()));
    Tmpfs cache(h.cache(), "128k");
    if (!cache.mounted())
        GTEST_SKIP() << "tmpfs cannot be mounted here";

    const Outcome r = run({"convert", "--style", "compatible", movie}, h.env);
    EXPECT_EQ(r.status, 0) << qPrintable(r.err);
    EXPECT_TRUE(temporaryEntries(h).isEmpty()) << qPrintable(temporaryEntries(h).join(','));
    EXPECT_EQ(entries(dir), (QStringList{"Wave.mkv", "Wave.mp4"}));
    EXPECT_EQ(fingerprint(movie), before);
}

TEST(FaultInjection, KilledFfmpegFailsTheMovieWithoutAPartialOutput)
{
    const Home h = makeHome("killed");
    const QProcessEnvironment env = withFakeTools(h);
    const QString dir = makeTempDir("killed-movies");
    const QString movie = makeSmallMovie(dir + "/Slow.mkv", "aac", 6);
    const QByteArray before = fingerprint(movie);

    QProcess cli;
    start(cli, {"convert", movie}, env);
    const qint64 ffmpeg = waitForConversion(cli.processId());
    ASSERT_NE(ffmpeg, 0);
    // Let it write part of the output (a hidden partial file) first.
    ASSERT_TRUE(
        waitUntil([&] { return QFileInfo(dir + "/.Slow.mp4.partial.mp4").size() > 0; }, 10000));
    EXPECT_FALSE(QFile::exists(dir + "/Slow.mp4"));
    const QList<qint64> children = descendants(cli.processId());
    ::kill(pid_t(ffmpeg), SIGKILL);
    const Outcome r = finish(cli);
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(failureLine(r.err, "Slow.mkv").isEmpty()) << qPrintable(r.err);
    EXPECT_FALSE(r.out.contains("Finished"));
    EXPECT_EQ(entries(dir), QStringList{"Slow.mkv"});
    EXPECT_TRUE(temporaryEntries(h).isEmpty());
    EXPECT_EQ(fingerprint(movie), before);
    EXPECT_TRUE(allGone(children));
}

TEST(FaultInjection, FailingAfconvertRemovesTheTemporaryFiles)
{
    const Home h = makeHome("afconvert");
    const QProcessEnvironment env = withFakeTools(h);
    const QString dir = makeTempDir("afconvert-movies");
    const QString movie = makeSmallMovie(dir + "/AfconvertFails.mkv", "ac3", 2);
    const QByteArray before = fingerprint(movie);
    const Outcome r = run({"convert", "--style", "compatible", movie}, env);
    EXPECT_EQ(r.status, 1);
    const QString line = failureLine(r.err, "AfconvertFails.mkv");
    EXPECT_FALSE(line.isEmpty()) << qPrintable(r.err);
    EXPECT_TRUE(r.err.contains("encoder error")) << qPrintable(r.err);
    EXPECT_EQ(entries(dir), QStringList{"AfconvertFails.mkv"});
    EXPECT_TRUE(temporaryEntries(h).isEmpty()) << qPrintable(temporaryEntries(h).join(','));
    EXPECT_EQ(fingerprint(movie), before);
}

TEST(FaultInjection, SourceRemovedOrRenamedWhileQueued)
{
    const Home h = makeHome("source-gone");
    const QProcessEnvironment env = withFakeTools(h);
    const QString dir = makeTempDir("source-gone-movies");
    const QString slow = makeSmallMovie(dir + "/Slow.mkv", "aac", 4);
    const QString gone = makeSmallMovie(dir + "/Gone.mkv", "aac", 1);
    const QString moved = makeSmallMovie(dir + "/Moved.mkv", "aac", 1);
    const QByteArray before = fingerprint(slow);

    QProcess cli;
    start(cli, {"convert", slow, gone, moved}, env);
    // The first converts; the others wait in the queue.
    ASSERT_TRUE(waitUntilAllQueued(cli.processId()));
    ASSERT_TRUE(QFile::remove(gone));
    ASSERT_TRUE(QFile::rename(moved, dir + "/Elsewhere.mkv"));
    const Outcome r = finish(cli);
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.out.contains("Finished: " + dir + "/Slow.mp4")) << qPrintable(r.out);
    for (const QString name : {"Gone.mkv", "Moved.mkv"})
        EXPECT_TRUE(failureLine(r.err, name).contains("removed/renamed the source movie"))
            << qPrintable(r.err);
    EXPECT_FALSE(QFileInfo::exists(dir + "/Gone.mp4"));
    EXPECT_FALSE(QFileInfo::exists(dir + "/Moved.mp4"));
    EXPECT_TRUE(temporaryEntries(h).isEmpty());
    EXPECT_EQ(fingerprint(slow), before);
}

TEST(FaultInjection, SourceDeletedWhileConvertingEndsSoundly)
{
    const Home h = makeHome("source-deleted");
    const QProcessEnvironment env = withFakeTools(h);
    const QString dir = makeTempDir("source-deleted-movies");
    const QString movie = makeSmallMovie(dir + "/Slow.mkv", "aac", 3);
    QProcess cli;
    start(cli, {"convert", movie}, env);
    ASSERT_NE(waitForConversion(cli.processId()), 0);
    ASSERT_TRUE(
        waitUntil([&] { return QFileInfo(dir + "/.Slow.mp4.partial.mp4").size() > 0; }, 10000));
    ASSERT_TRUE(QFile::remove(movie));
    const Outcome r = finish(cli);
    // ffmpeg keeps its open file and normally completes; a failure must be
    // reported as one and leave no partial file.
    if (r.status == 0) {
        EXPECT_TRUE(r.out.contains("Finished: " + dir + "/Slow.mp4"));
        EXPECT_NEAR(QJsonDocument::fromJson(ffprobeJson(dir + "/Slow.mp4").toUtf8())
                        .object()["format"]
                        .toObject()["duration"]
                        .toString()
                        .toDouble(),
                    3.0, 0.3);
    } else {
        EXPECT_EQ(r.status, 1);
        EXPECT_FALSE(failureLine(r.err, "Slow.mkv").isEmpty()) << qPrintable(r.err);
        EXPECT_TRUE(entries(dir).isEmpty());
    }
    EXPECT_TRUE(temporaryEntries(h).isEmpty());
}

TEST(FaultInjection, DestinationFolderDeletedWhileAMovieWaits)
{
    const Home h = makeHome("dest-deleted");
    const QProcessEnvironment env = withFakeTools(h);
    const QString dir = makeTempDir("dest-deleted-movies");
    const QString dest = makeTempDir("dest-deleted-out");
    const QString slow = makeSmallMovie(dir + "/Slow.mkv", "aac", 4);
    const QString waiting = makeSmallMovie(dir + "/Waiting.mkv", "aac", 1);
    QProcess cli;
    start(cli, {"convert", "--dest", dest, slow, waiting}, env);
    ASSERT_TRUE(waitUntilAllQueued(cli.processId()));
    ASSERT_TRUE(
        waitUntil([&] { return QFileInfo(dest + "/.Slow.mp4.partial.mp4").size() > 0; }, 10000));
    ASSERT_TRUE(QDir(dest).removeRecursively());
    const Outcome r = finish(cli);
    EXPECT_EQ(r.status, 1);
    // The first movie's output went with the folder: never reported as finished.
    EXPECT_FALSE(r.out.contains("Finished: " + dest + "/Slow.mp4")) << qPrintable(r.out);
    EXPECT_FALSE(failureLine(r.err, "Slow.mkv").isEmpty()) << qPrintable(r.err);
    EXPECT_TRUE(failureLine(r.err, "Waiting.mkv").contains("write access")) << qPrintable(r.err);
    EXPECT_FALSE(QFileInfo::exists(dest));
    EXPECT_TRUE(temporaryEntries(h).isEmpty());
}

TEST(FaultInjection, DestinationMadeReadOnlyWhileAMovieWaits)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "a read-only remount needs root (chmod does not stop root)";
    const Home h = makeHome("dest-ro");
    const QProcessEnvironment env = withFakeTools(h);
    const QString first = makeTempDir("dest-ro-first");
    const QString second = makeTempDir("dest-ro-second");
    Tmpfs volume(second, "4m");
    if (!volume.mounted())
        GTEST_SKIP() << "tmpfs cannot be mounted here";
    const QString slow = makeSmallMovie(first + "/Slow.mkv", "aac", 4);
    const QString waiting = makeSmallMovie(second + "/Waiting.mkv", "aac", 1);
    const QByteArray before = fingerprint(waiting);
    QProcess cli;
    start(cli, {"convert", slow, waiting}, env);
    ASSERT_TRUE(waitUntilAllQueued(cli.processId()));
    ASSERT_TRUE(volume.remountReadOnly());
    const Outcome r = finish(cli);
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.out.contains("Finished: " + first + "/Slow.mp4")) << qPrintable(r.out);
    EXPECT_TRUE(failureLine(r.err, "Waiting.mkv").contains("write access")) << qPrintable(r.err);
    EXPECT_EQ(entries(second), QStringList{"Waiting.mkv"});
    EXPECT_EQ(fingerprint(waiting), before);
    EXPECT_TRUE(temporaryEntries(h).isEmpty());
}
