#include "engine/CommandLines.h"
#include "engine/OutputVerification.h"
#include "inspection/ProbeListing.h"
#include "inspection/StreamEnds.h"
#include "inspection/StreamTimings.h"

#include <gtest/gtest.h>

// Audio delays carried into the mux stage and checked when the file is read
// back; Blu-ray surround layouts and codecs; files that end early.

namespace {

ConversionInputs movie(const QStringList& tracks)
{
    ConversionInputs in;
    in.sourcePath = QStringLiteral("/movies/Movie.mkv");
    in.outputPath = QStringLiteral("/movies/.Movie.mp4.partial.mp4");
    in.progressFile = QStringLiteral("/docs/Movie.mkv.log");
    in.audioTracks = audioTracksFromDescriptors(tracks);
    return in;
}

WrittenTrack track(WrittenTrack::Kind kind, double start)
{
    WrittenTrack t;
    t.kind = kind;
    t.samples = 100;
    t.seconds = 4;
    t.startSeconds = start;
    return t;
}

} // namespace

TEST(Delays, TimingsAreReadAndTheNewAacTrackIsPlacedWhereTheChosenTrackStarts)
{
    const StreamTimings t =
        parseStreamTimings("stream|index=0|start_time=0.023000\n"
                           "stream|index=1|sample_rate=48000|start_time=0.500000\n"
                           "stream|index=2|sample_rate=44100|start_time=N/A\n"
                           "format|start_time=0.023000\n");
    EXPECT_EQ(t.inputStart, 0.023);
    EXPECT_EQ(t.starts, (QHash<int, double>{{0, 0.023}, {1, 0.5}}));
    EXPECT_EQ(t.sampleRates, (QHash<int, int>{{1, 48000}, {2, 44100}}));

    ConversionInputs in = movie({"#1: eng (mp3)"});
    in.timings = t;
    // The delay from the source's start less the encoder's 1024 samples of
    // priming, which the MP4's edit list then skips.
    ASSERT_TRUE(encodedAudioOffset(in).has_value());
    EXPECT_NEAR(*encodedAudioOffset(in), 0.477 - 1024.0 / 48000, 1e-9);
    const QString fifo = "/c/Movie.mkv.aac.fifo";
    const QStringList mux = muxArguments(in, fifo, {}).arguments;
    EXPECT_EQ(mux.mid(0, 10), (QStringList{"-i", in.sourcePath, "-thread_queue_size", "1024", "-f",
                                           "aac", "-itsoffset", "0.455667", "-i", fifo}));
    EXPECT_EQ(mux.mid(mux.indexOf("-map"), 4), (QStringList{"-map", "0:0", "-map", "1:0"}));

    // Sound that starts with the movie, or whose start is unknown, is moved
    // by the priming only; without a known rate, not at all.
    in.timings.starts[1] = 0.023;
    EXPECT_NEAR(*encodedAudioOffset(in), -1024.0 / 48000, 1e-9);
    in.timings.inputStart.reset();
    EXPECT_NEAR(*encodedAudioOffset(in), -1024.0 / 48000, 1e-9);
    in.timings.sampleRates.clear();
    EXPECT_FALSE(encodedAudioOffset(in).has_value());
    EXPECT_FALSE(muxArguments(in, "a.aac", {}).arguments.contains("-itsoffset"));
}

TEST(Delays, ReadBackComparesEachAudioTrackWithItsSourceStream)
{
    using Kind = WrittenTrack::Kind;
    MappedSource source;
    source.encodedAudioStream = 1;
    source.inputStart = 0.0;
    source.streamStarts = {{0, 0.0}, {1, 0.5}, {2, 0.5}};
    const QStringList mux{"-map", "0:0", "-map", "1:0", "-map", "0:2"};
    const ExpectedOutput e = expectedOutput(mux, true, 4, {{0, 4.0}, {1, 6.0}}, 0, source);
    EXPECT_EQ(e.videoStart, 0.0);
    EXPECT_EQ(e.audioStarts, (QList<std::optional<double>>{0.5, 0.5}));
    // The new AAC track counts as its source stream: sound that outlasts
    // the picture is the movie's length.
    EXPECT_EQ(e.runtimeSeconds, 6.0);

    WrittenMovie written;
    written.tracks = {track(Kind::Video, 0), track(Kind::Audio, 0.49), track(Kind::Audio, 0.51)};
    for (WrittenTrack& t : written.tracks)
        t.seconds = 6;
    EXPECT_EQ(outputProblem(e, written), "");
    written.tracks[1].startSeconds = 0;
    EXPECT_EQ(outputProblem(e, written), "The sound of the converted file is 0.50 s early.");
    written.tracks[1].startSeconds = 0.5;
    written.tracks[2].startSeconds = 1.25;
    EXPECT_EQ(outputProblem(e, written), "The sound of the converted file is 0.75 s late.");
    // Key frames dropped at the head of the video move the picture alone;
    // a muxer that moves every track alike keeps them in sync.
    written.tracks[2].startSeconds = 0.5;
    written.tracks[0].startSeconds = 0.3;
    EXPECT_EQ(outputProblem(e, written), "");
    written.tracks[0].startSeconds = 0;
    for (WrittenTrack& t : written.tracks)
        t.startSeconds += 1.0;
    EXPECT_EQ(outputProblem(e, written), "");

    // A movie without sound expects none.
    MappedSource silent;
    silent.withoutAudio = true;
    const ExpectedOutput none = expectedOutput({"-map", "0:0"}, false, 4, {}, 0, silent);
    EXPECT_EQ(none.audioTracks, 0);
    WrittenMovie picture;
    picture.tracks = {track(Kind::Video, 0)};
    EXPECT_EQ(outputProblem(none, picture), "");
}

