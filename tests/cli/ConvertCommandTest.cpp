#include "CliProcessKit.h"
#include "TestSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QThread>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

using clikit::descendants;
using clikit::processAlive;

struct CliRun
{
    int status = -1;
    QString out;
    QString err;
};

// The environment of a child CLI: its own home (documents folder included)
// and settings file, so what it leaves behind can be checked.
struct CliHome
{
    QString home;
    QString settings;
    QProcessEnvironment env;
};

CliHome makeCliHome(const QString& name)
{
    CliHome h;
    h.home = makeTempDir(name);
    QDir().mkpath(h.home + "/Documents");
    h.settings = h.home + "/settings.ini";
    h.env = englishEnvironment();
    h.env.insert("HOME", h.home);
    h.env.insert("XDG_CONFIG_HOME", h.home + "/.config");
    h.env.insert("XDG_DATA_HOME", h.home + "/.local/share");
    h.env.insert("XDG_CACHE_HOME", h.home + "/.cache");
    h.env.insert("VANTREO_SETTINGS_FILE", h.settings);
    return h;
}

CliRun runCli(const QStringList& args, const QProcessEnvironment& env)
{
    QProcess process;
    process.setProcessEnvironment(env);
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(binDir() + "/vantreo-cli", args);
    CliRun run;
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

// A movie made with the lavfi sources: h264 video and, unless `audioCodec`
// is empty, one audio track in that codec.
QString makeMovie(const QString& path, const QString& audioCodec, int seconds = 3,
                  const QString& size = "320x240", int rate = 25)
{
    QStringList args{
        "-f", "lavfi", "-i",
        QString("testsrc=size=%1:rate=%2:duration=%3").arg(size).arg(rate).arg(seconds)};
    if (!audioCodec.isEmpty())
        args << "-f"
             << "lavfi"
             << "-i" << QString("sine=frequency=440:sample_rate=48000:duration=%1").arg(seconds);
    args << "-c:v"
         << "libx264"
         << "-preset"
         << "ultrafast";
    if (!audioCodec.isEmpty())
        args << "-c:a" << audioCodec << "-ac"
             << "2";
    args << path;
    EXPECT_TRUE(ffmpeg(args)) << qPrintable(path);
    return path;
}

QStringList streamCodecs(const QString& path)
{
    QStringList codecs;
    const QJsonObject doc = QJsonDocument::fromJson(ffprobeJson(path).toUtf8()).object();
    for (const QJsonValue& s : doc["streams"].toArray())
        codecs.append(s.toObject()["codec_name"].toString());
    return codecs;
}

QString fileText(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The permission bits of a file.
unsigned modeOf(const QString& path)
{
    struct stat info
    {
    };
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 07777u : 0u;
}

QString writeScript(const QString& path, const QByteArray& text)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
    file.close();
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return path;
}

} // namespace

TEST(ConvertCommand, ConvertsAMovieNextToItAndTheResultPlays)
{
    const CliHome h = makeCliHome("cli-basic");
    const QString dir = makeTempDir("cli-basic-movies");
    const QString movie = makeMovie(dir + "/My Movie 100%.mkv", "aac");
    ASSERT_EQ(::chmod(QFile::encodeName(movie).constData(), 0640), 0);
    // The finished movie is a file like any other the user makes: 0666 less
    // the umask, readable by a media server; the source keeps its mode.
    const mode_t umaskBefore = ::umask(022);
    const CliRun run = runCli({"convert", movie}, h.env);
    ASSERT_EQ(run.status, 0) << qPrintable(run.err);
    const QString output = dir + "/My Movie 100%.mp4";
    EXPECT_EQ(modeOf(output), 0644u);
    EXPECT_TRUE(run.out.contains("Finished: " + output + "\n")) << qPrintable(run.out);
    ASSERT_TRUE(QFileInfo::exists(output));
    EXPECT_EQ(streamCodecs(output), (QStringList{"h264", "aac"}));
    const QJsonObject format =
        QJsonDocument::fromJson(ffprobeJson(output).toUtf8()).object()["format"].toObject();
    EXPECT_NEAR(format["duration"].toString().toDouble(), 3.0, 0.2);

    QString info;
    ASSERT_EQ(runProgram("mediainfo", {output}, &info), 0);
    EXPECT_TRUE(info.contains("MPEG-4")) << qPrintable(info);
    EXPECT_TRUE(info.contains("AVC"));
    EXPECT_TRUE(info.contains("AAC"));
    // Nothing left behind in the documents or the cache folder.
    EXPECT_TRUE(
        QDir(h.home + "/Documents").entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
    EXPECT_TRUE(QDir(h.home + "/.cache/Vantreo")
                    .entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::System)
                    .isEmpty());

    // A second run does not overwrite the first result.
    ::umask(002);
    const CliRun again = runCli({"convert", movie}, h.env);
    ::umask(umaskBefore);
    ASSERT_EQ(again.status, 0) << qPrintable(again.err);
    EXPECT_TRUE(again.out.contains("Finished: " + dir + "/My Movie 100%-0.mp4"))
        << qPrintable(again.out);
    EXPECT_EQ(modeOf(dir + "/My Movie 100%-0.mp4"), 0664u);
    EXPECT_EQ(modeOf(movie), 0640u);
}

