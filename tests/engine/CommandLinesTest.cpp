#include "engine/CommandLines.h"

#include "common/SubtitleFileAt.h"
#include "engine/JobState.h"
#include "engine/StreamArguments.h"
#include "foundation/Alerts.h"
#include "foundation/LogSink.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

const QString kSource = QStringLiteral("/movies/Movie.mkv");
const QString kDest = QStringLiteral("/out/Movie.mp4");
const QString kProgress = QStringLiteral("/home/u/.cache/Vantreo/Movie.mkv.log");
const QString kSubtitle = QStringLiteral("/movies/Movie.srt");
const QString kAac = QStringLiteral("/home/u/.cache/Vantreo/Movie.mkv.aac.fifo");
// The mux's inputs: the source, then the encoder's ADTS stream from its FIFO.
const QStringList kMuxInputs = {"-i", kSource, "-thread_queue_size", "1024", "-f", "aac",
                                "-i", kAac};

ConversionInputs inputs(const QStringList& tracks, int chosen = 0)
{
    ConversionInputs in;
    in.sourcePath = kSource;
    in.outputPath = kDest;
    in.progressFile = kProgress;
    in.videoTrackID = 0;
    in.audioTracks = audioTracksFromDescriptors(tracks);
    in.audioTrackIndex = chosen;
    return in;
}

// Everything switched on for the compatible style.
ConversionSettings allEnabled()
{
    ConversionSettings s;
    s.conversionPreset = 0;
    s.includeSurroundTrack = 1;
    s.includeSurroundTrackTranscoded = 1;
    s.includeSurroundTrackDisabled = 1;
    s.disableBuiltinSubtitles = 0;
    return s;
}

QStringList tail(const QStringList& dest)
{
    return QStringList{"-progress", kProgress, "-loglevel", "warning", "-y"} + dest;
}

} // namespace

TEST(CommandLines, FixupTrialWritesOneSecondWithBothStreamsCopied)
{
    ConversionInputs in = inputs({"#0: eng (aac)", "#2: ger (aac)"}, 1);
    in.videoTrackID = 1;
    const QString trial = "/home/u/Documents/Movie.mkv.trial.mp4";
    EXPECT_EQ(fixupTestArguments(in, trial),
              QStringList({"-i", kSource, "-stats", "-t", "1", "-map", "0:1", "-map", "0:2",
                           "-vcodec", "copy", "-acodec", "copy", "-y", trial}));
}

TEST(CommandLines, CopiedHevcIsTaggedHvc1EverywhereTheMp4IsWritten)
{
    ConversionSettings s = allEnabled();
    ConversionInputs in = inputs({"#1: eng (aac)", "#2: eng (ac3) [5.1]"});
    in.videoCodec = "hevc";
    const auto tagAfterVideoPair = [](const QStringList& args) {
        const qsizetype at = args.indexOf("-vcodec");
        return at >= 0 && args.mid(at, 4) == QStringList({"-vcodec", "copy", "-tag:v", "hvc1"}) &&
               args.count("-tag:v") == 1;
    };
    EXPECT_TRUE(tagAfterVideoPair(fixupTestArguments(in, "/t.mp4")));
    EXPECT_TRUE(tagAfterVideoPair(singleProcessArguments(in, MethodCopy, s, {}).arguments));
    EXPECT_TRUE(tagAfterVideoPair(muxArguments(in, kAac, s).arguments));
    s.conversionPreset = 1;
    EXPECT_TRUE(tagAfterVideoPair(singleProcessArguments(in, MethodAC3Stereo, s, {}).arguments));
    // Other codecs keep what ffmpeg writes for them; the WAV stage writes no video.
    for (const QString codec : {"h264", "mpeg4", ""}) {
        in.videoCodec = codec;
        EXPECT_FALSE(singleProcessArguments(in, MethodCopy, s, {}).arguments.contains("-tag:v"));
        EXPECT_FALSE(muxArguments(in, kAac, s).arguments.contains("-tag:v"));
    }
    in.videoCodec = "hevc";
    EXPECT_FALSE(extractionArguments(in, "/t.wav").contains("-tag:v"));

    // An M4V name would pick ffmpeg's iPod muxer, which refuses HEVC.
    in.outputPath = "/out/.Movie.m4v.partial.m4v";
    EXPECT_EQ(singleProcessArguments(in, MethodCopy, s, {}).arguments.last(3),
              QStringList({"-f", "mp4", in.outputPath}));
    EXPECT_EQ(muxArguments(in, kAac, s).arguments.last(3),
              QStringList({"-f", "mp4", in.outputPath}));
    EXPECT_EQ(fixupTestArguments(in, "/d/Movie.mkv.trial.m4v").last(3),
              QStringList({"-f", "mp4", "/d/Movie.mkv.trial.m4v"}));
    in.videoCodec = "h264";
    EXPECT_FALSE(singleProcessArguments(in, MethodCopy, s, {}).arguments.contains("-f"));
}

