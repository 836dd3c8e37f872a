#include "CliProcessKit.h"
#include "MovieFactory.h"
#include "TestSupport.h"

#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <algorithm>
#include <gtest/gtest.h>

using namespace clikit;

namespace {

// The line of the trace, from `from` on, where a call matching `pattern`
// starts; -1 when there is none. With -y strace shows every descriptor as
// "N</its/path>", and a call another thread interrupts still starts on a
// line of its own.
qsizetype callAt(const QStringList& trace, const QString& pattern, qsizetype from)
{
    const QRegularExpression call(pattern);
    for (qsizetype i = std::max<qsizetype>(from, 0); i < trace.size(); ++i)
        if (call.match(trace.at(i)).hasMatch())
            return i;
    return -1;
}

} // namespace

// After a power cut the finished movie must be whole and the source may
// only be gone if it is: the movie is flushed before its rename, the folder
// after it, and only then is the source deleted (AutoRemove, delete at once).
TEST(DurableFinish, MovieIsOnTheDiskBeforeTheSourceIsDeleted)
{
    const QString strace = QStandardPaths::findExecutable("strace");
    if (strace.isEmpty())
        GTEST_SKIP() << "strace is not installed";
    QString probe;
    if (runProgram(strace, {"-f", "-o", "/dev/null", "true"}, &probe) != 0)
        GTEST_SKIP() << "strace cannot trace here: " << qPrintable(probe);

    const Home h = makeHome("durable");
    const QString dir = makeTempDir("durable-movies");
    const QString source = makeSmallMovie(dir + "/Film.mkv", "aac", 1);
    ASSERT_FALSE(source.isEmpty());
    ASSERT_EQ(run({"settings", "AutoRemove", "1"}, h.env).status, 0);
    ASSERT_EQ(run({"settings", "AutoRemoveType", "1"}, h.env).status, 0);

    const QString log = h.home + "/trace.log";
    QProcess traced;
    // The sanitizers' leak check cannot run under a tracer (it fails the
    // program at its exit); the trace is about the order of calls only.
    QProcessEnvironment env = h.env;
    if (env.contains("ASAN_OPTIONS"))
        env.insert("ASAN_OPTIONS", env.value("ASAN_OPTIONS") + ":detect_leaks=0");
    traced.setProcessEnvironment(env);
    traced.setStandardInputFile(QProcess::nullDevice());
    traced.start(strace, {"-f", "-y", "-qq", "-o", log, "-e",
                          "trace=fsync,fdatasync,rename,renameat,renameat2,link,linkat,unlink,"
                          "unlinkat",
                          binDir() + "/vantreo-cli", "convert", source});
    const Outcome o = finish(traced);
    ASSERT_EQ(o.status, 0) << qPrintable(o.err);
    const QString output = dir + "/Film.mp4";
    EXPECT_TRUE(o.out.contains("Finished: " + output)) << qPrintable(o.out);
    EXPECT_FALSE(QFile::exists(source));
    EXPECT_FALSE(ffprobeJson(output).isEmpty());

    const QStringList trace = readText(log).split('\n');
    const QString folder = QRegularExpression::escape(dir);
    const QString partial = folder + QRegularExpression::escape("/.Film.mp4.partial.mp4");
    const qsizetype fileSync = callAt(trace, "\\bf(data)?sync\\(\\d+<" + partial + ">\\)", 0);
    const qsizetype rename = callAt(trace,
                                    "\\b(rename|renameat2?|link|linkat)\\(.*\"" + partial +
                                        "\".*\"" + folder + "/Film\\.mp4\"",
                                    fileSync);
    const qsizetype folderSync = callAt(trace, "\\bf(data)?sync\\(\\d+<" + folder + ">\\)", rename);
    const qsizetype removal =
        callAt(trace, "\\bunlink(at)?\\(.*\"" + QRegularExpression::escape(source) + "\"", 0);
    EXPECT_GE(fileSync, 0) << "no fsync of the partial file";
    EXPECT_GT(rename, fileSync) << "no rename of the flushed partial file";
    EXPECT_GT(folderSync, rename) << "no fsync of the folder after the rename";
    EXPECT_GT(removal, folderSync) << "the source was deleted before the movie was on the disk";
}
