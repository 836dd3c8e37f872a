// Library runs of the command line: folder trees converted once, several
// runs sharing a tree, a watched folder, and the watch service's unit.
#include "CliProcessKit.h"
#include "MovieFactory.h"
#include "TestSupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>
#include <gtest/gtest.h>
#include <signal.h>

using namespace clikit;

namespace {

// Every file under the tree whose name ends with `suffix`, hidden ones too.
QStringList filesEndingWith(const QString& root, const QString& suffix)
{
    QStringList out;
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (path.endsWith(suffix))
            out.append(QDir(root).relativeFilePath(path));
    }
    out.sort();
    return out;
}

QString writingApplication(const QString& path)
{
    QString out;
    runProgram(
        "ffprobe",
        {"-v", "error", "-show_entries", "format_tags=encoder", "-of", "default=nw=1:nk=1", path},
        &out);
    return out.trimmed();
}

double durationOf(const QString& path)
{
    QString out;
    runProgram("ffprobe",
               {"-v", "error", "-show_entries", "format=duration", "-of", "csv=p=0", path}, &out);
    return out.trimmed().toDouble();
}

// A tree of movies, each a copy of one small movie under its own name.
void makeTree(const QString& root, const QStringList& movies, const QString& audio = "ac3",
              int seconds = 2)
{
    const QString first = root + "/" + movies.first();
    QDir().mkpath(QFileInfo(first).absolutePath());
    ASSERT_FALSE(makeSmallMovie(first, audio, seconds).isEmpty());
    for (const QString& movie : movies.mid(1)) {
        QDir().mkpath(QFileInfo(root + "/" + movie).absolutePath());
        ASSERT_TRUE(QFile::copy(first, root + "/" + movie));
    }
}

} // namespace

TEST(LibraryRun, ConvertsATreeOnceAndPassesOverWhatItFinished)
{
    const Home h = makeHome("library-once");
    const QString root = makeTempDir("library-once-tree");
    makeTree(root, {"One.mkv", "a/Two.mkv", "a/b/Three.mkv", "c/Four.mov", ".hidden/Five.mkv"});
    ASSERT_TRUE(writeBytes(root + "/a/notes.txt", "not a movie\n"));

    const Outcome first = run({"convert", "--recursive", "--style", "fast", root}, h.env);
    ASSERT_EQ(first.status, 0) << qPrintable(first.err);
    EXPECT_TRUE(first.out.contains("4 converted, 0 failed, 0 skipped")) << qPrintable(first.out);
    const QStringList made{"One.mp4", "a/Two.mp4", "a/b/Three.mp4", "c/Four.mp4"};
    EXPECT_EQ(filesEndingWith(root, ".mp4"), made);
    // The mark the next runs read, naming the source.
    EXPECT_TRUE(writingApplication(root + "/a/b/Three.mp4").endsWith("; Three.mkv"))
        << qPrintable(writingApplication(root + "/a/b/Three.mp4"));
    EXPECT_TRUE(filesEndingWith(root, ".vantreo-claim").isEmpty());

    // Nothing again, not even an MP4 that is itself a movie file; the report
    // for scripts says so, one object a movie.
    const Outcome again = run({"convert", "-r", "--json", root}, h.env);
    ASSERT_EQ(again.status, 0) << qPrintable(again.err);
    EXPECT_TRUE(again.err.contains("0 converted, 0 failed, 4 skipped")) << qPrintable(again.err);
    const QStringList lines = again.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 4) << qPrintable(again.out);
    const QJsonObject skipped = QJsonDocument::fromJson(lines.at(1).toUtf8()).object();
    EXPECT_EQ(skipped["state"].toString(), "skipped");
    EXPECT_EQ(skipped["path"].toString(), root + "/a/Two.mkv");
    EXPECT_EQ(skipped["output"].toString(), root + "/a/Two.mp4");
    EXPECT_EQ(filesEndingWith(root, ".mp4"), made);

    // A movie replaced since is converted again, beside the old MP4; with a
    // destination the tree is mirrored under it.
    ASSERT_FALSE(makeSmallMovie(root + "/a/Two.mkv", "aac", 3).isEmpty());
    const QString dest = makeTempDir("library-once-dest");
    const Outcome mirrored = run({"convert", "-r", "--json", "--dest", dest, root + "/a"}, h.env);
    ASSERT_EQ(mirrored.status, 0) << qPrintable(mirrored.err);
    EXPECT_EQ(filesEndingWith(dest, ".mp4"), (QStringList{"Two.mp4", "b/Three.mp4"}));
    const Outcome changed = run({"convert", "-r", root}, h.env);
    EXPECT_TRUE(changed.out.contains("1 converted, 0 failed, 3 skipped"))
        << qPrintable(changed.out);
    EXPECT_TRUE(QFileInfo::exists(root + "/a/Two-0.mp4"));
    EXPECT_NEAR(durationOf(root + "/a/Two-0.mp4"), 3.0, 0.3);
}

