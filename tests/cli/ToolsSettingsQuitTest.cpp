#include "CliProcessKit.h"
#include "JobTestKit.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <csignal>
#include <gtest/gtest.h>

using namespace clikit;

namespace {

QStringList codecsOf(const QString& path)
{
    QStringList codecs;
    const QJsonObject doc = QJsonDocument::fromJson(ffprobeJson(path).toUtf8()).object();
    for (const QJsonValue& s : doc["streams"].toArray())
        codecs.append(s.toObject()["codec_name"].toString());
    return codecs;
}

} // namespace

TEST(MissingTool, EachToolIsNamedWithHowToGetIt)
{
    const Home h = makeHome("missing");
    const QString dir = makeTempDir("missing-movies");
    const QString movie = makeSmallMovie(dir + "/Any.mkv", "aac", 1);
    const QString systemTools = "/usr/bin";
    for (const QString missing : {"ffmpeg", "mediainfo", "MP4Box", "afconvert"}) {
        // PATH and the resources folder hold every tool but one.
        const QString path = makeTempDir("missing-path-" + missing);
        const QString resources = makeTempDir("missing-res-" + missing);
        for (const QString tool : {"ffmpeg", "ffprobe", "mediainfo"})
            if (tool != missing)
                QFile::link(systemTools + "/" + tool, path + "/" + tool);
        for (const QString tool : {"MP4Box", "afconvert"})
            if (tool != missing)
                QFile::link(resourcesDir() + "/" + tool, resources + "/" + tool);
        QProcessEnvironment env = h.env;
        env.insert("PATH", path);
        env.insert("VANTREO_RESOURCES_DIR", resources);
        env.remove("VANTREO_TOOLS_DIR");
        const Outcome r = run({"convert", movie}, env);
        EXPECT_EQ(r.status, 2) << qPrintable(missing);
        EXPECT_TRUE(r.err.contains(missing + " was not found")) << qPrintable(r.err);
        EXPECT_TRUE(r.err.contains("apt-get install") || r.err.contains("reinstall Vantreo"))
            << qPrintable(r.err);
        EXPECT_EQ(entries(dir), QStringList{"Any.mkv"});
    }
}

TEST(InstalledLayout, OurToolsAreFoundUnderLibBesideTheProgram)
{
    // The installed layout: bin/vantreo-cli, lib/vantreo/{MP4Box,afconvert}
    // and share/vantreo for the documents.
    const QString prefix = makeTempDir("prefix");
    for (const QString folder : {"/bin", "/lib/vantreo", "/share/vantreo"})
        ASSERT_TRUE(QDir().mkpath(prefix + folder));
    const QString cli = prefix + "/bin/vantreo-cli";
    ASSERT_TRUE(QFile::copy(binDir() + "/vantreo-cli", cli));
    const QString lib = prefix + "/lib/vantreo/";
    ASSERT_TRUE(QFile::copy(resourcesDir() + "/MP4Box", lib + "MP4Box"));
    qunsetenv("VANTREO_RESOURCES_DIR"); // put back when the test ends

    QString out;
    EXPECT_EQ(runProgram(cli, {"tools"}, &out), 2) << qPrintable(out);
    EXPECT_TRUE(out.contains("MP4Box     " + lib + "MP4Box\n")) << qPrintable(out);
    EXPECT_TRUE(out.contains("afconvert  missing: afconvert was not found. It is part of "
                             "Vantreo and belongs in " +
                             prefix + "/lib/vantreo;"))
        << qPrintable(out);

    ASSERT_TRUE(QFile::copy(resourcesDir() + "/afconvert", lib + "afconvert"));
    const QString tools = makeTempDir("first-tools");
    ASSERT_TRUE(writeExecutable(tools + "/MP4Box", "#!/bin/sh\nexit 0\n"));
    qputenv("VANTREO_TOOLS_DIR", QFile::encodeName(tools));
    EXPECT_EQ(runProgram(cli, {"tools"}, &out), 0) << qPrintable(out);
    EXPECT_TRUE(out.contains("MP4Box     " + tools + "/MP4Box\n")) << qPrintable(out);
    EXPECT_TRUE(out.contains("afconvert  " + lib + "afconvert\n")) << qPrintable(out);
}

