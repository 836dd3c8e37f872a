#include "CommandLinesInputs.h"
#include "common/SubtitleFileAt.h"
#include "engine/CommandLines.h"
#include "engine/JobState.h"
#include "engine/StreamArguments.h"

#include <gtest/gtest.h>

TEST(CommandLines, FurtherTracksFollowTheSurroundTrackInEveryMethod)
{
    // Chosen eng aac; eng dts 5.1 is the surround track; ger ac3 is copied,
    // fre dts encoded; the jpn track is not one of the user's languages.
    ConversionInputs in = inputs({"#1: eng (aac)", "#2: eng (dts) [5.1]", "#3: ger (ac3) [5.1]",
                                  "#4: jpn (aac)", "#5: fre (dts)"});
    in.subtitleTrackIDs = {6};
    in.subtitleTrackLanguages = {"eng"};
    in.preferredLanguages = {"eng", "ger", "fre"};
    ConversionSettings s = allEnabled();
    s.keepLanguageAudio = 1;
    s.aacBitrate = 2;
    const QStringList further = {"-c:a:2",          "copy",        "-metadata:s:a:2",
                                 "language=ger",    "-c:a:3",      "aac",
                                 "-ac:a:3",         "2",           "-b:a:3",
                                 "160000",          "-filter:a:3", "aresample=async=1",
                                 "-metadata:s:a:3", "language=fre"};
    const QStringList dispositions = {"-disposition:a:0", "default", "-disposition:a:1", "0",
                                      "-disposition:a:2", "0",       "-disposition:a:3", "0"};

    const BuiltArguments copy = singleProcessArguments(in, MethodCopy, s, {});
    EXPECT_EQ(copy.furtherAudioTracks, 2);
    EXPECT_EQ(copy.arguments.mid(3, 12),
              QStringList({"-map", "0:0", "-map", "0:1", "-map", "0:2", "-map", "0:3", "-map",
                           "0:5", "-map", "0:6"}));
    const qsizetype at = copy.arguments.indexOf("-c:a:2");
    EXPECT_EQ(copy.arguments.mid(at - 8, 8),
              QStringList({"-c:a:1", "ac3", "-ac", "6", "-ab", "448k", "-filter:a:1",
                           "aresample=async=1"}));
    EXPECT_EQ(copy.arguments.mid(at, 22), further + dispositions);
    EXPECT_EQ(copy.arguments.mid(at + 22, 2), QStringList({"-progress", kProgress}));

    // The mux stage takes them from the movie, input 0, after the surround track.
    const BuiltArguments mux = muxArguments(in, kAac, s);
    EXPECT_EQ(mux.furtherAudioTracks, 2);
    EXPECT_EQ(mux.arguments.mid(9, 12), QStringList({"-map", "0:0", "-map", "1:0", "-map", "0:2",
                                                     "-map", "0:3", "-map", "0:5", "-map", "0:6"}));
    EXPECT_EQ(mux.arguments.mid(mux.arguments.indexOf("-c:a:2"), 22), further + dispositions);

    // Without a surround track they begin at the second audio track, and
    // the mux stage's second language pair no longer names the main one.
    in.audioTracks = audioTracksFromDescriptors({"#1: eng (aac)", "#3: ger (ac3) [5.1]"});
    const QStringList muxed = muxArguments(in, kAac, s).arguments;
    EXPECT_EQ(muxed.mid(9, 8),
              QStringList({"-map", "0:0", "-map", "1:0", "-map", "0:3", "-map", "0:6"}));
    EXPECT_EQ(muxed.count("-metadata:s:a:1"), 1);
    EXPECT_EQ(muxed.at(muxed.indexOf("-metadata:s:a:1") + 1), "language=ger");
    EXPECT_TRUE(muxed.contains("-disposition:a:1"));

    // The AC3 methods: the list's own "-acodec ac3 -ac 2" come first, the
    // track's options win after them.
    s.conversionPreset = 1;
    in.audioTracks =
        audioTracksFromDescriptors({"#1: eng (dts)", "#3: ger (eac3)", "#4: ger (mp3)"});
    const QStringList ac3 = singleProcessArguments(in, MethodAC3Stereo, s, {}).arguments;
    EXPECT_EQ(ac3.mid(5, 6), QStringList({"-map", "0:1", "-map", "0:3", "-map", "0:4"}));
    EXPECT_LT(ac3.indexOf("-ab"), ac3.indexOf("-c:a:1"));
    EXPECT_EQ(ac3.mid(ac3.indexOf("-c:a:1"), 8),
              QStringList({"-c:a:1", "copy", "-metadata:s:a:1", "language=ger", "-c:a:2", "copy",
                           "-metadata:s:a:2", "language=ger"}));

    // Off: the list of today.
    s.keepLanguageAudio = 0;
    const QStringList off = singleProcessArguments(in, MethodAC3Stereo, s, {}).arguments;
    EXPECT_EQ(off.count("-map"), 3);
    EXPECT_FALSE(off.contains("-c:a:1"));
}

