#include "engine/JobState.h"
#include "inspection/MKVFileInfo.h"
#include "shell/AddPanelTexts.h"
#include "shell/QueueProgress.h"

#include <cmath>
#include <gtest/gtest.h>

// The texts the desktop shows about the queue and the shown movie.

TEST(QueueProgress, MeanOfTheJobsLeftAndATitleOnlyWhileConverting)
{
    // Finished and failed jobs are done; the rest share the percentage.
    const QList<JobProgressSample> jobs = {{JobFinished, 100}, {JobConverting, 50},
                                           {JobQueued, 0},     {JobFailed, 100},
                                           {JobPaused, 37.5f}, {JobConverting, NAN}};
    const QueueProgress p = queueProgress(jobs);
    EXPECT_EQ(p.left, 4);
    EXPECT_EQ(p.converting, 2);
    EXPECT_EQ(p.percent, 21); // (50 + 0 + 37.5 + 0) / 4, rounded down
    EXPECT_EQ(titleWithProgress("Vantreo  [6 Job(s), 1 Queued]", p),
              "21% \u2013 Vantreo  [6 Job(s), 1 Queued]");

    const QueueProgress idle = queueProgress({{JobQueued, 0}, {JobPaused, 120}});
    EXPECT_EQ(idle, (QueueProgress{2, 0, 50}));
    EXPECT_EQ(titleWithProgress("Vantreo ", idle), "Vantreo ");
    EXPECT_EQ(queueProgress(QList<JobProgressSample>{}), QueueProgress{});
}

TEST(AddPanelTexts, NoticesWaitingLineAndUnknownValues)
{
    MKVFileInfo info;
    info.setVideoTrackID(0);
    info.setAudioTrackInformation({"#1: eng (aac)"});
    EXPECT_EQ(addPanelNoticeFor(info), "");
    info.setAudioTrackInformation({});
    EXPECT_EQ(addPanelNoticeFor(info), kNoAudioNotice);
    info.setVideoTrackID(std::nullopt);
    EXPECT_EQ(addPanelNoticeFor(info), kNoVideoNotice);
    // The probe's own reason comes first.
    info.setUnreadableReason("ffmpeg did not answer within 30 s.");
    EXPECT_EQ(addPanelNoticeFor(info), "ffmpeg did not answer within 30 s.");

    EXPECT_EQ(waitingMoviesText(0), "");
    EXPECT_EQ(waitingMoviesText(1), "1 more movie waiting");
    EXPECT_EQ(waitingMoviesText(12), "12 more movies waiting");
    EXPECT_EQ(summaryForDisplay("(null) (null) [(null)] 2 min"), "unknown unknown [unknown] 2 min");
}
