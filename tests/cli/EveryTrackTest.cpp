#include "CliProcessKit.h"
#include "MovieFactory.h"
#include "TestSupport.h"
#include "WrittenBoxes.h"

#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace clikit;

namespace {

// "codec/language/handler name/forced" per stream of the written MP4.
QStringList trackList(const QString& path, const QString& kind)
{
    QStringList out;
    for (const QJsonValue& s : probeStreams(path)) {
        if (streamValue(s, "codec_type") != kind)
            continue;
        const bool forced = s.toObject()["disposition"].toObject()["forced"].toInt() != 0;
        out << QStringList{streamValue(s, "codec_name"), streamTag(s, "language"),
                           streamTag(s, "handler_name"), forced ? "forced" : ""}
                   .join(u'/');
    }
    return out;
}

} // namespace

TEST(EveryTrack, AllAudioTracksOfAGameRecordingKeepTheirNamesInOneGroup)
{
    // As a screen recorder writes them: two named AAC tracks, muxed by
    // mkvmerge.
    const Home h = makeHome("all-audio");
    const QString dir = makeTempDir("all-audio-movies");
    ASSERT_TRUE(ffmpeg({"-f", "lavfi", "-i", "testsrc=size=64x48:rate=10:duration=2", "-c:v",
                        "libx264", dir + "/v.h264"}));
    ASSERT_TRUE(ffmpeg({"-f", "lavfi", "-i", "sine=duration=2", "-c:a", "aac", dir + "/a.m4a"}));
    ASSERT_TRUE(ffmpeg(
        {"-f", "lavfi", "-i", "sine=duration=2:frequency=880", "-c:a", "aac", dir + "/b.m4a"}));
    const QString movie = dir + "/Recording.mkv";
    ASSERT_EQ(
        runProgram("mkvmerge", {"-q", "-o", movie, dir + "/v.h264", "--track-name", "0:Desktop",
                                dir + "/a.m4a", "--track-name", "0:Mic", dir + "/b.m4a"}),
        0);
    Outcome r = run({"probe", movie}, h.env);
    EXPECT_TRUE(r.out.contains("1: #2: unk (aac) Mic")) << qPrintable(r.out);

    r = run({"convert", "--all-audio", movie}, h.env);
    ASSERT_EQ(r.status, 0) << qPrintable(r.err);
    const QString mp4 = dir + "/Recording.mp4";
    EXPECT_EQ(trackList(mp4, "audio"), (QStringList{"aac/und/Desktop/", "aac/und/Mic/"}));
    const auto boxes = readBoxes(mp4);
    ASSERT_TRUE(boxes.has_value());
    const auto audio = tracksOf(*boxes, "soun");
    ASSERT_EQ(audio.size(), 2u);
    EXPECT_NE(audio[0].alternateGroup, 0);
    EXPECT_EQ(audio[0].alternateGroup, audio[1].alternateGroup);
    EXPECT_TRUE(audio[0].enabled);
    EXPECT_FALSE(audio[1].enabled);
    QString info;
    runProgram("mediainfo", {mp4}, &info);
    EXPECT_TRUE(info.contains(QRegularExpression("Title\\s*: Mic\\n"))) << qPrintable(info);
    QFile::remove(mp4);

    // Without the option, the chosen track alone, still named.
    r = run({"convert", movie}, h.env);
    ASSERT_EQ(r.status, 0) << qPrintable(r.err);
    EXPECT_EQ(trackList(mp4, "audio"), (QStringList{"aac/und/Desktop/"}));
}

TEST(EveryTrack, SubtitleFilesBesideTheMovieBecomeNamedTracks)
{
    const Home h = makeHome("sidecars");
    const QString dir = makeTempDir("sidecars-movies");
    MovieRecipe recipe;
    recipe.path = dir + "/Film.mkv";
    recipe.audio = {AudioRecipe{}};
    ASSERT_TRUE(makeMovie(recipe));
    for (const QString name : {"Film.en.srt", "Film.de.forced.srt", "Film.fr.sdh.srt"})
        ASSERT_TRUE(writeSrt(dir + "/" + name));
    ASSERT_TRUE(
        writeBytes(dir + "/Film.es.vtt", "WEBVTT\n\n00:00:00.500 --> 00:00:01.500\nHola\n"));
    ASSERT_TRUE(writeBytes(dir + "/Film.sup", QByteArray("PG") + QByteArray(30, '\0')));
    ASSERT_TRUE(writeBytes(dir + "/Other.en.srt", "not this movie's"));

    Outcome r = run({"probe", recipe.path}, h.env);
    EXPECT_TRUE(r.out.contains("    ger forced (Film.de.forced.srt)\n")) << qPrintable(r.out);
    EXPECT_TRUE(r.out.contains("Streamable: yes")) << qPrintable(r.out);

    // Named alone on the command line: the four text files are taken; the
    // picture subtitles, damaged, are left out with a note.
    r = run({"convert", "--style", "fast", recipe.path}, h.env);
    ASSERT_EQ(r.status, 0) << qPrintable(r.err);
    EXPECT_TRUE(r.err.contains("Note: Film.mkv: subtitle file Film.sup left out: "))
        << qPrintable(r.err);
    const QString mp4 = dir + "/Film.mp4";
    EXPECT_EQ(trackList(mp4, "subtitle"),
              (QStringList{"mov_text/ger/SubtitleHandler/forced", "mov_text/eng/SubtitleHandler/",
                           "mov_text/spa/SubtitleHandler/", "mov_text/fre/SDH/"}));
    // Apple's players read forced from the text track's display flags.
    QFile written(mp4);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QByteArray bytes = written.readAll();
    const qsizetype german = bytes.indexOf("tx3g");
    const qsizetype english = bytes.indexOf("tx3g", german + 4);
    ASSERT_GT(german, 0);
    ASSERT_GT(english, 0);
    EXPECT_EQ(quint8(bytes.at(german + 12)) & 0x80, 0x80);
    EXPECT_EQ(quint8(bytes.at(english + 12)) & 0x80, 0);
    written.close();
    QFile::remove(mp4);

    // Not this run: no subtitle files at all.
    r = run({"convert", "--no-sidecars", "--style", "fast", recipe.path}, h.env);
    ASSERT_EQ(r.status, 0) << qPrintable(r.err);
    EXPECT_TRUE(trackList(mp4, "subtitle").isEmpty());
}
