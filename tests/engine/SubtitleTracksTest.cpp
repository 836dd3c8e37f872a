#include "engine/SubtitleTracks.h"

#include "engine/CommandLines.h"
#include "engine/KeptTracks.h"
#include "engine/OcrLanguages.h"
#include "engine/SubtitleReading.h"

#include <gtest/gtest.h>

// Which subtitle tracks a movie gives its MP4 (files, pictures read as text,
// its own text tracks), chosen by the settings or for the movie alone, and
// what the reading of picture tracks turns into.

namespace {

// An English movie with a subtitle file, a picture file, an English forced
// PGS stream (3), a Japanese PGS stream (4), a French text stream (5) and an
// English text stream marked forced (6).
ConversionInputs movie()
{
    ConversionInputs in;
    in.sourcePath = QStringLiteral("/m/Film.mkv");
    in.audioTracks = audioTracksFromDescriptors({"#1: eng (ac3)"});
    in.subtitleFiles = {{"/m/Film.de.srt", "ger"}};
    in.pictureSubtitleFiles = {{"/m/Film.sup", ""}};
    in.pictureSubtitleTrackIDs = {3, 4};
    in.pictureSubtitleLanguages = {"eng", "jpn"};
    in.subtitleTrackIDs = {5, 6};
    in.subtitleTrackLanguages = {"fre", "eng"};
    in.forcedSubtitleStreams = {3, 6};
    in.preferredLanguages = {"eng"};
    in.timings.inputStart = 0.5;
    return in;
}

QStringList keysOf(const QList<SubtitleTrack>& tracks)
{
    QStringList keys;
    for (const SubtitleTrack& t : tracks)
        keys.append(t.key);
    return keys;
}

} // namespace

TEST(SubtitleTracks, SettingsChooseUnlessTheMovieHasAChoiceOfItsOwn)
{
    ConversionInputs in = movie();
    ConversionSettings s;
    s.disableBuiltinSubtitles = 0;
    const QStringList all{
        "file:/m/Film.de.srt", "file:/m/Film.sup", "stream:3", "stream:4", "stream:5", "stream:6"};
    EXPECT_EQ(keysOf(subtitleTracksOf(in)), all);
    EXPECT_EQ(keysOf(writtenSubtitleTracks(in, s)), all);
    EXPECT_EQ(mappedSubtitleStreams(in, s), (QList<int>{5, 6}));

    // The movie's own tracks left out: files stay, and the forced tracks in
    // the sound's language unless KeepForcedSubtitles is off.
    s.disableBuiltinSubtitles = 1;
    EXPECT_EQ(keysOf(writtenSubtitleTracks(in, s)),
              (QStringList{"file:/m/Film.de.srt", "file:/m/Film.sup", "stream:3", "stream:6"}));
    s.keepForcedSubtitles = 0;
    EXPECT_EQ(keysOf(writtenSubtitleTracks(in, s)),
              (QStringList{"file:/m/Film.de.srt", "file:/m/Film.sup"}));
    // Kept by language: English, and the untagged file.
    s.disableBuiltinSubtitles = 0;
    s.keepLanguageSubtitles = 1;
    EXPECT_EQ(mappedSubtitleStreams(in, s), (QList<int>{6}));

    // A choice for the movie alone wins, and --subtitles makes one.
    in.chosenSubtitles = QStringList{"stream:5", "file:/m/Film.sup"};
    EXPECT_EQ(keysOf(writtenSubtitleTracks(in, s)), (QStringList{"file:/m/Film.sup", "stream:5"}));
    EXPECT_EQ(subtitleKeysFor("none", in), QStringList());
    EXPECT_EQ(subtitleKeysFor("all", in), all);
    EXPECT_EQ(subtitleKeysFor("fr,jpn", in), (QStringList{"stream:4", "stream:5"}));
    EXPECT_TRUE(isSubtitleChoiceValue("eng,ger"));
    EXPECT_FALSE(isSubtitleChoiceValue("Film.srt"));

    // The movie's forced text track stays forced; its position counts the
    // files first, then the streams last-first.
    in.chosenSubtitles.reset();
    s.keepLanguageSubtitles = 0;
    EXPECT_EQ(forcedSubtitleTracks(in, s), (QList<bool>{false, true, false}));
    const QStringList args = singleProcessArguments(in, 3, s, {}).arguments;
    EXPECT_EQ(args.at(args.indexOf("-disposition:s:1") + 1), "forced");
}