// Each audio track must last on the time line as long as its source stream
// does, from the start ffprobe reads to the end of its last packet: a gap
// closed up or an end lost is a second short.
TEST(Delays, ReadBackComparesEachAudioTrackSpanWithItsSourceStream)
{
    const QHash<int, StreamEnd> ends =
        parseStreamEnds("packet|stream_index=1|pts_time=5.952000|duration_time=0.032000\n"
                        "packet|stream_index=1|pts_time=5.984000|duration_time=0.032000\n"
                        "packet|stream_index=2|pts_time=N/A|duration_time=0.021000\n"
                        "packet|stream_index=2|pts_time=6.480000|duration_time=N/A\n"
                        "stream|index=1\n");
    ASSERT_EQ(ends.size(), 2);
    EXPECT_DOUBLE_EQ(ends.value(1).seconds, 6.016);
    EXPECT_DOUBLE_EQ(ends.value(1).frameSeconds, 0.032);
    EXPECT_DOUBLE_EQ(ends.value(2).seconds, 6.48);
    // Ogg guesses its time stamps after a seek: none ends past the container.
    const QHash<int, StreamEnd> ogg =
        parseStreamEnds("packet|stream_index=1|pts_time=2.481633|duration_time=0.026122\n"
                        "format|start_time=0.000000|duration=2.037551\n");
    EXPECT_NEAR(ogg.value(1).seconds, 2.063673, 1e-9);

    using Kind = WrittenTrack::Kind;
    MappedSource source;
    source.inputStart = 0.0;
    source.streamStarts = {{0, 0.0}, {1, 0.0}, {2, 0.5}};
    source.streamEnds = ends;
    source.encodedAudioStream = 1;
    const ExpectedOutput e =
        expectedOutput({"-map", "0:0", "-map", "1:0", "-map", "0:2"}, true, 6, {}, 0, source);
    ASSERT_EQ(e.audioSpans.size(), 2);
    EXPECT_DOUBLE_EQ(e.audioSpans.at(0)->seconds, 6.016);
    EXPECT_DOUBLE_EQ(e.audioSpans.at(1)->seconds, 5.98);

    WrittenMovie written;
    written.tracks = {track(Kind::Video, 0), track(Kind::Audio, 0), track(Kind::Audio, 0.5)};
    for (WrittenTrack& t : written.tracks)
        t.seconds = t.spanSeconds = 6;
    written.tracks[2].spanSeconds = 5.98;
    EXPECT_EQ(outputProblem(e, written), "");
    // An encoder's padding, or one frame less, is no fault; a second is.
    written.tracks[1].spanSeconds = 5.95;
    EXPECT_EQ(outputProblem(e, written), "");
    written.tracks[1].spanSeconds = 5.016;
    EXPECT_EQ(outputProblem(e, written),
              "The sound of the converted file ends 1.00 s early: part of it went missing.");
    // Unknown ends, or a clock that jumps back, check nothing.
    source.streamEnds[1].seconds = -3;
    source.streamEnds.remove(2);
    const ExpectedOutput unknown =
        expectedOutput({"-map", "0:0", "-map", "1:0", "-map", "0:2"}, true, 6, {}, 0, source);
    ASSERT_EQ(unknown.audioSpans.size(), 2);
    EXPECT_FALSE(unknown.audioSpans.at(0) || unknown.audioSpans.at(1));
    EXPECT_EQ(outputProblem(unknown, written), "");
}

