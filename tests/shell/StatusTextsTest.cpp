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
    // A movie without sound converts to its video alone.
    info.setAudioTrackInformation({});
    EXPECT_EQ(addPanelNoticeFor(info), "");
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

TEST(AddPanelTexts, WhatIsKeptForTheUsersLanguages)
{
    const QList<FurtherAudioTrack> audio = {{2, 3, "jpn", "aac", true, ""},
                                            {3, 4, "fre", "dts", false, "Commentary"}};
    EXPECT_EQ(keptTracksText(audio, true, QStringList{"eng", "fre", "unk"}),
              "Also keeps: jpn (aac), fre (dts \u2192 aac) Commentary \u00b7 Subtitles: eng, fre, "
              "untagged");
    EXPECT_EQ(keptTracksText({}, true, std::nullopt), "Also keeps: no other audio track");
    EXPECT_EQ(keptTracksText({}, false, QStringList{}), "Subtitles: none");
    EXPECT_EQ(keptTracksText(audio, false, std::nullopt), "") << "both settings off";
}

TEST(AddPanelTexts, WhatIsWrittenBesideTheKeptTracks)
{
    const QList<SubtitleFile> files = {{"/m/Film.de.forced.srt", "ger", true, false},
                                       {"/m/Film.fr.sdh.srt", "fre", false, true},
                                       {"/m/Film.srt", "", false, false}};
    EXPECT_EQ(
        writtenTracksText("Also keeps: jpn (aac)", files, {"/m/Film.sub"}, true),
        "Also keeps: jpn (aac) \u00b7 Subtitle files: ger forced (Film.de.forced.srt), fre SDH "
        "(Film.fr.sdh.srt), und (Film.srt) \u00b7 Skipped Film.sub: half of a VobSub pair (.idx "
        "and .sub), which cannot be read alone \u00b7 Streamable");
    EXPECT_EQ(writtenTracksText("", {}, {}, false), "");
    QList<AudioTrack> tracks = audioTracksFromDescriptors({"#1: eng (aac)", "#2: eng (aac) [5.1]"});
    tracks[1].title = "Mic";
    EXPECT_EQ(audioItemsWithTitles(tracks),
              QStringList({"#1: eng (aac)", "#2: eng (aac) [5.1] Mic"}));
}
