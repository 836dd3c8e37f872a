#include "common/CharacterErrorRate.h"
#include "common/JobTestKit.h"
#include "common/MovieFactory.h"
#include "common/PgsWriter.h"
#include "common/SubtitleCues.h"
#include "common/TestSupport.h"
#include "engine/ConversionJob.h"
#include "engine/JobState.h"
#include "foundation/SettingsAccess.h"
#include "foundation/SettingsKeys.h"
#include "shell/AppDelegate.h"

#include <QJsonArray>
#include <QJsonObject>
#include <gtest/gtest.h>

// Blu-ray picture subtitles, drawn at test time and muxed by mkvmerge,
// come out of a real conversion as text tracks with their lines, their
// times and their forced flags.

namespace {

// Each written cue matches its event: the same lines (at most 2 % of the
// characters read wrong) starting within 0.1 s.
void expectCues(const QList<Cue>& written, const QList<PgsEvent>& events, const char* what)
{
    ASSERT_EQ(written.size(), events.size()) << what;
    for (qsizetype i = 0; i < events.size(); ++i) {
        EXPECT_NEAR(written.at(i).start, events.at(i).start, 0.1) << what << " cue " << i;
        EXPECT_LE(characterErrorRate(events.at(i).lines.join(u'\n'), written.at(i).text), 0.02)
            << what << ": " << qPrintable(written.at(i).text);
    }
}

bool isForced(const QJsonValue& stream)
{
    return stream.toObject()["disposition"].toObject()["forced"].toInt() == 1;
}

} // namespace

class PictureSubtitles : public ConversionTestBase
{
};

// One movie with an English PGS track that mixes forced and other lines, a
// German one whose every line is forced and which mkvmerge flags forced, a
// Japanese one (no trained data here) and an English text track flagged
// forced.
TEST_F(PictureSubtitles, PgsTracksBecomeTextWithTheirForcedLines)
{
    const QList<PgsEvent> english{{0.5, 1.8, {"Where are we going?"}, false},
                                  {2.0, 3.4, {"- To the harbour.", "- Now?"}, false},
                                  {3.6, 4.9, {"THE SHIP SAILS AT DAWN"}, true}};
    const QList<PgsEvent> german{{1.0, 2.5, {"Der Weg ist weit."}, true}};
    const QList<PgsEvent> japanese{{1.0, 2.0, {"Japanese"}, false}};
    ASSERT_TRUE(writePgs(dir() + "/en.sup", english));
    ASSERT_TRUE(writePgs(dir() + "/de.sup", german, PgsStyle{720, 576, "DejaVu Serif", 30, true}));
    ASSERT_TRUE(writePgs(dir() + "/ja.sup", japanese));
    ASSERT_TRUE(writeBytes(dir() + "/forced.srt", "1\n00:00:01,000 --> 00:00:02,000\nSigns\n"));
    MovieRecipe recipe;
    recipe.path = dir() + "/video.mkv";
    recipe.seconds = 6;
    recipe.audio = {AudioRecipe{}};
    ASSERT_TRUE(makeMovie(recipe));
    const QString movie = dir() + "/Harbour.mkv";
    ASSERT_EQ(runProgram("mkvmerge", {"-q",
                                      "-o",
                                      movie,
                                      recipe.path,
                                      "--language",
                                      "0:eng",
                                      dir() + "/en.sup",
                                      "--language",
                                      "0:ger",
                                      "--forced-display-flag",
                                      "0:1",
                                      dir() + "/de.sup",
                                      "--language",
                                      "0:jpn",
                                      dir() + "/ja.sup",
                                      "--language",
                                      "0:eng",
                                      "--forced-display-flag",
                                      "0:1",
                                      dir() + "/forced.srt"}),
              0);

    setDefaultInt(kConversionPresetKey, 1);
    setDefaultInt(kDisableBuiltinSubtitlesKey, 0);
    const QString output = dir() + "/Harbour.mp4";
    ConversionJob* job = makeJob(movie, output);
    ASSERT_EQ(convertToEnd(job), JobFinished) << job->failureExplanationText().toStdString();
    // The Japanese track was noted before the run (the add panel, the
    // command line); every track read gave text.
    EXPECT_EQ(job->completionWarning(), "");

    // The tracks read from pictures come first: the English whole, its
    // forced lines beside it, the German (forced); then the text track.
    QJsonArray subtitles;
    for (const QJsonValue& s : probeStreams(output))
        if (streamValue(s, "codec_type") == "subtitle")
            subtitles.append(s);
    ASSERT_EQ(subtitles.size(), 4);
    const QList<bool> forced{false, true, true, true};
    const QStringList languages{"eng", "eng", "ger", "eng"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(streamValue(subtitles.at(i), "codec_name"), "mov_text");
        EXPECT_EQ(streamTag(subtitles.at(i), "language"), languages.at(i)) << i;
        EXPECT_EQ(isForced(subtitles.at(i)), forced.at(i)) << i;
    }
    expectCues(subtitleCues(output, 0), english, "English");
    expectCues(subtitleCues(output, 1), {english.at(2)}, "English forced");
    expectCues(subtitleCues(output, 2), german, "German");
    EXPECT_EQ(subtitleCues(output, 3).value(0).text, "Signs");
}
