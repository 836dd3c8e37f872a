#include "CharacterErrorRate.h"
#include "CliProcessKit.h"
#include "MovieFactory.h"
#include "PgsWriter.h"
#include "SubtitleCues.h"
#include "TestSupport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

using namespace clikit;

// DVD subtitles as rips have them, inside the movie and as an .idx/.sub
// pair beside it, made from drawn PGS by ffmpeg and mkvextract: the command
// line lists them as read as text, converts them with --subtitles, and
// notes once a language it cannot read.
TEST(PictureSubtitles, VobSubInsideAndBesideTheMovieIsReadAsText)
{
    const Home h = makeHome("vobsub");
    const QString dir = makeTempDir("vobsub-movies");
    const QList<PgsEvent> events{{0.6, 1.9, {"Keep the lights on."}, false},
                                 {2.2, 3.5, {"I will be back", "before midnight."}, false}};
    ASSERT_TRUE(writePgs(dir + "/en.sup", events, PgsStyle{720, 576, "DejaVu Sans", 32, false}));
    ASSERT_TRUE(writePgs(dir + "/ja.sup", {{1.0, 2.0, {"Japanese"}, false}},
                         PgsStyle{720, 576, "DejaVu Sans", 32, false}));
    MovieRecipe recipe;
    recipe.path = dir + "/video.mkv";
    recipe.seconds = 4;
    recipe.audio = {AudioRecipe{}};
    ASSERT_TRUE(makeMovie(recipe));
    const QString pgs = dir + "/pgs.mkv";
    ASSERT_EQ(runProgram("mkvmerge", {"-q", "-o", pgs, recipe.path, "--language", "0:eng",
                                      dir + "/en.sup", "--language", "0:jpn", dir + "/ja.sup"}),
              0);
    // Picture to picture: the DVD's own subtitle format.
    const QString movie = dir + "/Lights.mkv";
    ASSERT_TRUE(
        ffmpeg({"-i", pgs, "-map", "0", "-c:v", "copy", "-c:a", "copy", "-c:s", "dvdsub", movie}));
    ASSERT_EQ(
        runProgram("mkvextract", {"-q", movie, "tracks", "2:" + dir + "/Lights.en.forced.idx"}), 0);
    ASSERT_TRUE(QFile::exists(dir + "/Lights.en.forced.sub"));

    Outcome r = run({"probe", "--json", movie}, h.env);
    ASSERT_EQ(r.status, 0) << qPrintable(r.err);
    const QJsonObject probed = QJsonDocument::fromJson(r.out.toUtf8()).array().at(0).toObject();
    EXPECT_EQ(probed["pictureSubtitleTrackIDs"].toArray(), (QJsonArray{2, 3}));
    EXPECT_EQ(probed["pictureSubtitleFiles"].toArray().size(), 1);
    int readAsText = 0;
    for (const QJsonValue& t : probed["subtitleTracks"].toArray())
        readAsText += t.toObject()["readAsText"].toBool() ? 1 : 0;
    EXPECT_EQ(readAsText, 3);

    r = run({"convert", "--style", "fast", "--subtitles", "all", movie}, h.env);
    ASSERT_EQ(r.status, 0) << qPrintable(r.err);
    const QString note = "Note: Lights.mkv: subtitle track 3 (jpn) left out: install "
                         "tesseract-ocr-jpn to read it";
    EXPECT_EQ(r.err.count(note), 1) << qPrintable(r.err);
    // The file beside (forced by its name) first, then the English track
    // inside.
    const QString mp4 = dir + "/Lights.mp4";
    QStringList tracks;
    for (const QJsonValue& s : probeStreams(mp4))
        if (streamValue(s, "codec_type") == "subtitle")
            tracks.append(
                streamTag(s, "language") +
                (s.toObject()["disposition"].toObject()["forced"].toInt() ? " forced" : ""));
    ASSERT_EQ(tracks, (QStringList{"eng forced", "eng"}));
    for (int track = 0; track < 2; ++track) {
        const QList<Cue> cues = subtitleCues(mp4, track);
        ASSERT_EQ(cues.size(), events.size()) << track;
        for (qsizetype i = 0; i < events.size(); ++i) {
            EXPECT_NEAR(cues.at(i).start, events.at(i).start, 0.1) << track;
            EXPECT_LE(characterErrorRate(events.at(i).lines.join(u'\n'), cues.at(i).text), 0.02)
                << qPrintable(cues.at(i).text);
        }
    }
    // Nothing of the reading is left in the cache folder.
    EXPECT_TRUE(entries(h.cache()).isEmpty()) << qPrintable(entries(h.cache()).join(", "));
}
