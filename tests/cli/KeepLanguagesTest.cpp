#include "CliProcessKit.h"
#include "MovieFactory.h"
#include "TestSupport.h"
#include "WrittenBoxes.h"

#include <QFile>
#include <QJsonArray>
#include <gtest/gtest.h>

using namespace clikit;

namespace {

struct Track
{
    QString codec, language;
    int channels = 2;
};

// What the written MP4 holds: "codec/language" per stream, in file order.
QStringList streamList(const QString& path)
{
    QStringList out;
    for (const QJsonValue& s : probeStreams(path))
        out << streamValue(s, "codec_name") + "/" + streamTag(s, "language");
    return out;
}

// Every audio track in the main track's alternate group, and enabled unless
// it is the surround track IncludeSurroundTrackDisabled turns off (track 3).
void expectAudioOffered(const QString& path, bool withDisabledSurround = false)
{
    const auto boxes = readBoxes(path);
    ASSERT_TRUE(boxes.has_value()) << qPrintable(path);
    const auto audio = tracksOf(*boxes, "soun");
    ASSERT_GE(audio.size(), 2u);
    for (const mp4::TrackSummary& t : audio) {
        EXPECT_NE(t.alternateGroup, 0);
        EXPECT_EQ(t.alternateGroup, audio[0].alternateGroup);
        EXPECT_EQ(t.enabled, !(withDisabledSurround && t.trackId == 3)) << t.trackId;
    }
}

QProcessEnvironment germanThenEnglish(const Home& h)
{
    QProcessEnvironment env = h.env;
    env.insert("LANGUAGE", "de:en");
    env.remove("LC_ALL");
    // English messages: a C locale for messages sets LANGUAGE aside for
    // them, as gettext does; the audio choice still reads it.
    env.insert("LC_MESSAGES", "C");
    return env;
}

} // namespace

TEST(KeepLanguages, FurtherTracksAndSubtitlesOfTheUsersLanguages)
{
    const Home h = makeHome("keep");
    const QString dir = makeTempDir("keep-movies");
    const QString out = makeTempDir("keep-out");
    const QString srt = dir + "/cue.srt";
    ASSERT_TRUE(writeSrt(srt));
    const QList<Track> tracks = {
        {"ac3", "eng", 6}, {"ac3", "ger", 6}, {"aac", "jpn"}, {"dca", "fre", 6}};
    QStringList args = {"-f", "lavfi", "-i",   "testsrc=size=64x48:rate=5:duration=2",
                        "-f", "lavfi", "-i",   "sine=duration=2",
                        "-i", srt,     "-map", "0"};
    for (int i = 0; i < 4; ++i)
        args << "-map"
             << "1";
    for (int i = 0; i < 4; ++i)
        args << "-map"
             << "2";
    args << "-c:v"
         << "libx264"
         << "-c:s"
         << "srt"
         << "-strict"
         << "-2";
    for (int i = 0; i < tracks.size(); ++i)
        args << QString("-c:a:%1").arg(i) << tracks[i].codec << QString("-ac:a:%1").arg(i)
             << QString::number(tracks[i].channels) << QString("-metadata:s:a:%1").arg(i)
             << "language=" + tracks[i].language;
    const QStringList subtitles = {"eng", "ger", "jpn", "und"};
    for (int i = 0; i < subtitles.size(); ++i)
        args << QString("-metadata:s:s:%1").arg(i) << "language=" + subtitles[i];
    ASSERT_TRUE(ffmpeg(args << dir + "/Film.mkv"));
    const QString movie = dir + "/Film.mkv";
    const QString mp4 = out + "/Film.mp4";
    const QProcessEnvironment env = germanThenEnglish(h);
    ASSERT_EQ(run({"settings", "DisableBuiltinSubtitles", "0"}, env).status, 0);

    // Both settings off: the chosen ger track and every subtitle, as ever.
    const QStringList asEver = {"h264/und",     "ac3/ger",      "mov_text/und",
                                "mov_text/jpn", "mov_text/ger", "mov_text/eng"};
    Outcome r = run({"convert", "--style", "fast", "--dest", out, movie}, env);
    ASSERT_EQ(r.status, 0) << qPrintable(r.err);
    EXPECT_EQ(streamList(mp4), asEver);
    QFile::remove(mp4);

    // Kept for this run: eng beside ger; the subtitles ger, eng and the untagged one.
    r = run({"convert", "--keep-languages", "--style", "fast", "--dest", out, movie}, env);
    ASSERT_EQ(r.status, 0) << qPrintable(r.err);
    EXPECT_EQ(streamList(mp4), (QStringList{"h264/und", "ac3/ger", "ac3/eng", "mov_text/und",
                                            "mov_text/ger", "mov_text/eng"}));
    expectAudioOffered(mp4);
    QFile::remove(mp4);
    EXPECT_FALSE(readText(h.settings).contains("KeepLanguage")) << "never written";

    // Stored settings, the compatible style's three processes and a surround
    // track: jpn copied and fre (dts) encoded beside them.
    ASSERT_EQ(run({"settings", "KeepLanguageAudio", "1"}, env).status, 0);
    ASSERT_EQ(run({"settings", "ExtraLanguages", "ja, fr"}, env).status, 0);
    ASSERT_EQ(run({"settings", "IncludeSurroundTrack", "1"}, env).status, 0);
    r = run({"convert", "--dest", out, movie}, env);
    ASSERT_EQ(r.status, 0) << qPrintable(r.err);
    EXPECT_EQ(streamList(mp4),
              (QStringList{"h264/und", "aac/deu", "ac3/deu", "ac3/eng", "aac/jpn", "aac/fre",
                           "mov_text/und", "mov_text/jpn", "mov_text/ger", "mov_text/eng"}));
    const QJsonArray streams = probeStreams(mp4);
    EXPECT_EQ(streamValue(streams[5], "channels"), "2");
    expectAudioOffered(mp4, true);
    QFile::remove(mp4);

    // Stored, but not for this run.
    r = run({"convert", "--no-keep-languages", "--style", "fast", "--dest", out, movie}, env);
    ASSERT_EQ(r.status, 0) << qPrintable(r.err);
    EXPECT_EQ(streamList(mp4), asEver);

    // The command line's probe marks the kept tracks beside the chosen one.
    r = run({"probe", movie}, env);
    for (const QString line :
         {"  + 0: #1: eng", "  * 1: #2: ger", "  + 2: #3: jpn", "  + 3: #4: fre"})
        EXPECT_TRUE(r.out.contains("\n" + line)) << qPrintable(line) << qPrintable(r.out);
}