TEST(SubtitleTracks, PictureTracksAreReadInTheirLanguageOrLeftOutWithANote)
{
    EXPECT_EQ(tesseractLanguage("ger"), "deu");
    EXPECT_EQ(tesseractLanguage("chi"), "chi_sim");
    EXPECT_EQ(tesseractLanguage("unk"), "");
    EXPECT_EQ(trainedDataPackage("chi_sim"), "tesseract-ocr-chi-sim");
    EXPECT_EQ(readingLanguage("und", {"xyz", "eng"}), "eng");

    ConversionInputs in = movie();
    ConversionSettings s;
    s.disableBuiltinSubtitles = 0;
    const ReadingPlan plan = pictureReadings(in, s);
    // The picture file (untagged: English), the English stream; Japanese is
    // not installed here.
    ASSERT_EQ(plan.readings.size(), 2);
    EXPECT_EQ(plan.readings.at(0).input, "/m/Film.sup");
    EXPECT_EQ(plan.readings.at(0).language, "eng");
    EXPECT_EQ(plan.notes, QStringList{"subtitle track 4 (jpn) left out: install "
                                      "tesseract-ocr-jpn to read it"});
    const PictureReading& stream = plan.readings.at(1);
    EXPECT_EQ(subocrArguments(stream, "/c/a.srt", "/c/a.forced.srt"),
              (QStringList{"--stream", "3", "--lang", "eng", "--tessdata", stream.tessdata,
                           "--offset", "0.500000", "-o", "/c/a.srt", "--forced-output",
                           "/c/a.forced.srt", "/m/Film.mkv"}));

    // Of a track the settings leave out, the forced events in the sound's
    // language are read all the same.
    in.forcedSubtitleStreams.clear();
    s.disableBuiltinSubtitles = 1;
    const ReadingPlan forcedOnly = pictureReadings(in, s);
    ASSERT_EQ(forcedOnly.readings.size(), 2);
    EXPECT_TRUE(forcedOnly.readings.at(1).forcedOnly);
    EXPECT_TRUE(forcedOnly.notes.isEmpty());
}

TEST(SubtitleTracks, WhatTheReaderSaysBecomesTracks)
{
    const QString output = "progress: 10\nprogress: 55\nevents: 12 read: 11 forced: 2 empty: 1\n";
    EXPECT_EQ(latestReadingProgress(output), 55);
    EXPECT_FALSE(latestReadingProgress("starting\n").has_value());
    const auto summary = readingSummary(output);
    ASSERT_TRUE(summary.has_value());
    EXPECT_EQ(summary->events, 12);
    EXPECT_EQ(summary->read, 11);
    EXPECT_EQ(summary->forced, 2);
    EXPECT_FALSE(readingSummary("Error: no trained data for jpn in /x\n").has_value());
    EXPECT_EQ(readingError("Error: no trained data for jpn in /x\n"),
              "no trained data for jpn in /x");

    PictureReading r;
    r.track.language = "eng";
    r.track.title = "Signs";
    const auto files = [&r](int read, int forced) {
        return tracksFromReading(r, ReadingSummary{read, read, forced, 0}, "/c/all.srt",
                                 "/c/forced.srt");
    };
    EXPECT_TRUE(files(0, 0).isEmpty());
    EXPECT_EQ(files(5, 0), (QList<SubtitleFile>{{"/c/all.srt", "eng", false, false, "Signs"}}));
    // Every event forced, or the track marked forced: one forced track.
    EXPECT_EQ(files(5, 5), (QList<SubtitleFile>{{"/c/all.srt", "eng", true, false, "Signs"}}));
    // Mixed: the whole track and its forced events beside it.
    EXPECT_EQ(files(5, 2),
              (QList<SubtitleFile>{{"/c/all.srt", "eng", false, false, "Signs"},
                                   {"/c/forced.srt", "eng", true, false, "Signs (forced)"}}));
    r.forcedOnly = true;
    EXPECT_EQ(files(5, 2), (QList<SubtitleFile>{{"/c/forced.srt", "eng", true, false, "Signs"}}));
    EXPECT_TRUE(files(5, 0).isEmpty());
}