TEST(LibraryRun, RunsSideBySideConvertEachMovieOnceAndTakeOverAKilledRunsClaim)
{
    const Home h = makeHome("library-shared");
    const QString root = makeTempDir("library-shared-tree");
    QStringList movies;
    for (int i = 1; i <= 4; ++i)
        movies << QString("x/M%1.mkv").arg(i) << QString("y/N%1.mkv").arg(i);
    makeTree(root, movies);

    // Two runs at once, one of them with two conversions at a time.
    QProcess one;
    QProcess two;
    start(one, {"convert", "-r", "--style", "fast", root}, h.env);
    start(two, {"convert", "-r", "--style", "fast", "--jobs", "2", root}, h.env);
    const Outcome a = finish(one);
    const Outcome b = finish(two);
    ASSERT_EQ(a.status, 0) << qPrintable(a.err);
    ASSERT_EQ(b.status, 0) << qPrintable(b.err);
    QStringList expected;
    for (const QString& movie : movies)
        expected << QString(movie).replace(".mkv", ".mp4");
    expected.sort();
    EXPECT_EQ(filesEndingWith(root, ".mp4"), expected) << qPrintable(a.out + b.out);
    EXPECT_TRUE(filesEndingWith(root, ".vantreo-claim").isEmpty());

    // A run killed in the middle of a movie leaves its claim; the next run
    // takes it over and converts the movie.
    const QString big = makeTempDir("library-shared-killed");
    makeTree(big, {"Long.mkv"}, "ac3", 60);
    QProcess killed;
    start(killed, {"convert", "-r", "--style", "compatible", big}, h.env);
    ASSERT_NE(waitForConversion(killed.processId()), 0);
    ::kill(pid_t(killed.processId()), SIGKILL);
    killed.waitForFinished();
    EXPECT_EQ(filesEndingWith(big, ".vantreo-claim"), QStringList{".Long.mkv.vantreo-claim"});
    const Outcome next = run({"convert", "-r", "--style", "fast", big}, h.env);
    ASSERT_EQ(next.status, 0) << qPrintable(next.err);
    EXPECT_EQ(filesEndingWith(big, ".mp4"), QStringList{"Long.mp4"});

    // Another machine's claim is never taken: a living one is passed over,
    // one not renewed for hours is reported.
    const QString shared = makeTempDir("library-shared-hosts");
    makeTree(shared, {"Busy.mkv", "Stuck.mkv"});
    const QByteArray other = "host=other-machine\npid=77\nstart=5\nboot=b\n";
    ASSERT_TRUE(writeBytes(shared + "/.Busy.mkv.vantreo-claim", other));
    ASSERT_TRUE(writeBytes(shared + "/.Stuck.mkv.vantreo-claim", other));
    ASSERT_EQ(runProgram("touch", {"-d", "3 hours ago", shared + "/.Stuck.mkv.vantreo-claim"}), 0);
    const Outcome hosts = run({"convert", "-r", shared}, h.env);
    EXPECT_EQ(hosts.status, 1);
    EXPECT_TRUE(hosts.out.contains("Busy.mkv: being converted on other-machine (pid 77)"))
        << qPrintable(hosts.out);
    EXPECT_TRUE(hosts.err.contains("Stuck.mkv: claimed on other-machine (pid 77), not renewed"))
        << qPrintable(hosts.err);
    EXPECT_TRUE(filesEndingWith(shared, ".mp4").isEmpty());
    EXPECT_EQ(filesEndingWith(shared, ".vantreo-claim").size(), 2);
}

