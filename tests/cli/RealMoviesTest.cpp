#include "CliProcessKit.h"
#include "MovieFactory.h"
#include "TestSupport.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <csignal>
#include <gtest/gtest.h>

using namespace clikit;

TEST(RealMovies, NothingToKeepAsVideoOrNoRegularFileIsRefused)
{
    const Home h = makeHome("refusals");
    const QString dir = makeTempDir("refusals-movies");
    ASSERT_TRUE(
        ffmpeg({"-f", "lavfi", "-i", "sine=duration=1", "-c:a", "aac", dir + "/Music.mkv"}));
    ASSERT_TRUE(
        ffmpeg({"-f", "lavfi", "-i", "testsrc=size=32x32", "-frames:v", "1", dir + "/cover.png"}));
    ASSERT_TRUE(ffmpeg({"-f", "lavfi", "-i", "sine=duration=1", "-i", dir + "/cover.png", "-map",
                        "0", "-map", "1", "-c:a", "aac", "-c:v", "png", "-disposition:v",
                        "attached_pic", dir + "/Album.mp4"}));
    ASSERT_EQ(runProgram("mkfifo", {dir + "/Pipe.mkv"}), 0);
    const QStringList before = entries(dir);

    const Outcome r =
        run({"convert", dir + "/Music.mkv", dir + "/Album.mp4", dir + "/Pipe.mkv"}, h.env, 30000);
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("Not converted: " + dir + "/Music.mkv: it has no video track"))
        << qPrintable(r.err);
    EXPECT_TRUE(r.err.contains("Not converted: " + dir + "/Album.mp4: it has no video track"));
    EXPECT_TRUE(r.err.contains("Not converted: " + dir + "/Pipe.mkv: not a regular file"));
    EXPECT_FALSE(r.out.contains("Finished"));
    EXPECT_EQ(entries(dir), before);
    EXPECT_TRUE(temporaryEntries(h).isEmpty());
}

TEST(RealMovies, SignalDuringAStalledProbeEndsTheCommandLineAtOnce)
{
    const Home h = makeHome("stalled");
    const QString dir = makeTempDir("stalled-movies");
    const QString movie = makeSmallMovie(dir + "/Film.mkv", "aac", 1);
    const QString tools = makeTempDir("stalled-tools");
    // One movie is probed by ffprobe alone, several by ffmpeg.
    ASSERT_TRUE(writeExecutable(tools + "/ffmpeg", "#!/bin/sh\nexec sleep 300\n"));
    ASSERT_TRUE(writeExecutable(tools + "/ffprobe", "#!/bin/sh\nexec sleep 300\n"));
    QProcessEnvironment env = h.env;
    env.insert("VANTREO_TOOLS_DIR", tools);
    for (const QString& command : {QString("convert"), QString("probe")}) {
        SCOPED_TRACE(qPrintable(command));
        QProcess cli;
        start(cli, {command, movie}, env);
        ASSERT_NE(waitForDescendant(cli.processId(), "sleep"), 0);
        const QList<qint64> children = descendants(cli.processId());
        ::kill(pid_t(cli.processId()), SIGINT);
        // Far less than the probe's time limit of 30 s.
        const Outcome r = finish(cli, 5000);
        EXPECT_EQ(r.status, 130) << qPrintable(r.err);
        EXPECT_TRUE(allGone(children));
    }
    EXPECT_EQ(entries(dir), QStringList{"Film.mkv"});
}

