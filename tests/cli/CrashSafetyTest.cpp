#include "CliProcessKit.h"
#include "TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <csignal>
#include <gtest/gtest.h>

// vantreo-cli killed outright (SIGKILL: no chance to clean up) in each phase
// of a conversion, with the real tools writing for real. Nothing may then
// carry the movie's name at the destination, and the next run that starts
// the queue removes exactly what the killed runs left behind.

using namespace clikit;

namespace {

// The real ffmpeg; for the phase a movie is named after, at the movie's own
// pace (-re), so that the kill lands while that phase writes.
QProcessEnvironment pacedTools(const Home& h)
{
    const QString real = QStandardPaths::findExecutable("ffmpeg");
    EXPECT_FALSE(real.isEmpty());
    const QString tools = makeTempDir("paced-tools");
    const QByteArray script =
        QStringLiteral("#!/bin/sh\n"
                       "case \"$*\" in\n"
                       "*StreamCut*pcm_f32le*) exec '%1' -re \"$@\" ;;\n"
                       "*pcm_f32le*) exec '%1' \"$@\" ;;\n"
                       "*MuxCut*.aac.fifo*-progress*) exec '%1' -re \"$@\" ;;\n"
                       "*CopyCut*-progress*) exec '%1' -re \"$@\" ;;\n"
                       "esac\n"
                       "exec '%1' \"$@\"\n")
            .arg(real)
            .toUtf8();
    EXPECT_TRUE(writeExecutable(tools + "/ffmpeg", script));
    QProcessEnvironment env = h.env;
    env.insert("VANTREO_TOOLS_DIR", tools);
    return env;
}

bool hasData(const QString& path)
{
    return QFileInfo(path).size() > 0;
}

} // namespace

TEST(CrashSafety, KilledRunLeavesNoMovieAndTheNextRunRemovesWhatItLeft)
{
    const Home h = makeHome("crash");
    const QProcessEnvironment env = pacedTools(h);
    const QString movies = makeTempDir("crash-movies");
    const QString out = makeTempDir("crash-out");
    const QString cache = h.cache();
    ASSERT_TRUE(QDir().mkpath(cache));

    struct Phase
    {
        QString name, audio, style, writing; // `writing` shows the phase is under way
        QStringList fifos; // the streams from the extraction to the encoder to the mux
    };
    const auto fifos = [&cache](const QString& name) {
        return QStringList{cache + "/" + name + ".mkv.audio.fifo",
                           cache + "/" + name + ".mkv.aac.fifo"};
    };
    // The compatible style's three tools run at once: paced by the
    // extraction (StreamCut) or by the mux (MuxCut).
    const QList<Phase> phases = {
        {"CopyCut", "aac", "fast", out + "/.CopyCut.mp4.partial.mp4", {}},
        {"StreamCut", "libmp3lame", "compatible", out + "/.StreamCut.mp4.partial.mp4",
         fifos("StreamCut")},
        {"MuxCut", "libmp3lame", "compatible", out + "/.MuxCut.mp4.partial.mp4", fifos("MuxCut")},
    };
    // The user's own files, some named like ours, beside what will be left.
    const QStringList mine = {out + "/Mine.mp4", out + "/.Mine.mp4.partial.mp4",
                              cache + "/letter.txt", cache + "/Other.mkv.log"};
    for (const QString& path : mine) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("the user's");
    }

    QStringList leftBehind;
    for (const Phase& phase : phases) {
        const QString movie = makeSmallMovie(movies + "/" + phase.name + ".mkv", phase.audio, 20);
        ASSERT_FALSE(movie.isEmpty());
        QProcess cli;
        start(cli, {"convert", "--style", phase.style, "--dest", out, movie}, env);
        ASSERT_TRUE(waitUntil([&] { return hasData(phase.writing); }, 30000))
            << qPrintable(phase.name);
        // This run removed what the run killed before it had left.
        for (const QString& path : leftBehind)
            EXPECT_FALSE(QFile::exists(path)) << qPrintable(path);
        const QList<qint64> tools = descendants(cli.processId());
        ::kill(pid_t(cli.processId()), SIGKILL);
        cli.waitForFinished();
        EXPECT_TRUE(allGone(tools)) << qPrintable(phase.name) << ": no tool outlives the program";

        EXPECT_FALSE(QFile::exists(out + "/" + phase.name + ".mp4")) << qPrintable(phase.name);
        leftBehind = {phase.writing, cache + "/" + phase.name + ".mkv.log"};
        leftBehind += phase.fifos;
        for (const QString& path : leftBehind)
            EXPECT_TRUE(QFile::exists(path)) << "left by the killed run: " << qPrintable(path);
    }

    // A run that starts the queue cleans up, whatever it is then asked.
    const Outcome r = run({"convert", movies + "/Missing.mkv"}, env);
    EXPECT_EQ(r.status, 1) << qPrintable(r.err);
    for (const QString& path : leftBehind)
        EXPECT_FALSE(QFile::exists(path)) << qPrintable(path);
    QStringList expectedOut = {"Mine.mp4", ".Mine.mp4.partial.mp4"};
    QStringList expectedCache = {"letter.txt", "Other.mkv.log"};
    QStringList outNow = entries(out), cacheNow = entries(cache);
    for (QStringList* list : {&expectedOut, &expectedCache, &outNow, &cacheNow})
        list->sort();
    EXPECT_EQ(outNow, expectedOut);
    EXPECT_EQ(cacheNow, expectedCache);
    for (const QString& path : mine)
        EXPECT_EQ(readText(path), "the user's");
    EXPECT_TRUE(QDir(h.home + "/.local/share/Vantreo/journal")
                    .entryList({"*.journal"}, QDir::Files)
                    .isEmpty());
    EXPECT_EQ(entries(movies).size(), 3) << "the sources stay";
}