TEST(CommandLines, SingleProcessPerMethodMarksTheAudioDefault)
{
    ConversionSettings s;
    s.conversionPreset = 1;
    bool asked = false;
    const auto fixup = [&] {
        asked = true;
        return true;
    };
    const ConversionInputs in = inputs({"#1: eng (ac3) [5.1]"});
    const QStringList head = {"-i",  kSource,   "-stats",   "-map",    "0:0",  "-map",
                              "0:1", "-scodec", "mov_text", "-vcodec", "copy", "-acodec"};

    BuiltArguments copy = singleProcessArguments(in, MethodCopy, s, fixup);
    EXPECT_EQ(copy.arguments,
              (head + QStringList{"copy", "-disposition:a:0", "default"} + tail({kDest})));
    EXPECT_FALSE(copy.addedSurround);
    EXPECT_FALSE(asked) << "the trial runs only for AAC audio";

    EXPECT_EQ(singleProcessArguments(in, MethodAC3Surround, s, fixup).arguments,
              (head +
               QStringList{"ac3", "-ac", "6", "-ab", "448k", "-filter:a:0", "aresample=async=1",
                           "-disposition:a:0", "default"} +
               tail({kDest})));
    s.ac3StereoBitrate = 3;
    EXPECT_EQ(singleProcessArguments(in, MethodAC3Stereo, s, fixup).arguments,
              (head +
               QStringList{"ac3", "-ac", "2", "-ab", "256k", "-filter:a:0", "aresample=async=1",
                           "-disposition:a:0", "default"} +
               tail({kDest})));
    EXPECT_FALSE(asked);
}

TEST(CommandLines, AacCopyAddsTheBitstreamFilterOnlyWhenTheTrialAsksForIt)
{
    ConversionSettings s;
    s.conversionPreset = 1;
    const ConversionInputs in = inputs({"#1: eng (aac)"});
    int asked = 0;
    const QStringList with = singleProcessArguments(in, MethodCopy, s, [&] {
                                 ++asked;
                                 return true;
                             }).arguments;
    EXPECT_EQ(with.mid(5, 4), QStringList({"-map", "0:1", "-bsf:a:0", "aac_adtstoasc"}));
    EXPECT_EQ(with.indexOf("-scodec"), 9);
    const QStringList without = singleProcessArguments(in, MethodCopy, s, [&] {
                                    ++asked;
                                    return false;
                                }).arguments;
    EXPECT_FALSE(without.contains("-bsf:a:0"));
    EXPECT_EQ(asked, 2);
    // Transcoded AAC never needs the filter.
    singleProcessArguments(in, MethodAC3Stereo, s, [&] {
        ++asked;
        return true;
    });
    EXPECT_EQ(asked, 2);
}

TEST(CommandLines, SingleProcessResultingOrderWithEverythingEnabled)
{
    auto sink = std::make_shared<CapturingLogSink>();
    setLogSink(sink);
    ConversionInputs in = inputs({"#1: eng (aac)", "#2: eng (dts) [5.1]"});
    in.subtitleTrackIDs = {3, 4};
    in.subtitleFiles = {subtitleFileAt(kSubtitle)};
    ConversionSettings s = allEnabled();

    const BuiltArguments built = singleProcessArguments(in, MethodCopy, s, [] { return true; });
    const QStringList expected = {
        "-i", kSource, "-i", kSubtitle, "-stats", "-map", "0:0", "-map", "0:1", "-map", "0:2",
        "-map", "1:0", "-map", "0:4", "-map", "0:3", "-bsf:a:0", "aac_adtstoasc", "-scodec",
        "mov_text", "-vcodec", "copy", "-acodec", "copy", "-c:a:1", "ac3", "-ac", "6", "-ab",
        "448k", "-filter:a:1", "aresample=async=1", "-disposition:a:0", "default",
        "-disposition:a:1", "0",
        // Three subtitle tracks in one group: the subtitle file is the one marked.
        "-disposition:s:0", "default", "-disposition:s:1", "0", "-disposition:s:2", "0"};
    EXPECT_EQ(built.arguments, (expected + tail({kDest})));
    EXPECT_TRUE(built.addedSurround);
    ASSERT_EQ(sink->entries().size(), 1);
    EXPECT_EQ(sink->entries()[0], "Info: adding subtitles from file " + kSubtitle);
    EXPECT_EQ(sink->levels()[0], 3);

    // Only the main audio is marked default, so both audio tracks share one
    // alternate group; a surround track that is to stay enabled is enabled
    // after the mux, not marked here.
    s.includeSurroundTrackDisabled = 0;
    EXPECT_EQ(singleProcessArguments(in, MethodCopy, s, [] { return true; }).arguments,
              built.arguments);
    setLogSink(std::make_shared<SyslogSink>());
}