TEST(MissingTool, AToolThatHangsEndsWithTheCommandLine)
{
    const Home h = makeHome("hang");
    const QString dir = makeTempDir("hang-movies");
    const QString movie = makeSmallMovie(dir + "/Hang.mkv", "aac", 1);
    const QString tools = makeTempDir("hang-tools");
    // Probing works; the conversion never starts its work, and even ignores
    // SIGTERM (so ending it takes the SIGKILL that follows).
    ASSERT_TRUE(writeExecutable(tools + "/ffmpeg", "#!/bin/sh\n"
                                                   "case \"$*\" in\n"
                                                   "*-progress*)\n"
                                                   "  trap '' TERM INT\n"
                                                   "  while :; do sleep 1; done ;;\n"
                                                   "esac\n"
                                                   "exec /usr/bin/ffmpeg \"$@\"\n"));
    QProcessEnvironment env = h.env;
    env.insert("VANTREO_TOOLS_DIR", tools);
    QProcess cli;
    start(cli, {"convert", movie}, env);
    ASSERT_NE(waitForDescendant(cli.processId(), "sleep"), 0);
    const QList<qint64> children = descendants(cli.processId());
    ::kill(pid_t(cli.processId()), SIGTERM);
    const Outcome r = finish(cli, 30000);
    EXPECT_EQ(r.status, 130);
    EXPECT_TRUE(r.err.contains("Interrupted")) << qPrintable(r.err);
    EXPECT_TRUE(allGone(children));
    EXPECT_EQ(entries(dir), QStringList{"Hang.mkv"});
    EXPECT_TRUE(temporaryEntries(h).isEmpty());
}

TEST(BrokenSettings, ConvertStillConvertsWithSaneValues)
{
    const Home h = makeHome("settings");
    const QString dir = makeTempDir("settings-movies");
    const QString movie = makeSmallMovie(dir + "/Tone.mkv", "ac3", 1);

    const QString corrupt = h.home + "/corrupt.ini";
    {
        QFile f(corrupt);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        QByteArray bytes(4096, '\0');
        for (char& c : bytes)
            c = char(QRandomGenerator::global()->bounded(256));
        f.write(bytes);
    }
    const QString folder = h.home + "/folder.ini";
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString wrong = h.home + "/wrong.ini";
    {
        QFile f(wrong);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[General]\nConversionPreset=abc\nAC3SurroundBitrate=7\nDefaultAudio=99\n"
                "DestinationNames=5\nDefaultExtension=banana\nCustomAC3Handling=-4\n");
    }
    int n = 0;
    for (const QString& settings : QStringList{corrupt, folder, wrong}) {
        const QString dest = makeTempDir(QString("settings-out-%1").arg(n++));
        const Outcome r = run({"--settings", settings, "convert", "--dest", dest, movie}, h.env);
        EXPECT_EQ(r.status, 0) << qPrintable(settings) << qPrintable(r.err);
        const QStringList out = entries(dest);
        ASSERT_EQ(out.size(), 1) << qPrintable(settings) << qPrintable(out.join(','));
        EXPECT_TRUE(out.first() == "Tone.mp4" || out.first() == "Tone.m4v");
        EXPECT_EQ(codecsOf(dest + "/" + out.first()), (QStringList{"mpeg4", "aac"}))
            << qPrintable(settings);
        EXPECT_TRUE(temporaryEntries(h).isEmpty());
    }
    EXPECT_TRUE(QFileInfo(folder).isDir());
}

TEST(Quitting, SignalsEndConvertingAndQueuedJobsCleanly)
{
    const Home h = makeHome("quit");
    installFakeTools();
    QProcessEnvironment env = h.env;
    env.insert("VANTREO_TOOLS_DIR", qEnvironmentVariable("VANTREO_TOOLS_DIR"));
    const QString dir = makeTempDir("quit-movies");
    // The first runs the three-process method at the movie's pace.
    const QString slow = makeSmallMovie(dir + "/Slow.mkv", "ac3", 8);
    const QString queued = makeSmallMovie(dir + "/Queued.mkv", "aac", 1);
    const QByteArray before = fingerprint(slow);
    for (int signalNumber : {SIGTERM, SIGINT}) {
        QProcess cli;
        start(cli, {"convert", "--style", "compatible", slow, queued}, env);
        ASSERT_NE(waitForConversion(cli.processId()), 0);
        ASSERT_TRUE(
            waitUntil([&] { return QFileInfo(dir + "/.Slow.mp4.partial.mp4").size() > 0; }, 10000));
        const QList<qint64> children = descendants(cli.processId());
        ::kill(pid_t(cli.processId()), signalNumber);
        const Outcome r = finish(cli, 30000);
        EXPECT_EQ(r.status, 130) << signalNumber;
        EXPECT_FALSE(r.out.contains("Finished"));
        EXPECT_EQ(entries(dir), (QStringList{"Queued.mkv", "Slow.mkv"}));
        EXPECT_TRUE(temporaryEntries(h).isEmpty()) << qPrintable(temporaryEntries(h).join(','));
        EXPECT_TRUE(allGone(children)) << signalNumber;
    }
    EXPECT_EQ(fingerprint(slow), before);
}
