#include "common/JobTestKit.h"
#include "common/TestSupport.h"
#include "common/WrittenBoxes.h"
#include "engine/ConversionJob.h"
#include "engine/JobState.h"
#include "foundation/SettingsAccess.h"
#include "foundation/SettingsKeys.h"
#include "shell/AppDelegate.h"

#include <QPointer>
#include <gtest/gtest.h>

// Movies as other programs mux them, converted for real and read back from
// the track headers: sample entry, enabled flags, alternate groups, languages.

namespace {

class OtherMuxers : public ConversionTestBase
{
protected:
    void convert(ConversionJob* job)
    {
        QPointer<ConversionJob> watched = job;
        ASSERT_TRUE(delegate->addJob(job));
        ASSERT_TRUE(waitUntil([&] {
            return !watched || watched->state() == JobFinished || watched->state() == JobFailed;
        }));
        ASSERT_TRUE(watched);
        ASSERT_EQ(job->state(), JobFinished) << job->failureExplanationText().toStdString();
    }
};

} // namespace

// mkvmerge: H.264 with a German stereo AAC track and a German 5.1 AC3 track,
// converted in the compatible style with the surround track kept enabled.
TEST_F(OtherMuxers, MkvmergeMovieWithSurroundTrack)
{
    const QString raw = dir() + "/raw.mkv";
    ASSERT_TRUE(
        ffmpeg({"-f",      "lavfi",     "-i",       "testsrc=size=160x120:rate=10:duration=2",
                "-f",      "lavfi",     "-i",       "sine=duration=2",
                "-f",      "lavfi",     "-i",       "sine=frequency=220:duration=2",
                "-map",    "0",         "-map",     "1",
                "-map",    "2",         "-c:v",     "libx264",
                "-preset", "ultrafast", "-pix_fmt", "yuv420p",
                "-c:a:0",  "aac",       "-c:a:1",   "ac3",
                "-ac:a:1", "6",         raw}));
    const QString source = dir() + "/Merged.mkv";
    ASSERT_EQ(runProgram("mkvmerge", {"-q", "-o", source, "--language", "0:ger", "--language",
                                      "1:ger", "--language", "2:ger", raw}),
              0);
    setDefaultInt(kIncludeSurroundTrackKey, 1);
    setDefaultInt(kIncludeSurroundTrackDisabledKey, 0);
    ConversionJob* job = makeJob(source, dir() + "/Merged.mp4", 0);
    ASSERT_NO_FATAL_FAILURE(convert(job));
    EXPECT_TRUE(job->addedSurround());

    const auto boxes = readBoxes(job->destinationPath());
    ASSERT_TRUE(boxes.has_value());
    const auto video = tracksOf(*boxes, "vide");
    ASSERT_EQ(video.size(), 1u);
    EXPECT_EQ(fourCCText(video[0].sampleEntry), "avc1");
    EXPECT_TRUE(video[0].enabled);
    EXPECT_EQ(video[0].sampleCount, 20u);
    const auto audio = tracksOf(*boxes, "soun");
    ASSERT_EQ(audio.size(), 2u);
    EXPECT_EQ(fourCCText(audio[0].sampleEntry), "mp4a");
    EXPECT_EQ(fourCCText(audio[1].sampleEntry), "ac-3");
    for (const auto& track : audio) {
        EXPECT_EQ(track.language, "ger");
        EXPECT_GT(track.sampleCount, 0u);
    }
    expectOneAudioGroup(job->destinationPath(), true);
}

// GStreamer: HEVC and MP3 in Matroska, converted in the compatible style
// (WAV, AAC and the mux stage).
TEST_F(OtherMuxers, GstreamerHevcMovieThroughTheThreeProcesses)
{
    const QString source = dir() + "/Streamed.mkv";
    ASSERT_EQ(
        runProgram("gst-launch-1.0", {"-q",
                                      "videotestsrc",
                                      "num-buffers=20",
                                      "!",
                                      "video/x-raw,format=I420,width=160,height=120,framerate=10/1",
                                      "!",
                                      "x265enc",
                                      "!",
                                      "h265parse",
                                      "!",
                                      "queue",
                                      "!",
                                      "matroskamux",
                                      "name=m",
                                      "!",
                                      "filesink",
                                      "location=" + source,
                                      "audiotestsrc",
                                      "num-buffers=20",
                                      "samplesperbuffer=4410",
                                      "!",
                                      "audio/x-raw,rate=44100,channels=2",
                                      "!",
                                      "audioconvert",
                                      "!",
                                      "lamemp3enc",
                                      "!",
                                      "mpegaudioparse",
                                      "!",
                                      "queue",
                                      "!",
                                      "m."}),
        0);
    ConversionJob* job = makeJob(source, dir() + "/Streamed.mp4", 0);
    ASSERT_EQ(job->fileInfo()->videoCodec(), "hevc");
    ASSERT_TRUE(job->slowmode());
    ASSERT_NO_FATAL_FAILURE(convert(job));

    const auto boxes = readBoxes(job->destinationPath());
    ASSERT_TRUE(boxes.has_value());
    const auto video = tracksOf(*boxes, "vide");
    ASSERT_EQ(video.size(), 1u);
    EXPECT_EQ(fourCCText(video[0].sampleEntry), "hvc1");
    EXPECT_EQ(video[0].sampleCount, 20u);
    const auto audio = tracksOf(*boxes, "soun");
    ASSERT_EQ(audio.size(), 1u);
    EXPECT_EQ(fourCCText(audio[0].sampleEntry), "mp4a");
    EXPECT_TRUE(audio[0].enabled);
    EXPECT_EQ(audio[0].language, "eng");
    EXPECT_NEAR(double(audio[0].duration) / audio[0].timescale, 2.0, 0.2);
}
