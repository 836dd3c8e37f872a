#include "engine/ConversionJob.h"

#include "common/JobTestKit.h"
#include "common/MovieFactory.h"
#include "common/TestSupport.h"
#include "engine/JobState.h"
#include "foundation/SettingsAccess.h"
#include "foundation/SettingsKeys.h"
#include "shell/AppDelegate.h"

#include <QFile>
#include <QPointer>
#include <gtest/gtest.h>

// Whole conversions with the real tools: the job runs through the queue and
// the finished MP4 is checked with ffprobe for what players see.

namespace {

class ConversionEndToEnd : public ConversionTestBase
{
protected:
    // Adds the job and waits for its end; records every status line shown.
    void convert(ConversionJob* job)
    {
        QObject::connect(job, &ConversionJob::stateInfoStringChanged, job,
                         [this, job] { statusLines.append(job->stateInfoString()); });
        m_job = job;
        ASSERT_TRUE(delegate->addJob(job));
        ASSERT_TRUE(waitUntil([&] {
            return !m_job || m_job->state() == JobFinished || m_job->state() == JobFailed;
        }));
        ASSERT_TRUE(m_job);
    }

    // What every successful conversion leaves behind.
    void expectFinished(ConversionJob* job)
    {
        EXPECT_EQ(job->state(), JobFinished) << job->jobOutput().toStdString();
        EXPECT_EQ(job->progress(), 100.0f);
        EXPECT_TRUE(job->finishedOK());
        EXPECT_FALSE(job->finishedError());
        ASSERT_EQ(notifier->delivered.size(), 1);
        EXPECT_EQ(notifier->delivered[0].title, "Vantreo Conversion Finished");
        EXPECT_EQ(notifier->delivered[0].path, job->destinationPath());
        EXPECT_EQ(notifier->delivered[0].actionButtonTitle, "Show");
        EXPECT_TRUE(documentsEntries().isEmpty()) << documentsEntries().join(", ").toStdString();
        EXPECT_TRUE(inhibitor->held.isEmpty());
        EXPECT_TRUE(job->stateInfoString().startsWith("Status: Finished [Conversion took: "))
            << job->stateInfoString().toStdString();
    }

    QString movie(const QString& name, const QList<AudioSpec>& audio, bool subtitle = false)
    {
        MovieSpec movie;
        movie.path = dir() + "/" + name;
        movie.audio = audio;
        movie.embeddedSubtitle = subtitle;
        EXPECT_TRUE(makeMovie(movie));
        return movie.path;
    }

    QStringList statusLines;

private:
    QPointer<ConversionJob> m_job;
};

AudioSpec track(const QString& codec, int channels, const QString& language = "eng",
                bool isDefault = false)
{
    AudioSpec a;
    a.codec = codec;
    a.channels = channels;
    a.language = language;
    a.isDefault = isDefault;
    return a;
}

} // namespace

TEST_F(ConversionEndToEnd, CopiesAacAndEnablesAChosenTrackThatWasNotTheDefault)
{
    const QString source = movie("Movie.mkv", {track("ac3", 2, "eng", true), track("aac", 2)});
    const QString dest = dir() + "/Movie.mp4";
    ConversionJob* job = makeJob(source, dest, 1);
    EXPECT_TRUE(job->fastmode());
    convert(job);
    expectFinished(job);

    const QJsonArray st = probeStreams(dest);
    ASSERT_EQ(st.size(), 2);
    EXPECT_EQ(streamValue(st[0], "codec_name"), "mpeg4");
    EXPECT_EQ(streamValue(st[1], "codec_name"), "aac");
    EXPECT_TRUE(streamEnabled(st[1]));
}

TEST_F(ConversionEndToEnd, CopiesAc3UnderTheFastPreset)
{
    setDefaultInt(kConversionPresetKey, 1);
    const QString source = movie("Movie.mkv", {track("ac3", 2)});
    const QString dest = dir() + "/Movie.mp4";
    convert(makeJob(source, dest));
    const QJsonArray st = probeStreams(dest);
    ASSERT_EQ(st.size(), 2);
    EXPECT_EQ(streamValue(st[1], "codec_name"), "ac3");
    EXPECT_EQ(streamValue(st[1], "channels"), "2");
}

TEST_F(ConversionEndToEnd, DownmixesSurroundDtsToStereoAc3)
{
    setDefaultInt(kConversionPresetKey, 1);
    setDefaultInt(kDTSDownmixKey, 1);
    const QString source = movie("Movie.mkv", {track("dca", 6)});
    const QString dest = dir() + "/Movie.mp4";
    ConversionJob* job = makeJob(source, dest);
    EXPECT_FALSE(job->fastmode());
    EXPECT_FALSE(job->slowmode());
    convert(job);
    expectFinished(job);
    const QJsonArray st = probeStreams(dest);
    ASSERT_EQ(st.size(), 2);
    EXPECT_EQ(streamValue(st[1], "codec_name"), "ac3");
    EXPECT_EQ(streamValue(st[1], "channels"), "2");
    EXPECT_EQ(streamValue(st[1], "bit_rate"), "192000");
}

