#include "common/TestSupport.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/types.h>

namespace {

QString afconvertPath()
{
    return resourcesDir() + "/afconvert";
}

QString makeWav(const QString& dir)
{
    const QString path = dir + "/in.wav";
    const bool made = ffmpeg({"-f", "lavfi", "-i", "sine=frequency=440:duration=3", "-ac", "2",
                              "-c:a", "pcm_s16le", path});
    return made ? path : QString();
}

// Puts an executable script named ffmpeg into a fresh tools folder and points
// VANTREO_TOOLS_DIR at it (each test runs in its own process).
QString installFakeFfmpeg(const QByteArray& body)
{
    const QString dir = makeTempDir("tools");
    QFile script(dir + "/ffmpeg");
    if (!script.open(QIODevice::WriteOnly))
        return {};
    script.write("#!/bin/sh\n" + body);
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("VANTREO_TOOLS_DIR", QFile::encodeName(dir));
    return dir;
}

} // namespace

TEST(AfconvertTool, EncodesAacInMp4WhateverTheOutputName)
{
    const QString dir = makeTempDir("afconvert");
    const QString wav = makeWav(dir);
    ASSERT_FALSE(wav.isEmpty());
    // A colon in the name must not be taken for a protocol.
    for (const QString& name : {QString("out.aac"), QString("out:put.m4a")}) {
        const QString out = dir + "/" + name;
        QString log;
        ASSERT_EQ(runProgram(afconvertPath(),
                             {wav, "-o", out, "-f", "mp4f", "-d", "aac", "-b", "128000"}, &log),
                  0)
            << qPrintable(log);
        QFile file(out);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.read(8).mid(4), QByteArray("ftyp"));

        const QJsonObject probe = QJsonDocument::fromJson(ffprobeJson(out).toUtf8()).object();
        const QJsonArray streams = probe["streams"].toArray();
        ASSERT_EQ(streams.size(), 1);
        const QJsonObject audio = streams[0].toObject();
        EXPECT_EQ(audio["codec_name"].toString(), "aac");
        EXPECT_EQ(audio["channels"].toInt(), 2);
        const double bitRate = audio["bit_rate"].toString().toDouble();
        EXPECT_NEAR(bitRate, 128000, 128000 * 0.25);
        EXPECT_TRUE(probe["format"].toObject()["format_name"].toString().contains("mp4"));
    }
}

TEST(AfconvertTool, RefusesBadCommandLinesAndMissingInput)
{
    const QString dir = makeTempDir("afconvert");
    const QString wav = makeWav(dir);
    ASSERT_FALSE(wav.isEmpty());
    const QString out = dir + "/out.m4a";
    const QList<QStringList> usageErrors = {
        {},
        {wav},
        {"-o", out},
        {wav, "-o", out, "-f", "caff"},
        {wav, "-o", out, "-d", "alac"},
        {wav, "-o", out, "-b", "fast"},
    };
    for (const QStringList& args : usageErrors) {
        QString log;
        EXPECT_EQ(runProgram(afconvertPath(), args, &log), 2) << qPrintable(args.join(' '));
        EXPECT_TRUE(log.contains("Error") && log.contains("Usage")) << qPrintable(log);
    }
    QString log;
    const int rc =
        runProgram(afconvertPath(), {dir + "/missing.wav", "-o", out, "-b", "128000"}, &log);
    EXPECT_NE(rc, 0);
    EXPECT_TRUE(log.contains("Error")) << qPrintable(log);
    EXPECT_FALSE(QFile::exists(out));
}

TEST(AfconvertTool, PassesOnFfmpegStatusAndArguments)
{
    const QString dir = makeTempDir("afconvert");
    const QString wav = makeWav(dir);
    ASSERT_FALSE(wav.isEmpty());
    const QString argsFile = dir + "/args.txt";
    ASSERT_FALSE(installFakeFfmpeg("for a in \"$@\"; do echo \"$a\"; done > '" +
                                   QFile::encodeName(argsFile) + "'\nexit 3\n")
                     .isEmpty());
    EXPECT_EQ(runProgram(afconvertPath(), {wav, "-o", dir + "/o.m4a", "-b", "64000"}), 3);
    QFile args(argsFile);
    ASSERT_TRUE(args.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(args.readAll()).split('\n', Qt::SkipEmptyParts);
    EXPECT_TRUE(lines.contains("file:" + wav));
    EXPECT_EQ(lines.value(lines.indexOf("-b:a") + 1), "64000");
    EXPECT_EQ(lines.value(lines.indexOf("-f") + 1), "mp4");
    EXPECT_EQ(lines.last(), "file:" + dir + "/o.m4a");

    // A tool killed by a signal reports 128 + the signal number.
    installFakeFfmpeg("kill -KILL $$\n");
    EXPECT_EQ(runProgram(afconvertPath(), {wav, "-o", dir + "/o.m4a"}), 128 + SIGKILL);
}

TEST(AfconvertTool, TerminatingAfconvertEndsFfmpeg)
{
    const QString dir = makeTempDir("afconvert");
    const QString wav = makeWav(dir);
    ASSERT_FALSE(wav.isEmpty());
    const QString pidFile = dir + "/pid";
    installFakeFfmpeg("echo $$ > '" + QFile::encodeName(pidFile) + ".tmp'\nmv '" +
                      QFile::encodeName(pidFile) + ".tmp' '" + QFile::encodeName(pidFile) +
                      "'\nexec sleep 60\n");
    QProcess process;
    process.start(afconvertPath(), {wav, "-o", dir + "/o.m4a"});
    ASSERT_TRUE(process.waitForStarted());
    ASSERT_TRUE(waitUntil([&] { return QFile::exists(pidFile); }, 20000));
    QFile file(pidFile);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const pid_t child = pid_t(file.readAll().trimmed().toInt());
    ASSERT_GT(child, 0);

    process.terminate();
    ASSERT_TRUE(process.waitForFinished(20000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 128 + SIGTERM);
    // afconvert has reaped its child, so the pid is gone.
    EXPECT_NE(::kill(child, 0), 0);
}