TEST(CommandLines, LanguagesTaggedByNameAreWrittenAsCodes)
{
    // An OGM: "English" audio and subtitle, which ffmpeg would copy as names.
    ConversionInputs in = inputs({"#1: eng (mp3)"});
    in.subtitleTrackIDs = {2, 3};
    in.subtitleTrackLanguages = {"eng", "ger"};
    in.nameTaggedStreams = {1, 2};
    in.subtitleFiles = {subtitleFileAt(kSubtitle)};
    ConversionSettings s;
    s.conversionPreset = 1;
    s.disableBuiltinSubtitles = 0;
    const QStringList args = singleProcessArguments(in, MethodAC3Stereo, s, {}).arguments;
    // Subtitle tracks: the file, then stream 3, then stream 2.
    EXPECT_EQ(args.mid(args.indexOf("-disposition:a:0") - 4, 4),
              QStringList({"-metadata:s:s:2", "language=eng", "-metadata:s:a:0", "language=eng"}));
    EXPECT_EQ(args.filter(QRegularExpression("^-metadata")).size(), 2);

    // Without name tags the list is as it always was.
    in.nameTaggedStreams.clear();
    EXPECT_FALSE(singleProcessArguments(in, MethodAC3Stereo, s, {})
                     .arguments.join(' ')
                     .contains("metadata"));
    // The mux stage writes the main language anyway; only the subtitle is added.
    in.nameTaggedStreams = {1, 3};
    in.subtitleFiles.clear();
    const QStringList mux = muxArguments(in, kAac, s).arguments;
    EXPECT_EQ(mux.count("-metadata:s:a:0"), 1);
    EXPECT_EQ(mux.mid(mux.indexOf("-metadata:s:s:0"), 2),
              QStringList({"-metadata:s:s:0", "language=ger"}));
}

TEST(CommandLines, SubtitleFileEncodingStandsBeforeItsInput)
{
    ConversionSettings s;
    s.conversionPreset = 1;
    s.disableBuiltinSubtitles = 0;
    ConversionInputs in = inputs({"#1: eng (ac3)"});
    in.subtitleTrackIDs = {3};
    in.subtitleFiles = {subtitleFileAt(kSubtitle)};
    in.subtitleFileEncodings = {"WINDOWS-1252"};
    const QStringList single = singleProcessArguments(in, MethodCopy, s, {}).arguments;
    EXPECT_EQ(single.mid(0, 7), QStringList({"-i", kSource, "-sub_charenc", "WINDOWS-1252", "-i",
                                             kSubtitle, "-stats"}));
    // The mappings follow in the usual order despite the two extra words.
    EXPECT_EQ(single.mid(7, 9),
              QStringList({"-map", "0:0", "-map", "0:1", "-map", "1:0", "-map", "0:3", "-scodec"}));
    const QStringList mux = muxArguments(in, kAac, s).arguments;
    EXPECT_EQ(mux.mid(0, 13), kMuxInputs + QStringList({"-sub_charenc", "WINDOWS-1252", "-i",
                                                        kSubtitle, "-stats"}));
    EXPECT_EQ(mux.mid(13, 9),
              QStringList({"-map", "0:0", "-map", "1:0", "-map", "2:0", "-map", "0:3", "-scodec"}));
    EXPECT_EQ(mux.count("-sub_charenc"), 1);
}

TEST(CommandLines, EverySubtitleFileAndEveryNamedAudioTrack)
{
    ConversionSettings s;
    s.conversionPreset = 1;
    s.keepAllAudioTracks = 1;
    ConversionInputs in = inputs({"#1: ger (ac3)", "#2: eng (dts)", "#3: und (aac)"});
    in.timings.titles = {{1, "Main"}, {3, "Mic"}};
    in.subtitleFiles = {{"/movies/Movie.de.forced.srt", "ger", true, false},
                        {"/movies/Movie.en.srt", "eng", false, false},
                        {"/movies/Movie.fr.sdh.srt", "fre", false, true}};
    const BuiltArguments built = singleProcessArguments(in, MethodCopy, s, {});
    const QStringList& args = built.arguments;
    // Every other track after the chosen one, in the source's order: DTS
    // encoded, AAC copied; the names go into the handler names.
    EXPECT_EQ(built.furtherAudioTracks, 2);
    EXPECT_EQ(args.mid(0, 9),
              QStringList({"-i", kSource, "-i", "/movies/Movie.de.forced.srt", "-i",
                           "/movies/Movie.en.srt", "-i", "/movies/Movie.fr.sdh.srt", "-stats"}));
    EXPECT_EQ(args.mid(9, 15),
              QStringList({"-map", "0:0", "-map", "0:1", "-map", "0:2", "-map", "0:3", "-map",
                           "1:0", "-map", "2:0", "-map", "3:0", "-scodec"}));
    const QString joined = args.join(' ');
    for (const char* part :
         {"-c:a:1 aac -ac:a:1 2", "-c:a:2 copy", "-metadata:s:a:2 handler_name=Mic",
          "-metadata:s:a:0 handler_name=Main", "-metadata:s:s:0 language=ger",
          "-metadata:s:s:2 language=fre", "-metadata:s:s:2 handler_name=SDH",
          // The forced file in the chosen track's language is the one enabled.
          "-disposition:s:0 default+forced -disposition:s:1 0 -disposition:s:2 0"})
        EXPECT_TRUE(joined.contains(part)) << part << "\n" << qPrintable(joined);
    EXPECT_FALSE(joined.contains("handler_name=Main -metadata:s:a:1")) << "no name, no metadata";

    // Chosen English: no forced file matches, the first file is enabled and
    // the German one stays forced.
    in.audioTrackIndex = 1;
    const QString english = singleProcessArguments(in, MethodCopy, s, {}).arguments.join(' ');
    EXPECT_TRUE(english.contains("-disposition:s:0 default+forced -disposition:s:1 0"))
        << qPrintable(english);
    in.subtitleFiles[0].forced = false;
    in.subtitleFiles.removeLast();
    in.subtitleFiles.removeLast();
    EXPECT_FALSE(
        singleProcessArguments(in, MethodCopy, s, {}).arguments.contains("-disposition:s:0"))
        << "one plain subtitle track: ffmpeg's own choice, as ever";
}