TEST(RealMovies, MoviesOfOtherMuxersConvertWithTheirTracks)
{
    const Home h = makeHome("muxers");
    const QString dir = makeTempDir("muxers-movies");
    const QString out = makeTempDir("muxers-out");
    ASSERT_EQ(run({"settings", "DisableBuiltinSubtitles", "0"}, h.env).status, 0);
    const QString srt = dir + "/cue.srt";
    ASSERT_TRUE(writeSrt(srt));

    // A Latin-1 title tag.
    ASSERT_TRUE(ffmpeg({"-f", "lavfi", "-i", "testsrc=size=64x48:rate=5:duration=2", "-f", "lavfi",
                        "-i", "sine=duration=2", "-c:v", "libx264", "-c:a", "aac", "-metadata",
                        QString::fromLatin1("title=Caf\xe9"), dir + "/Latin.mkv"}));
    // An MP4 with its own subtitles in two languages.
    ASSERT_TRUE(ffmpeg({"-f",
                        "lavfi",
                        "-i",
                        "testsrc=size=64x48:rate=5:duration=2",
                        "-f",
                        "lavfi",
                        "-i",
                        "sine=duration=2",
                        "-i",
                        srt,
                        "-i",
                        srt,
                        "-map",
                        "0",
                        "-map",
                        "1",
                        "-map",
                        "2",
                        "-map",
                        "3",
                        "-c:v",
                        "libx264",
                        "-c:a",
                        "aac",
                        "-c:s",
                        "mov_text",
                        "-metadata:s:s:0",
                        "language=eng",
                        "-metadata:s:s:1",
                        "language=fre",
                        dir + "/Subs.mp4"}));
    // ogmmerge: MPEG-4 video from an AVI, an MP3 and an SRT, languages named.
    ASSERT_TRUE(ffmpeg({"-f", "lavfi", "-i", "testsrc=size=64x48:rate=5:duration=2", "-c:v",
                        "mpeg4", dir + "/v.avi"}));
    ASSERT_TRUE(
        ffmpeg({"-f", "lavfi", "-i", "sine=duration=2", "-c:a", "libmp3lame", dir + "/a.mp3"}));
    ASSERT_EQ(
        runProgram("ogmmerge", {"-o", dir + "/Old.ogm", dir + "/v.avi", "-c", "LANGUAGE=English",
                                dir + "/a.mp3", "-c", "LANGUAGE=English", srt}),
        0);

    const Outcome r = run(
        {"convert", "--dest", out, dir + "/Latin.mkv", dir + "/Subs.mp4", dir + "/Old.ogm"}, h.env);
    ASSERT_EQ(r.status, 0) << qPrintable(r.err);

    const QJsonArray latin = probeStreams(out + "/Latin.mp4");
    ASSERT_EQ(latin.size(), 2);
    EXPECT_EQ(streamValue(latin[0], "codec_type"), "video");

    const QJsonArray subs = probeStreams(out + "/Subs.mp4");
    ASSERT_EQ(subs.size(), 4);
    QStringList languages;
    for (int i : {2, 3}) {
        EXPECT_EQ(streamValue(subs[i], "codec_name"), "mov_text");
        languages << streamTag(subs[i], "language");
    }
    languages.sort();
    EXPECT_EQ(languages, (QStringList{"eng", "fre"}));

    const QJsonArray ogm = probeStreams(out + "/Old.mp4");
    ASSERT_EQ(ogm.size(), 3);
    EXPECT_EQ(streamValue(ogm[0], "codec_name"), "mpeg4");
    EXPECT_EQ(streamValue(ogm[1], "codec_name"), "aac");
    EXPECT_EQ(streamTag(ogm[1], "language"), "eng");
    EXPECT_EQ(streamValue(ogm[2], "codec_name"), "mov_text");
    // Languages named "English" by ogmmerge are written as codes: an MP4
    // cannot hold the name ffmpeg would copy.
    EXPECT_EQ(streamTag(ogm[2], "language"), "eng");
    QFile::remove(out + "/Old.mp4");
    const Outcome fast =
        run({"convert", "--style", "fast", "--dest", out, dir + "/Old.ogm"}, h.env);
    ASSERT_EQ(fast.status, 0) << qPrintable(fast.err);
    const QJsonArray ac3 = probeStreams(out + "/Old.mp4");
    ASSERT_EQ(ac3.size(), 3);
    EXPECT_EQ(streamValue(ac3[1], "codec_name"), "ac3");
    EXPECT_EQ(streamTag(ac3[1], "language"), "eng");
    EXPECT_EQ(streamTag(ac3[2], "language"), "eng");
}