TEST(Delays, FilesThatEndEarly)
{
    EXPECT_TRUE(saysInputEndedEarly("[matroska,webm @ 0x1] File ended prematurely\n"));
    EXPECT_FALSE(saysInputEndedEarly("Invalid data found when processing input"));

    ExpectedOutput e;
    e.runtimeSeconds = 6;
    WrittenMovie cut;
    cut.tracks = {track(WrittenTrack::Kind::Video, 0), track(WrittenTrack::Kind::Audio, 0)};
    for (WrittenTrack& t : cut.tracks)
        t.seconds = 2.9;
    EXPECT_TRUE(outputProblem(e, cut).startsWith("The converted file lasts"));
    e.inputEndedEarly = true;
    EXPECT_EQ(outputProblem(e, cut), "");
    EXPECT_EQ(truncationWarning("Cut.mkv", playedSeconds(cut), 6.0),
              "Warning: 'Cut.mkv' ends after 0:03 of its 0:06; the MP4 holds all of it that "
              "could be read.");
    EXPECT_EQ(truncationWarning("Film.mkv", 3725, 7384),
              "Warning: 'Film.mkv' ends after 1:02:05 of its 2:03:04; the MP4 holds all of it "
              "that could be read.");
    EXPECT_EQ(truncationWarning("Whole.mkv", 5.5, 6.0), "");
    EXPECT_EQ(truncationWarning("Unknown.mkv", 3, std::nullopt), "");
    // A longer file is still a fault.
    for (WrittenTrack& t : cut.tracks)
        t.seconds = 12;
    EXPECT_FALSE(outputProblem(e, cut).isEmpty());
}

TEST(Surround, SevenOneCountsAndCodecsAnMp4CannotHoldBecomeAC3)
{
    const ProbeResult r =
        parseFfmpegListing("  Stream #0:0: Video: h264 (High), yuv420p, 1920x1080, 24 fps\n"
                           "  Stream #0:1(eng): Audio: truehd, 48000 Hz, 7.1, s32 (24 bit)\n"
                           "  Stream #0:2(eng): Audio: pcm_s24le, 48000 Hz, 7.1(wide), s32\n"
                           "  Stream #0:3(eng): Audio: aac (LC), 48000 Hz, stereo, fltp, 127 kb/s\n"
                           "  Stream #0:4(eng): Audio: flac, 48000 Hz, 5.1(side), s16\n");
    EXPECT_EQ(descriptorsOf(r.audioTracks),
              (QStringList{"#1: eng (truehd) [7.1]", "#2: eng (pcm_s24le) [7.1]", "#3: eng (aac)",
                           "#4: eng (flac) [5.1]"}));
    EXPECT_TRUE(r.audioTracks[0].isSurround());
    EXPECT_FALSE(r.audioTracks[2].isSurround());

    ConversionSettings s;
    s.conversionPreset = 0;
    s.includeSurroundTrack = 1;
    s.includeSurroundTrackTranscoded = 0;
    // The AAC stereo track chosen: the TrueHD track is the surround one,
    // written as AC3 5.1.
    ConversionInputs in = movie(descriptorsOf(r.audioTracks));
    in.audioTrackIndex = 2;
    const auto surround = surroundTrackFor(in, s);
    ASSERT_TRUE(surround.has_value());
    EXPECT_EQ(surround->stream, 1);
    const QStringList args = singleProcessArguments(in, 3, s, {}).arguments;
    EXPECT_EQ(args.mid(args.indexOf("-c:a:1"), 6),
              (QStringList{"-c:a:1", "ac3", "-ac", "6", "-ab", "448k"}));
    // The LPCM track chosen is its own surround track, in AC3 too; a DTS
    // one keeps the setting, AAC and AC3 are carried as they are.
    in.audioTrackIndex = 1;
    EXPECT_EQ(surroundTrackFor(in, s)->stream, 2);
    EXPECT_TRUE(muxArguments(in, "a.aac", s).arguments.contains("-c:a:1"));
    EXPECT_TRUE(surroundNeedsAC3("flac", s));
    EXPECT_FALSE(surroundNeedsAC3("dts", s));
    EXPECT_FALSE(surroundNeedsAC3("aac", s));
    EXPECT_FALSE(surroundNeedsAC3("eac3", s));
}

TEST(Silent, AMovieWithoutSoundMapsItsVideoAndSubtitlesOnly)
{
    ConversionInputs in = movie({});
    in.subtitleTrackIDs = {1};
    in.subtitleTrackLanguages = {"eng"};
    ConversionSettings s;
    s.disableBuiltinSubtitles = 0;
    const QStringList args = singleProcessArguments(in, 3, s, [] { return true; }).arguments;
    EXPECT_EQ(args.mid(0, 7),
              (QStringList{"-i", in.sourcePath, "-stats", "-map", "0:0", "-map", "0:1"}));
    EXPECT_FALSE(args.contains("-acodec"));
    EXPECT_FALSE(args.join(' ').contains("-disposition:a"));
    EXPECT_EQ(args.count("-map"), 2);
}
