#include "engine/OutputVerification.h"

#include <gtest/gtest.h>
#include <limits>

namespace {

using Kind = WrittenTrack::Kind;

WrittenTrack track(Kind kind, quint64 samples, double seconds = 60)
{
    WrittenTrack t;
    t.kind = kind;
    t.samples = samples;
    t.seconds = seconds;
    return t;
}

WrittenMovie movie(const QList<WrittenTrack>& tracks, double seconds = 60)
{
    WrittenMovie m;
    m.tracks = tracks;
    m.seconds = seconds;
    return m;
}

} // namespace

TEST(OutputVerification, ExpectedStreamsComeFromTheCommandLine)
{
    const QStringList single = {"-i",   "a.mkv", "-i",   "a.srt", "-map", "0:0", "-map", "0:1",
                                "-map", "0:2",   "-map", "1:0",   "-map", "0:4", "-y",   "out.mp4"};
    ExpectedOutput e = expectedOutput(single, true, 125);
    EXPECT_EQ(e.audioTracks, 2);
    EXPECT_EQ(e.subtitleTracks, 2);
    EXPECT_EQ(e.runtimeSeconds, 125.0);
    e = expectedOutput({"-map", "0:0", "-map", "1:0"}, false, std::nullopt);
    EXPECT_EQ(e.audioTracks, 1);
    EXPECT_EQ(e.subtitleTracks, 0);
    EXPECT_FALSE(e.runtimeSeconds.has_value());
    EXPECT_FALSE(expectedOutput({}, false, 0).runtimeSeconds.has_value()) << "0 is unknown";
    // Audio tracks kept for the user's languages are audio, not subtitles.
    e = expectedOutput(single, true, 125, {}, 2);
    EXPECT_EQ(e.audioTracks, 4);
    EXPECT_EQ(e.subtitleTracks, 0);
}

TEST(OutputVerification, SaysWhatIsMissing)
{
    ExpectedOutput e;
    e.audioTracks = 2;
    e.subtitleTracks = 1;
    e.runtimeSeconds = 60;
    const WrittenTrack video = track(Kind::Video, 1500), audio = track(Kind::Audio, 2800),
                       text = track(Kind::Subtitle, 0);
    EXPECT_EQ(outputProblem(e, movie({video, audio, audio, text})), QString());

    EXPECT_EQ(outputProblem(e, std::nullopt),
              "The converted file cannot be read back as an MP4 file.");
    EXPECT_EQ(outputProblem(e, movie({audio, audio, text})),
              "The converted file has no video frames.");
    EXPECT_EQ(outputProblem(e, movie({track(Kind::Video, 0), audio, audio, text})),
              "The converted file has no video frames.");
    EXPECT_EQ(outputProblem(e, movie({video, text})), "The converted file has no audio track.");
    EXPECT_EQ(outputProblem(e, movie({video, audio, text})),
              "The converted file has 1 audio track instead of 2.");
    EXPECT_EQ(outputProblem(e, movie({video, audio, track(Kind::Audio, 0), text})),
              "The converted file has an audio track without sound.");
    // A subtitle track without a single cue is left out by ffmpeg: no fault.
    EXPECT_EQ(outputProblem(e, movie({video, audio, audio})), QString());
    // More than mapped (a chapter track, say) is no fault.
    EXPECT_EQ(outputProblem(e, movie({video, audio, audio, text, track(Kind::Other, 3)})),
              QString());
}

TEST(OutputVerification, DurationWithinTwoSecondsOrTwoPercent)
{
    ExpectedOutput e;
    const auto problem = [&](double runtime, double written) {
        e.runtimeSeconds = runtime;
        // A subtitle cue far past the end makes the movie no longer.
        return outputProblem(
            e, movie({track(Kind::Video, 10, written), track(Kind::Audio, 10, written - 1),
                      track(Kind::Subtitle, 1, written + 500)},
                     written + 500));
    };
    EXPECT_EQ(problem(60, 58.1), QString());
    EXPECT_EQ(problem(60, 62), QString());
    EXPECT_EQ(problem(60, 57.9), "The converted file lasts 57s instead of the movie's 1m 0s.");
    // Two percent of a long movie is more than two seconds.
    EXPECT_EQ(problem(7200, 7060), QString());
    EXPECT_EQ(problem(7200, 7000), "The converted file lasts 116m 40s instead of the movie's "
                                   "120m 0s.");
    EXPECT_FALSE(problem(60, std::numeric_limits<double>::quiet_NaN()).isEmpty());
    // Without a known run time only the tracks count.
    e.runtimeSeconds.reset();
    EXPECT_EQ(outputProblem(e, movie({track(Kind::Video, 10, 1), track(Kind::Audio, 10, 1)})),
              QString());

    // Where the movie names its streams' own lengths, the mapped video and
    // audio decide, not a longer subtitle or a track left out.
    const QStringList args{"-map", "0:0", "-map", "0:1", "-map", "0:3", "-y", "out.mp4"};
    EXPECT_EQ(expectedOutput(args, false, 51, {{0, 2.0}, {1, 2.5}, {2, 51.0}}).runtimeSeconds, 2.5);
    // Without the video's own length the run time stands.
    EXPECT_EQ(expectedOutput(args, false, 51, {{1, 2.5}}).runtimeSeconds, 51.0);
    // The mux stage maps the new AAC from its second input.
    EXPECT_EQ(expectedOutput({"-map", "0:0", "-map", "1:0"}, false, 51, {{0, 2.0}}).runtimeSeconds,
              2.0);
}