TEST(ConvertCommand, DestinationM4vAndStyleAreForThisRunOnly)
{
    const CliHome h = makeCliHome("cli-options");
    const QString dir = makeTempDir("cli-options-movies");
    const QString dest = makeTempDir("cli-options-dest");
    const QString movie = makeMovie(dir + "/Surround.mkv", "ac3");
    const CliRun run = runCli(
        {"--settings", h.settings, "convert", "--dest", dest, "--m4v", "--style", "fast", movie},
        h.env);
    ASSERT_EQ(run.status, 0) << qPrintable(run.err);
    const QString output = dest + "/Surround.m4v";
    EXPECT_TRUE(run.out.contains("Finished: " + output)) << qPrintable(run.out);
    ASSERT_TRUE(QFileInfo::exists(output));
    EXPECT_FALSE(QFileInfo::exists(dir + "/Surround.mp4"));
    EXPECT_EQ(streamCodecs(output), (QStringList{"h264", "ac3"}));
    const QString settings = fileText(h.settings);
    EXPECT_FALSE(settings.contains("DefaultExtension")) << qPrintable(settings);
    EXPECT_FALSE(settings.contains("ConversionPreset")) << qPrintable(settings);

    // Without --style the stored style (compatible) turns AC3 into AAC.
    const CliRun compatible =
        runCli({"--settings", h.settings, "convert", "--dest", dest, movie}, h.env);
    ASSERT_EQ(compatible.status, 0) << qPrintable(compatible.err);
    EXPECT_EQ(streamCodecs(dest + "/Surround.mp4"), (QStringList{"h264", "aac"}));
}

TEST(ConvertCommand, MoviesThatCannotBeConvertedAreReported)
{
    const CliHome h = makeCliHome("cli-rejects");
    const QString dir = makeTempDir("cli-rejects-movies");
    const QString silent = makeMovie(dir + "/Silent.mkv", {});
    // A movie without sound converts to its video alone, in the default
    // (compatible) style too; asking for a track it lacks is refused.
    const CliRun askedTrack = runCli({"convert", "--audio", "eng", silent}, h.env);
    EXPECT_EQ(askedTrack.status, 1);
    EXPECT_TRUE(askedTrack.err.contains("Silent.mkv: it has no audio track"))
        << qPrintable(askedTrack.err);
    EXPECT_FALSE(QFileInfo::exists(dir + "/Silent.mp4"));
    const CliRun noAudio = runCli({"convert", silent}, h.env);
    EXPECT_EQ(noAudio.status, 0) << qPrintable(noAudio.err);
    EXPECT_EQ(streamCodecs(dir + "/Silent.mp4"), QStringList{"h264"});

    const QString text = dir + "/Notes.mkv";
    QFile file(text);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("This is not a movie at all.\n");
    file.close();
    const CliRun notMovie = runCli({"convert", text}, h.env);
    EXPECT_EQ(notMovie.status, 1);
    EXPECT_TRUE(notMovie.err.contains("Notes.mkv: ffmpeg cannot read it as a movie"))
        << qPrintable(notMovie.err);
    EXPECT_FALSE(QFileInfo::exists(dir + "/Notes.mp4"));

    // One good movie among bad ones: it is converted, the run still fails.
    const QString good = makeMovie(dir + "/Good.mkv", "aac", 1);
    const CliRun mixed = runCli({"convert", dir + "/missing.mkv", good}, h.env);
    EXPECT_EQ(mixed.status, 1);
    EXPECT_TRUE(mixed.out.contains("Finished: " + dir + "/Good.mp4")) << qPrintable(mixed.out);
    EXPECT_TRUE(mixed.err.contains("missing.mkv"));
}

TEST(ConvertCommand, FailedConversionExitsOneWithTheExplanation)
{
    const CliHome h = makeCliHome("cli-fail");
    const QString dir = makeTempDir("cli-fail-movies");
    const QString movie = makeMovie(dir + "/Boom.mkv", "aac", 1);
    const QString tools = makeTempDir("cli-fail-tools");
    // Probing works as with the real ffmpeg; the conversion itself fails.
    writeScript(tools + "/ffmpeg", "#!/bin/sh\n"
                                   "for a in \"$@\"; do\n"
                                   "  if [ \"$a\" = \"-progress\" ]; then\n"
                                   "    echo 'Conversion exploded' >&2; exit 1\n"
                                   "  fi\n"
                                   "done\n"
                                   "exec /usr/bin/ffmpeg \"$@\"\n");
    QProcessEnvironment env = h.env;
    env.insert("VANTREO_TOOLS_DIR", tools);
    const CliRun run = runCli({"convert", movie}, env);
    EXPECT_EQ(run.status, 1) << qPrintable(run.out);
    EXPECT_TRUE(run.err.contains("Failed: Boom.mkv: ")) << qPrintable(run.err);
    const QString explanation = run.err.mid(run.err.indexOf("Failed: Boom.mkv: ") + 18);
    EXPECT_TRUE(explanation.contains("A problem prevented the file from being converted."))
        << qPrintable(run.err);
    // The tool's own words travel with the explanation.
    EXPECT_TRUE(explanation.contains("Conversion exploded")) << qPrintable(run.err);
    EXPECT_FALSE(run.out.contains("Finished"));
    EXPECT_FALSE(QFileInfo::exists(dir + "/Boom.mp4"));
}

