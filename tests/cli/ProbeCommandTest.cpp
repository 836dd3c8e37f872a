#include "TestSupport.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

struct CliRun
{
    int status = -1;
    QString out;
    QString err;
};

CliRun runCli(const QStringList& args, const QProcessEnvironment& env = englishEnvironment())
{
    QProcess process;
    process.setProcessEnvironment(env);
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(binDir() + "/vantreo-cli", args);
    CliRun run;
    if (!process.waitForFinished(120000))
        return run;
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

// Preferred languages German, then English, whatever the machine's locale;
// the messages stay English (a C locale for messages sets LANGUAGE aside
// for them, as gettext does, while the audio choice still reads it).
QProcessEnvironment germanEnvironment()
{
    QProcessEnvironment env = englishEnvironment();
    env.insert("LANGUAGE", "de_DE:en");
    env.insert("LC_ALL", "");
    env.insert("LC_MESSAGES", "C");
    return env;
}

QString makeMovie(const QString& dir)
{
    const QString srt = dir + "/cue.srt";
    QFile file(srt);
    if (file.open(QIODevice::WriteOnly))
        file.write("1\n00:00:00,000 --> 00:00:01,000\nHello\n\n");
    file.close();
    const QString path = dir + "/Movie 100%.mkv";
    EXPECT_TRUE(ffmpeg({"-f",
                        "lavfi",
                        "-i",
                        "testsrc=size=320x240:rate=25:duration=2",
                        "-f",
                        "lavfi",
                        "-i",
                        "sine=duration=2",
                        "-f",
                        "lavfi",
                        "-i",
                        "sine=duration=2",
                        "-i",
                        srt,
                        "-map",
                        "0:v",
                        "-map",
                        "1:a",
                        "-map",
                        "2:a",
                        "-map",
                        "3:s",
                        "-c:v",
                        "libx264",
                        "-preset",
                        "ultrafast",
                        "-c:a:0",
                        "ac3",
                        "-c:a:1",
                        "aac",
                        "-c:s",
                        "srt",
                        "-metadata:s:a:0",
                        "language=ger",
                        "-metadata:s:a:1",
                        "language=eng",
                        path}));
    return path;
}

} // namespace

TEST(ProbeCommand, JsonContract)
{
    const QString dir = makeTempDir("cli-probe");
    const QString movie = makeMovie(dir);
    const QString missing = dir + "/missing.mkv";
    const CliRun run = runCli({"probe", "--json", movie, missing}, germanEnvironment());
    ASSERT_EQ(run.status, 0) << qPrintable(run.err);

    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(run.out.toUtf8(), &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << qPrintable(run.out);
    ASSERT_TRUE(doc.isArray());
    const QJsonArray files = doc.array();
    ASSERT_EQ(files.size(), 2);

    const QStringList keys{"audioTrackInformation",
                           "bestAudio",
                           "container",
                           "cover",
                           "file",
                           "fileName",
                           "fileSize",
                           "informationString",
                           "pictureSubtitleFiles",
                           "pictureSubtitleTrackIDs",
                           "playbackNote",
                           "refusal",
                           "runtimeSeconds",
                           "skippedSubtitleFiles",
                           "streamTitles",
                           "streamable",
                           "subtitleFiles",
                           "subtitleNotes",
                           "subtitleTrackIDs",
                           "subtitleTracks",
                           "tags",
                           "videoCodec",
                           "videoTrackID",
                           "warnings"};
    for (const QJsonValue& value : files) {
        QStringList found = value.toObject().keys();
        found.sort();
        EXPECT_EQ(found, keys);
    }

    const QJsonObject first = files.at(0).toObject();
    EXPECT_EQ(first["file"].toString(), movie);
    EXPECT_EQ(first["fileName"].toString(), "Movie 100%.mkv");
    EXPECT_TRUE(
        first["informationString"].toString().endsWith("Resolution: 320x240  Audiotracks: 2 (1)"));
    EXPECT_EQ(first["audioTrackInformation"].toArray(),
              QJsonArray({"#1: ger (ac3)", "#2: eng (aac)"}));
    EXPECT_EQ(first["videoTrackID"].toInt(-1), 0);
    EXPECT_EQ(first["subtitleTrackIDs"].toArray(), QJsonArray({3}));
    EXPECT_EQ(first["runtimeSeconds"].toInt(-1), 2);
    EXPECT_EQ(first["fileSize"].toDouble(), double(QFileInfo(movie).size()));
    EXPECT_EQ(first["warnings"].toArray(), QJsonArray());
    EXPECT_EQ(first["bestAudio"].toString(), "#1: ger (ac3)");

    const QJsonObject second = files.at(1).toObject();
    EXPECT_EQ(second["file"].toString(), missing);
    EXPECT_EQ(second["informationString"].toString(),
              "Duration: (null)  Bitrate: (null)  Resolution: (null)  Audiotracks: 0 (0)");
    EXPECT_TRUE(second["videoTrackID"].isNull());
    EXPECT_TRUE(second["runtimeSeconds"].isNull());
    EXPECT_TRUE(second["fileSize"].isNull());
    EXPECT_TRUE(second["bestAudio"].isNull());
    EXPECT_TRUE(second["audioTrackInformation"].toArray().isEmpty());
}

TEST(ProbeCommand, PlainOutputMarksTheChosenTrackAndPrintsWarningsOnce)
{
    const QString dir = makeTempDir("cli-plain");
    const QString movie = makeMovie(dir);
    const QString mjpeg = dir + "/old.mkv";
    ASSERT_TRUE(ffmpeg(
        {"-f", "lavfi", "-i", "testsrc=size=320x240:rate=25", "-t", "1", "-c:v", "mjpeg", mjpeg}));
    const CliRun run = runCli({"probe", movie, mjpeg}, germanEnvironment());
    ASSERT_EQ(run.status, 0) << qPrintable(run.err);
    EXPECT_TRUE(run.out.contains("  * 0: #1: ger (ac3)\n    1: #2: eng (aac)\n"))
        << qPrintable(run.out);
    EXPECT_TRUE(run.out.contains("Text subtitle streams: 3\n"));
    EXPECT_EQ(run.err,
              "Warning: The file 'old.mkv' doesn't contain a H264/MPEG4 video track so the "
              "result may not be playable.\n");
}

TEST(ProbeCommand, UsageErrorsAndMissingFfmpeg)
{
    EXPECT_EQ(runCli({"probe"}).status, 2);
    EXPECT_EQ(runCli({"probe", "--json"}).status, 2);
    const CliRun unknown = runCli({"probe", "--bogus", "x.mkv"});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_TRUE(unknown.err.contains("--bogus"));

    QProcessEnvironment env = englishEnvironment();
    env.insert("PATH", makeTempDir("empty-path"));
    const CliRun noTool = runCli({"probe", "x.mkv"}, env);
    EXPECT_EQ(noTool.status, 2);
    EXPECT_TRUE(noTool.err.contains("apt-get install ffmpeg")) << qPrintable(noTool.err);
    EXPECT_TRUE(noTool.out.isEmpty());
}
