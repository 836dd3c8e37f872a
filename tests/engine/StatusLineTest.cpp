#include "engine/StatusLine.h"

#include <gtest/gtest.h>

namespace {

StatusLineInputs converting(QStringList tracks, int chosen, float progress, double elapsed)
{
    StatusLineInputs in;
    in.state = JobConverting;
    in.audioTracks = audioTracksFromDescriptors(tracks);
    in.audioTrackIndex = chosen;
    in.progress = progress;
    in.elapsedSeconds = elapsed;
    return in;
}

} // namespace

TEST(StatusLine, QueuedPausedFinishedFailed)
{
    StatusLineInputs in;
    in.audioTracks = audioTracksFromDescriptors({"#1: eng (ac3)"});
    in.progress = 40;
    in.elapsedSeconds = 100;
    in.tookSeconds = 125.7;
    in.state = JobQueued;
    EXPECT_EQ(stateInfoString(in), "Status: Queued");
    in.state = JobPaused;
    EXPECT_EQ(stateInfoString(in), "Status: Paused");
    in.state = JobFinished;
    EXPECT_EQ(stateInfoString(in), "Status: Finished [Conversion took: 2m 5s]");
    in.state = JobFailed;
    EXPECT_EQ(stateInfoString(in),
              "Status: Failed   Click the arrow at the right to get more information.");
}

TEST(StatusLine, ConvertingShowsTracksAndRemainingTime)
{
    // One track: no discarded part. 40 % after 100 s leaves 150 s.
    EXPECT_EQ(stateInfoString(converting({"#1: eng (ac3) [5.1]"}, 0, 40, 100)),
              "Status: Converting   Audio:  eng (ac3) [5.1]   ETA: 2m 30s");
    // Three tracks: the two others in index order.
    EXPECT_EQ(stateInfoString(
                  converting({"#1: eng (ac3)", "#2: ger (dts) [5.1]", "#3: fre (aac)"}, 1, 50, 30)),
              "Status: Converting   Audio:  ger (dts) [5.1] (Discarded:  eng (ac3),  fre (aac))   "
              "ETA: 30s");

    StatusLineInputs multi = converting({"#1: eng (ac3) [5.1]", "#2: ger (dts)"}, 0, 0, 10);
    multi.multiConversion = true;
    // 0 % makes the estimate infinite: clamped to five hours.
    EXPECT_EQ(stateInfoString(multi), "Status: Converting   Audio:  eng (ac3) [5.1] (Discarded:  "
                                      "ger (dts))   ETA: 300m 0s (Tasks 1 to 3 of 3)");
    multi.elapsedSeconds = 0; // 0 % at the very start: NaN, clamped too
    EXPECT_TRUE(stateInfoString(multi).endsWith("ETA: 300m 0s (Tasks 1 to 3 of 3)"));
    // Picture subtitles read first are a task of their own.
    StatusLineInputs reading = converting({"#1: eng (ac3)"}, 0, 25, 30);
    reading.readingTasks = 1;
    reading.readingSubtitles = true;
    EXPECT_EQ(stateInfoString(reading),
              "Status: Converting   Reading subtitles (Task 1 of 2)   ETA: 1m 30s");
    reading.readingSubtitles = false;
    EXPECT_TRUE(stateInfoString(reading).endsWith("ETA: 1m 30s (Task 2 of 2)"));
    reading.multiConversion = true;
    EXPECT_TRUE(stateInfoString(reading).endsWith(" (Tasks 2 to 4 of 4)"));
    // Above 100 % the estimate would be negative.
    EXPECT_TRUE(stateInfoString(converting({"#1: eng (ac3)"}, 0, 120, 60)).endsWith("ETA: 0s"));
}