TEST(ConvertCommand, UsageErrorsAndMissingToolsExitTwo)
{
    const CliHome h = makeCliHome("cli-usage");
    const QString dir = makeTempDir("cli-usage-movies");
    const QString movie = dir + "/Any.mkv";
    QFile(movie).open(QIODevice::WriteOnly);
    for (const QStringList& args :
         {QStringList{"convert"}, QStringList{"convert", "--bogus", movie},
          QStringList{"convert", "--style", "slow", movie}, QStringList{"convert", "--dest"},
          QStringList{"convert", "--dest", dir + "/nowhere", movie}, QStringList{"frobnicate"},
          QStringList{}}) {
        const CliRun run = runCli(args, h.env);
        EXPECT_EQ(run.status, 2) << qPrintable(args.join(' '));
        EXPECT_FALSE(run.err.isEmpty()) << qPrintable(args.join(' '));
    }
    EXPECT_TRUE(runCli({"convert", "--style", "slow", movie}, h.env).err.contains("slow"));

    QProcessEnvironment env = h.env;
    env.insert("PATH", makeTempDir("cli-usage-empty-path"));
    env.insert("VANTREO_RESOURCES_DIR", resourcesDir());
    const CliRun noTool = runCli({"convert", movie}, env);
    EXPECT_EQ(noTool.status, 2);
    EXPECT_TRUE(noTool.err.contains("apt-get")) << qPrintable(noTool.err);
    EXPECT_TRUE(noTool.err.contains("ffmpeg")) << qPrintable(noTool.err);
}

TEST(ConvertCommand, TerminationStopsEverythingAndLeavesNothingBehind)
{
    const CliHome h = makeCliHome("cli-term");
    const QString dir = makeTempDir("cli-term-movies");
    // A long, small movie: the three-process conversion of its audio takes a
    // while, the video is tiny.
    const QString movie = makeMovie(dir + "/Long.mkv", "ac3", 600, "64x48", 2);
    QProcess cli;
    cli.setProcessEnvironment(h.env);
    cli.setStandardInputFile(QProcess::nullDevice());
    cli.start(binDir() + "/vantreo-cli", {"convert", "--style", "compatible", movie});
    ASSERT_TRUE(cli.waitForStarted());
    const qint64 pid = cli.processId();

    // Wait until the conversion runs (its progress or audio file appears), then a
    // moment longer; record every descendant on the way.
    QList<qint64> seen;
    QElapsedTimer clock;
    clock.start();
    qint64 convertingSince = -1;
    while (clock.elapsed() < 30000 && cli.state() == QProcess::Running) {
        for (qint64 child : descendants(pid))
            if (!seen.contains(child))
                seen.append(child);
        if (convertingSince < 0 &&
            QFileInfo::exists(h.home + "/.cache/Vantreo/Long.mkv.audio.fifo"))
            convertingSince = clock.elapsed();
        if (convertingSince >= 0 && clock.elapsed() - convertingSince > 500)
            break;
        QThread::msleep(20);
    }
    ASSERT_EQ(cli.state(), QProcess::Running) << "the conversion ended before the signal";
    ASSERT_FALSE(seen.isEmpty());
    ::kill(static_cast<pid_t>(pid), SIGTERM);
    ASSERT_TRUE(cli.waitForFinished(30000));
    EXPECT_EQ(cli.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(cli.exitCode(), 130);
    EXPECT_TRUE(QString::fromUtf8(cli.readAllStandardError()).contains("Interrupted"));

    EXPECT_FALSE(QFileInfo::exists(dir + "/Long.mp4"));
    EXPECT_EQ(QDir(dir).entryList(QDir::Files), QStringList{"Long.mkv"});
    const QDir cache(h.home + "/.cache/Vantreo");
    const auto everything = QDir::NoDotAndDotDot | QDir::AllEntries | QDir::System;
    EXPECT_TRUE(cache.entryList(everything).isEmpty())
        << qPrintable(cache.entryList(everything).join(", "));
    // The tools the CLI started are gone (allow the kernel a moment to reap).
    for (qint64 child : seen)
        EXPECT_TRUE(waitUntil([child] { return !processAlive(child); }, 5000)) << child;
}