TEST(WatchCommand, ConvertsAMovieOnlyOnceCompleteAndEndsOnSigtermLeavingNothing)
{
    const Home h = makeHome("watch");
    const QString root = makeTempDir("watch-tree");
    const QString source = makeTempDir("watch-source");
    const QString movie = makeSmallMovie(source + "/Arriving.mkv", "ac3", 3);
    ASSERT_FALSE(movie.isEmpty());
    const QByteArray bytes = [&] {
        QFile f(movie);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();

    QProcess cli;
    // The compatible style: the long movie below takes its time.
    start(cli, {"watch", "--settle", "3", "--style", "compatible", root}, h.env);
    ASSERT_TRUE(waitUntil(
        [&] { return cli.bytesAvailable() > 0 || cli.state() != QProcess::Running; }, 10000));
    // Written in two halves, a little less than the settling time apart.
    QDir().mkpath(root + "/new");
    const QString arriving = root + "/new/Arriving.mkv";
    ASSERT_TRUE(writeBytes(arriving, bytes.left(bytes.size() / 2)));
    QThread::msleep(2000);
    EXPECT_TRUE(filesEndingWith(root, ".mp4").isEmpty());
    {
        QFile f(arriving);
        ASSERT_TRUE(f.open(QIODevice::Append));
        f.write(bytes.mid(bytes.size() / 2));
    }
    // Finished: the whole movie under its final name (the queue's write
    // check touches that name for a moment before the job starts).
    ASSERT_TRUE(waitUntil([&] { return durationOf(root + "/new/Arriving.mp4") > 2.7; }, 60000));
    EXPECT_NEAR(durationOf(root + "/new/Arriving.mp4"), 3.0, 0.3);

    // A longer movie arrives; SIGTERM in the middle of its conversion ends
    // the watch at once, its tools and unfinished files with it.
    ASSERT_FALSE(makeSmallMovie(source + "/Long.mkv", "ac3", 60).isEmpty());
    ASSERT_TRUE(QFile::rename(source + "/Long.mkv", root + "/Long.mkv"));
    const qint64 converting = waitForConversion(cli.processId(), 60000);
    ASSERT_NE(converting, 0);
    const QList<qint64> tools = descendants(cli.processId());
    ::kill(pid_t(cli.processId()), SIGTERM);
    const Outcome ended = finish(cli, 5000);
    EXPECT_EQ(ended.status, 0) << qPrintable(ended.err);
    EXPECT_TRUE(allGone(tools));
    EXPECT_TRUE(ended.out.contains("Converted: " + arriving)) << qPrintable(ended.out);
    EXPECT_TRUE(ended.out.contains("Found: " + root + "/Long.mkv")) << qPrintable(ended.out);
    EXPECT_EQ(filesEndingWith(root, ".mp4"), QStringList{"new/Arriving.mp4"});
    EXPECT_TRUE(filesEndingWith(root, ".vantreo-claim").isEmpty());
    EXPECT_TRUE(temporaryEntries(h).isEmpty()) << qPrintable(temporaryEntries(h).join(' '));
}

TEST(WatchService, UnitFilePassesSystemdVerify)
{
    if (QStandardPaths::findExecutable("systemd-analyze").isEmpty())
        GTEST_SKIP() << "systemd-analyze is not installed";
    QFile unit(binDir() + "/../resources/systemd/vantreo-watch@.service");
    ASSERT_TRUE(unit.open(QIODevice::ReadOnly));
    QString text = QString::fromUtf8(unit.readAll());
    // The installed path does not exist in the build tree; the built program does.
    text.replace(QRegularExpression("^ExecStart=\\S+", QRegularExpression::MultilineOption),
                 "ExecStart=" + binDir() + "/vantreo-cli");
    const QString folder = makeTempDir("watch-unit");
    const QString instance = folder + "/vantreo-watch@srv-movies.service";
    ASSERT_TRUE(writeBytes(instance, text.toUtf8()));
    QProcess verify;
    verify.start("systemd-analyze", {"verify", "--man=no", instance});
    ASSERT_TRUE(verify.waitForFinished(60000));
    EXPECT_EQ(verify.exitCode(), 0);
    EXPECT_EQ(QString::fromUtf8(verify.readAllStandardError()).trimmed(), "");
}