TEST(CommandLines, SubtitleMappings)
{
    ConversionSettings s;
    s.conversionPreset = 1;
    s.disableBuiltinSubtitles = 0;
    ConversionInputs in = inputs({"#1: eng (ac3)"});
    in.subtitleTrackIDs = {3, 4};
    // Pairs go in last-first, right after the audio mapping.
    QStringList args = singleProcessArguments(in, MethodCopy, s, {}).arguments;
    EXPECT_EQ(args.mid(7, 5), QStringList({"-map", "0:4", "-map", "0:3", "-scodec"}));

    // Disabled built-in subtitles: no pairs, but a subtitle file is still carried.
    s.disableBuiltinSubtitles = 1;
    in.subtitleFiles = {subtitleFileAt(kSubtitle)};
    args = singleProcessArguments(in, MethodCopy, s, {}).arguments;
    EXPECT_EQ(args.mid(0, 5), QStringList({"-i", kSource, "-i", kSubtitle, "-stats"}));
    EXPECT_EQ(args.mid(9, 3), QStringList({"-map", "1:0", "-scodec"}));
    EXPECT_FALSE(args.contains("0:3"));

    // The subtitle mappings follow those made before them: the file, the
    // next input, then the streams last-first.
    FfmpegCommand command;
    command.addInput(kSource);
    command.addMap("0:0");
    s.disableBuiltinSubtitles = 0;
    EXPECT_EQ(addSubtitles(command, in, s), 3);
    EXPECT_EQ(command.mappings(), QStringList({"0:0", "1:0", "0:4", "0:3"}));
}

TEST(CommandLines, AdditionalSurroundTrackChoice)
{
    ConversionSettings s = allEnabled();
    const auto surroundMaps = [&](const ConversionInputs& in) {
        const QStringList args = singleProcessArguments(in, MethodCopy, s, {}).arguments;
        return args.mid(7, args.indexOf("-scodec") - 7);
    };
    // AC3 is searched before DTS.
    EXPECT_EQ(surroundMaps(inputs({"#1: eng (aac)", "#2: eng (dts) [5.1]", "#3: eng (ac3) [5.1]"})),
              QStringList({"-map", "0:3"}));
    // Only a 5.1 track of the chosen language counts.
    EXPECT_TRUE(
        surroundMaps(inputs({"#1: eng (aac)", "#2: ger (ac3) [5.1]", "#3: eng (ac3)"})).isEmpty());
    // A 5.1 AAC track is its own surround track: mapped twice.
    EXPECT_EQ(surroundMaps(inputs({"#1: eng (aac) [5.1]"})), QStringList({"-map", "0:1"}));
    EXPECT_EQ(singleProcessArguments(inputs({"#1: eng (aac) [5.1]"}), MethodCopy, s, {})
                  .arguments.mid(3, 6),
              QStringList({"-map", "0:0", "-map", "0:1", "-map", "0:1"}));

    // DTS is copied when transcoding is off.
    s.includeSurroundTrackTranscoded = 0;
    const BuiltArguments dts =
        singleProcessArguments(inputs({"#1: eng (aac)", "#2: eng (dts) [5.1]"}), MethodCopy, s, {});
    EXPECT_TRUE(dts.addedSurround);
    EXPECT_FALSE(dts.arguments.contains("-c:a:1"));

    // Nothing outside the compatible style, nor without IncludeSurroundTrack.
    const ConversionInputs both = inputs({"#1: eng (aac)", "#2: eng (ac3) [5.1]"});
    s.conversionPreset = 1;
    EXPECT_FALSE(singleProcessArguments(both, MethodCopy, s, {}).addedSurround);
    s.conversionPreset = 0;
    s.includeSurroundTrack = 0;
    EXPECT_FALSE(singleProcessArguments(both, MethodCopy, s, {}).addedSurround);
}

TEST(CommandLines, ExtractionAndEncodingStages)
{
    const QString wav = QStringLiteral("/home/u/.cache/Vantreo/Movie.mkv.audio.fifo");
    ConversionInputs in = inputs({"#1: eng (ac3)", "#2: eng (dts) [5.1]"}, 1);
    in.subtitleFiles = {subtitleFileAt(kSubtitle)}; // never part of the extraction
    EXPECT_EQ(extractionArguments(in, wav),
              QStringList({"-i", kSource, "-stats", "-map", "0:2", "-acodec", "pcm_f32le", "-ac",
                           "2", "-af", "aresample=async=1", "-loglevel", "warning", "-y",
                           "-flush_packets", "0", "-f", "wav", wav}));

    ConversionSettings s;
    EXPECT_EQ(afconvertArguments(wav, kAac, s),
              QStringList({wav, "-o", kAac, "-f", "adts", "-d", "aac", "-b", "128000"}));
    s.aacBitrate = 7;
    EXPECT_EQ(afconvertArguments(wav, kAac, s).last(), "192000");
    s.aacBitrate = -1;
    EXPECT_EQ(afconvertArguments(wav, kAac, s).last(), "96000");
}