TEST(KeepLanguages, AMovieMuxedByMkvmergeReadsBackWithItsKeptTracks)
{
    const Home h = makeHome("keep-mkvmerge");
    const QString dir = makeTempDir("keep-mkvmerge-movies");
    ASSERT_TRUE(ffmpeg({"-f", "lavfi", "-i", "testsrc=size=64x48:rate=5:duration=2", "-c:v",
                        "libx264", dir + "/v.h264"}));
    ASSERT_TRUE(ffmpeg({"-f", "lavfi", "-i", "sine=duration=2", "-c:a", "aac", dir + "/a.m4a"}));
    ASSERT_TRUE(ffmpeg({"-f", "lavfi", "-i", "sine=duration=2", "-c:a", "flac", dir + "/b.flac"}));
    ASSERT_TRUE(writeSrt(dir + "/s.srt"));
    ASSERT_EQ(
        runProgram("mkvmerge", {"-q", "-o", dir + "/Film.mkv", dir + "/v.h264", "--language",
                                "0:fre", dir + "/a.m4a", "--language", "0:ger", dir + "/b.flac",
                                "--language", "0:ita", dir + "/a.m4a", "--language", "0:ger",
                                dir + "/s.srt", "--language", "0:ita", dir + "/s.srt"}),
        0);
    QProcessEnvironment env = germanThenEnglish(h);
    ASSERT_EQ(run({"settings", "DisableBuiltinSubtitles", "0"}, env).status, 0);
    ASSERT_EQ(run({"settings", "ExtraLanguages", "fra, it"}, env).status, 0);
    const Outcome r = run({"convert", "--keep-languages", dir + "/Film.mkv"}, env);
    ASSERT_EQ(r.status, 0) << qPrintable(r.err);
    // German ranks first, whatever its codec: the flac track becomes the
    // main AAC track; French (asked for by its terminological code) and
    // Italian are copied.
    const QString mp4 = dir + "/Film.mp4";
    EXPECT_EQ(streamList(mp4), (QStringList{"h264/und", "aac/ger", "aac/fre", "aac/ita",
                                            "mov_text/ita", "mov_text/ger"}));
    expectAudioOffered(mp4);
    // mkvmerge marks every track default; the subtitles still share one
    // group, and the audio keeps its own.
    const auto boxes = readBoxes(mp4);
    ASSERT_TRUE(boxes.has_value());
    const auto subtitles = tracksOf(*boxes, "sbtl");
    ASSERT_EQ(subtitles.size(), 2u);
    EXPECT_NE(subtitles[0].alternateGroup, 0);
    EXPECT_EQ(subtitles[0].alternateGroup, subtitles[1].alternateGroup);
    EXPECT_NE(subtitles[0].alternateGroup, tracksOf(*boxes, "soun")[0].alternateGroup);
    // The movie's first subtitle (ger, mapped last) is the one enabled.
    EXPECT_FALSE(subtitles[0].enabled);
    EXPECT_TRUE(subtitles[1].enabled);
}
