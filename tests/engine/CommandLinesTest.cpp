#include "engine/CommandLines.h"

#include "CommandLinesInputs.h"
#include "common/SubtitleFileAt.h"
#include "engine/JobState.h"
#include "engine/StreamArguments.h"
#include "foundation/Alerts.h"
#include "foundation/LogSink.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

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
    // The movie's length lets the encoder even out its workers' last pieces.
    EXPECT_EQ(
        afconvertArguments(wav, kAac, s, 5400),
        QStringList({wav, "-o", kAac, "-f", "adts", "-d", "aac", "-e", "5400", "-b", "96000"}));
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