TEST(CommandLines, MuxResultingOrderWithEverythingEnabled)
{
    ConversionInputs in = inputs({"#1: ger (mp3)", "#2: ger (dts) [5.1]"});
    in.subtitleTrackIDs = {3, 4};
    in.subtitleFiles = {subtitleFileAt(kSubtitle)};
    ConversionSettings s = allEnabled();
    const BuiltArguments built = muxArguments(in, kAac, s);
    const QStringList expected = kMuxInputs + QStringList{"-i",
                                                          kSubtitle,
                                                          "-stats",
                                                          "-map",
                                                          "0:0",
                                                          "-map",
                                                          "1:0",
                                                          "-map",
                                                          "0:2",
                                                          "-map",
                                                          "2:0",
                                                          "-map",
                                                          "0:4",
                                                          "-map",
                                                          "0:3",
                                                          "-scodec",
                                                          "mov_text",
                                                          "-vcodec",
                                                          "copy",
                                                          "-acodec",
                                                          "copy",
                                                          "-c:a:1",
                                                          "ac3",
                                                          "-ac",
                                                          "6",
                                                          "-ab",
                                                          "448k",
                                                          "-filter:a:1",
                                                          "aresample=async=1",
                                                          "-disposition:a:0",
                                                          "default",
                                                          "-disposition:a:1",
                                                          "0",
                                                          "-disposition:s:0",
                                                          "default",
                                                          "-disposition:s:1",
                                                          "0",
                                                          "-disposition:s:2",
                                                          "0",
                                                          "-progress",
                                                          kProgress,
                                                          "-metadata:s:a:0",
                                                          "language=deu",
                                                          "-metadata:s:a:1",
                                                          "language=deu",
                                                          "-loglevel",
                                                          "warning",
                                                          "-y",
                                                          kDest};
    EXPECT_EQ(built.arguments, expected);
    EXPECT_TRUE(built.addedSurround);
}

TEST(CommandLines, MuxLanguageMetadata)
{
    const ConversionInputs in = inputs({"#1: ger (mp3)", "#2: fre (ac3) [5.1]"});
    ConversionSettings s = allEnabled();
    s.disableBuiltinSubtitles = 1;
    const auto metadata = [&] {
        const QStringList args = muxArguments(in, kAac, s).arguments;
        const qsizetype from = args.indexOf("-progress") + 2;
        return args.mid(from, args.indexOf("-loglevel") - from);
    };
    // No German surround track: the second pair is written all the same.
    EXPECT_EQ(metadata(),
              QStringList({"-metadata:s:a:0", "language=deu", "-metadata:s:a:1", "language=deu"}));
    s.includeSurroundTrackDisabled = 0;
    EXPECT_EQ(metadata(),
              QStringList({"-metadata:s:a:0", "language=ger", "-metadata:s:a:1", "language=ger"}));
    s.includeSurroundTrack = 0;
    EXPECT_EQ(metadata(), QStringList({"-metadata:s:a:0", "language=ger"}));

    // A track without a language tag is written "und", never the probe's "unk".
    for (const QString untagged : {"#1: unk (mp3)", "#1:  (mp3)"}) {
        EXPECT_TRUE(muxArguments(inputs({untagged}), kAac, s).arguments.contains("language=und"))
            << untagged.toStdString();
        s.includeSurroundTrack = 1;
        const QStringList both = muxArguments(inputs({untagged}), kAac, s).arguments;
        EXPECT_EQ(both.count("language=und"), 2);
        EXPECT_FALSE(both.join(' ').contains("unk"));
        s.includeSurroundTrack = 0;
    }

    // Without extras the mux is its 21-entry base plus the metadata and the disposition.
    EXPECT_EQ(muxArguments(in, kAac, s).arguments,
              kMuxInputs + QStringList({"-stats",       "-map",      "0:0",      "-map",
                                        "1:0",          "-scodec",   "mov_text", "-vcodec",
                                        "copy",         "-acodec",   "copy",     "-disposition:a:0",
                                        "default",      "-progress", kProgress,  "-metadata:s:a:0",
                                        "language=ger", "-loglevel", "warning",  "-y",
                                        kDest}));
}

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