TEST(RealMovies, ABatchIsProbedInGroupsAndConvertedInOrder)
{
    const Home h = makeHome("batch");
    const QString dir = makeTempDir("batch-movies");
    const QString tools = makeTempDir("batch-tools");
    const QString log = tools + "/log";
    // Logs every run: a probe with the names of all its inputs. The last
    // movie of the first group waits (10 s at most) for the probe of the
    // next group, which only comes while the first group converts.
    ASSERT_TRUE(writeExecutable(tools + "/ffmpeg", QString("#!/bin/sh\n"
                                                           "log='%1'\n"
                                                           "case \"$*\" in\n"
                                                           "*-progress*)\n"
                                                           "  name=$(basename \"$2\")\n"
                                                           "  echo \"start $name\" >> \"$log\"\n"
                                                           "  n=0\n"
                                                           "  while [ $name = M16.mkv ] && "
                                                           "! grep -q 'probe.* M17.mkv' \"$log\" "
                                                           "&& [ $n -lt 200 ]; do\n"
                                                           "    sleep 0.05; n=$((n+1))\n"
                                                           "  done\n"
                                                           "  /usr/bin/ffmpeg \"$@\"; status=$?\n"
                                                           "  echo \"end $name\" >> \"$log\"\n"
                                                           "  exit $status ;;\n"
                                                           "esac\n"
                                                           "line=probe; take=0\n"
                                                           "for a; do\n"
                                                           "  [ $take = 1 ] && line=\"$line "
                                                           "$(basename \"$a\")\"\n"
                                                           "  [ \"$a\" = -i ] && take=1 || take=0\n"
                                                           "done\n"
                                                           "echo \"$line\" >> \"$log\"\n"
                                                           "exec /usr/bin/ffmpeg \"$@\"\n")
                                                       .arg(log)
                                                       .toUtf8()));
    // Each movie is probed by one ffprobe run (listing and timings).
    ASSERT_TRUE(writeExecutable(tools + "/ffprobe",
                                QString("#!/bin/sh\n"
                                        "case \"$*\" in\n"
                                        "-hide_banner*)\n"
                                        "  for last; do :; done\n"
                                        "  echo \"probe $(basename \"$last\")\" >> '%1' ;;\n"
                                        "esac\n"
                                        "exec /usr/bin/ffprobe \"$@\"\n")
                                    .arg(log)
                                    .toUtf8()));
    const QString one = makeSmallMovie(dir + "/M1.mkv", "ac3", 1);
    QStringList movies{one};
    QString expected = QString("Finished: %1/M1.mp4\n").arg(dir);
    for (int i = 2; i <= 17; ++i) {
        movies << dir + QString("/M%1.mkv").arg(i);
        ASSERT_TRUE(QFile::copy(one, movies.last()));
        expected += QString("Finished: %1/M%2.mp4\n").arg(dir).arg(i);
    }
    QProcessEnvironment env = h.env;
    env.insert("VANTREO_TOOLS_DIR", tools);
    const Outcome r = run(QStringList{"convert", "--style", "fast"} + movies, env);
    ASSERT_EQ(r.status, 0) << qPrintable(r.err);
    EXPECT_EQ(r.out, expected);

    const QStringList order = readText(log).split('\n', Qt::SkipEmptyParts);
    QStringList firstGroup;
    for (int i = 1; i <= 16; ++i)
        firstGroup << QString("probe M%1.mkv").arg(i);
    ASSERT_GE(order.size(), 16);
    // The first sixteen are probed together (an ffprobe run each, at once)
    // before any conversion.
    QStringList firstProbes = order.mid(0, 16);
    firstProbes.sort();
    firstGroup.sort();
    EXPECT_EQ(firstProbes, firstGroup) << qPrintable(order.join(", "));
    const qsizetype secondProbe = order.indexOf("probe M17.mkv");
    ASSERT_GT(secondProbe, 0) << qPrintable(order.join(", "));
    // The next group is probed while the first converts.
    EXPECT_LT(secondProbe, order.indexOf("end M16.mkv"));
    int previousEnd = -1;
    for (int i = 1; i <= 17; ++i) {
        const qsizetype start = order.indexOf(QString("start M%1.mkv").arg(i));
        EXPECT_GT(start, previousEnd) << i;
        previousEnd = int(order.indexOf(QString("end M%1.mkv").arg(i)));
    }
}
