#include "engine/KeptTracks.h"

#include "inspection/AudioTrackChoice.h"

#include <gtest/gtest.h>

namespace {

ConversionSettings keeping()
{
    ConversionSettings s;
    s.conversionPreset = 1;
    s.keepLanguageAudio = 1;
    s.keepLanguageSubtitles = 1;
    s.disableBuiltinSubtitles = 0;
    return s;
}

QList<int> streamsOf(const QList<FurtherAudioTrack>& tracks)
{
    QList<int> streams;
    for (const FurtherAudioTrack& t : tracks)
        streams.append(t.stream);
    return streams;
}

} // namespace

TEST(KeptTracks, LanguagesAreTheRankingListThenTheExtraCodes)
{
    EXPECT_EQ(extraLanguageCodes(" jpn, fr,, JA ,pt-BR, jpn,"),
              (QStringList{"jpn", "fre", "pt-BR"}));
    EXPECT_TRUE(extraLanguageCodes("").isEmpty());
    EXPECT_EQ(keptLanguages({"ger", "eng"}, 0, "ja, deu"), (QStringList{"ger", "eng", "jpn"}))
        << "deu is ger";
    EXPECT_EQ(keptLanguages({"ger", "eng"}, 4, "ja"), (QStringList{"fre", "jpn"}));
    EXPECT_EQ(keptLanguages({}, 0, ""), QStringList{});

    // One rule of sameness for the default-audio choice and the kept tracks:
    // MP4 sources carry the terminological codes.
    EXPECT_EQ(comparableLanguage("deu"), "ger");
    EXPECT_EQ(comparableLanguage("zho"), "chi");
    EXPECT_EQ(comparableLanguage("de"), "ger");
    EXPECT_EQ(comparableLanguage("en-GB"), "en-GB");
    EXPECT_EQ(bestLanguage({"#1: eng (aac)", "#2: deu (ac3)"}, {"ger", "eng"}, 0), "#2: deu (ac3)");
    EXPECT_EQ(bestLanguage({"#1: fra (ac3)", "#2: eng (aac)"}, {"eng"}, 4), "#1: fra (ac3)");
}

TEST(KeptTracks, FurtherAudioOncePerLanguageAndFamilyAtMostFour)
{
    EXPECT_EQ(codecFamily("eac3"), "ac3");
    EXPECT_EQ(codecFamily("dca"), "dts");
    EXPECT_EQ(codecFamily("pcm_s24le"), "pcm");
    EXPECT_EQ(codecFamily("vorbis"), "vorbis");

    const QList<AudioTrack> tracks = audioTracksFromDescriptors(
        {"#1: ger (ac3) [5.1]", "#2: deu (eac3)", "#3: eng (dts) [5.1]", "#4: eng (dca)",
         "#5: eng (aac)", "#6: jpn (aac)", "#7: ger (flac)", "#8: unk (aac)", "#9: fre (opus)",
         "#10: eng (truehd)"});
    // The chosen ger ac3 holds its place: the deu eac3 is of its family.
    EXPECT_EQ(furtherAudioTrackIndexes(tracks, {1}, {"ger", "eng"}), (QList<int>{2, 4, 6, 9}));
    EXPECT_EQ(furtherAudioTrackIndexes(tracks, {1}, {"ger", "eng", "jpn", "fre"}),
              (QList<int>{2, 4, 5, 6}))
        << "at most four, in listing order";
    EXPECT_TRUE(furtherAudioTrackIndexes(tracks, {1}, {}).isEmpty());

    ConversionInputs in;
    in.audioTracks =
        audioTracksFromDescriptors({"#1: eng (ac3) [5.1]", "#2: ger (ac3) [5.1]", "#3: jpn (aac)",
                                    "#4: fre (dts)", "#5: eng (flac)"});
    in.audioTrackIndex = 1;
    in.preferredLanguages = {"ger", "eng"};
    ConversionSettings s = keeping();
    EXPECT_EQ(streamsOf(furtherAudioTracks(in, s)), (QList<int>{1, 5}));
    const QList<FurtherAudioTrack> tracks2 = furtherAudioTracks(in, s);
    EXPECT_TRUE(tracks2.at(0).copied);
    EXPECT_FALSE(tracks2.at(1).copied) << "ffmpeg 5.1 writes flac into MP4 only with -strict";
    EXPECT_EQ(encodedFurtherTrackCount(in, s), 1);
    s.extraLanguages = "ja, fr";
    EXPECT_EQ(streamsOf(furtherAudioTracks(in, s)), (QList<int>{1, 3, 4, 5}));
    s.defaultAudio = 7; // jpn only, then the extra codes
    EXPECT_EQ(streamsOf(furtherAudioTracks(in, s)), (QList<int>{3, 4}));
    s.keepLanguageAudio = 0;
    EXPECT_TRUE(furtherAudioTracks(in, s).isEmpty());

    // The surround track of the compatible style is mapped already.
    s = keeping();
    s.conversionPreset = 0;
    s.includeSurroundTrack = 1;
    in.audioTracks = audioTracksFromDescriptors(
        {"#1: eng (aac)", "#2: eng (ac3) [5.1]", "#3: ger (ac3) [5.1]", "#4: eng (eac3)"});
    in.audioTrackIndex = 0;
    EXPECT_EQ(streamsOf(furtherAudioTracks(in, s)), QList<int>{3});
    s.includeSurroundTrack = 0;
    EXPECT_EQ(streamsOf(furtherAudioTracks(in, s)), (QList<int>{2, 3}));
}

TEST(KeptTracks, SubtitlesOfTheLanguagesAndUntaggedOnes)
{
    EXPECT_EQ(keptSubtitleIndexes({"eng", "ger", "jpn", "unk", "und", "fra"}, {"ger", "fre"}),
              (QList<int>{1, 3, 4, 5}));

    ConversionInputs in;
    in.audioTracks = audioTracksFromDescriptors({"#1: ger (aac)"});
    in.subtitleTrackIDs = {5, 6, 7, 8};
    in.subtitleTrackLanguages = {"eng", "ger", "jpn", "unk"};
    in.preferredLanguages = {"ger", "eng"};
    ConversionSettings s = keeping();
    EXPECT_EQ(mappedSubtitleStreams(in, s), (QList<int>{5, 6, 8}));
    EXPECT_EQ(keptSubtitleLanguages(in, s), (QStringList{"eng", "ger", "unk"}));
    s.extraLanguages = "ja";
    EXPECT_EQ(mappedSubtitleStreams(in, s), (QList<int>{5, 6, 7, 8}));
    s.keepLanguageSubtitles = 0;
    EXPECT_EQ(mappedSubtitleStreams(in, s), in.subtitleTrackIDs);
    EXPECT_FALSE(keptSubtitleLanguages(in, s).has_value());
    s.keepLanguageSubtitles = 1;
    s.disableBuiltinSubtitles = 1;
    EXPECT_TRUE(mappedSubtitleStreams(in, s).isEmpty());
    EXPECT_FALSE(keptSubtitleLanguages(in, s).has_value());
}