TEST_F(ConversionEndToEnd, TranscodesSurroundDtsToSurroundAc3)
{
    setDefaultInt(kConversionPresetKey, 1);
    const QString source = movie("Movie.mkv", {track("dca", 6)});
    const QString dest = dir() + "/Movie.mp4";
    convert(makeJob(source, dest));
    const QJsonArray st = probeStreams(dest);
    ASSERT_EQ(st.size(), 2);
    EXPECT_EQ(streamValue(st[1], "codec_name"), "ac3");
    EXPECT_EQ(streamValue(st[1], "channels"), "6");
    EXPECT_EQ(streamValue(st[1], "bit_rate"), "448000");
}

// The three-process method with a second, disabled surround track: the
// source marks the surround track as default, so MP4Box really has to turn
// it off in the output.
TEST_F(ConversionEndToEnd, AacViaWavWithADisabledSurroundTrack)
{
    setDefaultInt(kIncludeSurroundTrackKey, 1);
    setDefaultInt(kIncludeSurroundTrackDisabledKey, 1);
    const QString source =
        movie("Film.mkv", {track("libmp3lame", 2, "ger"), track("ac3", 6, "ger", true)});
    const QString dest = dir() + "/Film.mp4";
    ConversionJob* job = makeJob(source, dest, 0);
    EXPECT_TRUE(job->slowmode());
    convert(job);
    expectFinished(job);
    EXPECT_TRUE(job->multiConversion());
    EXPECT_TRUE(job->addedSurround());

    const QJsonArray st = probeStreams(dest);
    ASSERT_EQ(st.size(), 3);
    EXPECT_EQ(streamValue(st[0], "codec_name"), "mpeg4");
    EXPECT_TRUE(streamEnabled(st[0]));
    EXPECT_EQ(streamValue(st[1], "codec_name"), "aac");
    EXPECT_EQ(streamValue(st[1], "channels"), "2");
    EXPECT_EQ(streamTag(st[1], "language"), "deu");
    EXPECT_TRUE(streamEnabled(st[1]));
    EXPECT_EQ(streamValue(st[2], "codec_name"), "ac3");
    EXPECT_EQ(streamValue(st[2], "channels"), "6");
    EXPECT_EQ(streamTag(st[2], "language"), "deu");
    EXPECT_FALSE(streamEnabled(st[2])) << "the surround track is disabled";

    // The status line while converting names the track, the discarded one,
    // the remaining time and the stage.
    bool sawFirstTask = false;
    for (const QString& line : statusLines) {
        if (!line.startsWith("Status: Converting"))
            continue;
        EXPECT_TRUE(line.startsWith("Status: Converting   Audio:  ger (mp3) (Discarded:  ger "
                                    "(ac3) [5.1])   ETA: "))
            << line.toStdString();
        EXPECT_TRUE(line.contains("(Task "));
        sawFirstTask = sawFirstTask || line.endsWith("(Task 1 of 3)");
    }
    EXPECT_TRUE(sawFirstTask);
}

TEST_F(ConversionEndToEnd, StatusLineOfASingleProcessJobHasNoTaskNumber)
{
    const QString source = movie("Movie.mkv", {track("aac", 2)});
    convert(makeJob(source, dir() + "/Movie.mp4"));
    int converting = 0;
    for (const QString& line : statusLines) {
        if (!line.startsWith("Status: Converting"))
            continue;
        ++converting;
        EXPECT_TRUE(line.startsWith("Status: Converting   Audio:  eng (aac)   ETA: "))
            << line.toStdString();
        EXPECT_FALSE(line.contains("Task"));
    }
    EXPECT_GT(converting, 0);
}

TEST_F(ConversionEndToEnd, SubtitleFileBecomesATextTrack)
{
    const QString source = movie("Movie.mkv", {track("aac", 2)});
    const QString srt = dir() + "/Movie.srt";
    ASSERT_TRUE(writeSrt(srt));
    const QString dest = dir() + "/Movie.mp4";
    ConversionJob* job = makeJob(source, dest, 0, srt);
    convert(job);
    expectFinished(job);
    const QJsonArray st = probeStreams(dest);
    ASSERT_EQ(st.size(), 3);
    EXPECT_EQ(streamValue(st[2], "codec_name"), "mov_text");
}

TEST_F(ConversionEndToEnd, EmbeddedTextSubtitlesAreMappedWhenAllowed)
{
    setDefaultInt(kDisableBuiltinSubtitlesKey, 0);
    const QString source = movie("Movie.mkv", {track("aac", 2)}, true);
    const QString dest = dir() + "/Movie.mp4";
    convert(makeJob(source, dest));
    const QJsonArray st = probeStreams(dest);
    ASSERT_EQ(st.size(), 3);
    EXPECT_EQ(streamValue(st[2], "codec_name"), "mov_text");
}

TEST_F(ConversionEndToEnd, EmbeddedSubtitlesAreLeftOutByDefault)
{
    const QString source = movie("Movie.mkv", {track("aac", 2)}, true);
    const QString dest = dir() + "/Movie.mp4";
    convert(makeJob(source, dest));
    const QJsonArray st = probeStreams(dest);
    EXPECT_EQ(st.size(), 2);
}
