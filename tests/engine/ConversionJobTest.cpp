#include "engine/ConversionJob.h"

#include "common/JobTestKit.h"
#include "common/MovieFactory.h"
#include "common/TestSupport.h"
#include "common/WrittenBoxes.h"
#include "engine/JobState.h"
#include "foundation/HalvornLib.h"
#include "foundation/SettingsAccess.h"
#include "foundation/SettingsKeys.h"
#include "shell/AppDelegate.h"

#include <QDir>
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
        EXPECT_TRUE(temporaryEntries().isEmpty()) << temporaryEntries().join(", ").toStdString();
        EXPECT_TRUE(inhibitor->held.isEmpty());
        EXPECT_TRUE(job->stateInfoString().startsWith("Status: Finished [Conversion took: "))
            << job->stateInfoString().toStdString();
    }

    QString movie(const QString& name, const QList<AudioRecipe>& audio, bool subtitle = false)
    {
        MovieRecipe movie;
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

AudioRecipe track(const QString& codec, int channels, const QString& language = "eng",
                  bool isDefault = false)
{
    AudioRecipe a;
    a.codec = codec;
    a.channels = channels;
    a.language = language;
    a.isDefault = isDefault;
    return a;
}

// Every file of a folder, hidden ones (a partial output) included, sorted.
QStringList filesIn(const QString& folder)
{
    QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    names.sort();
    return names;
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
    expectOneAudioGroup(dest, false);

    // The status line while converting names the track, the discarded one,
    // the remaining time and the stage.
    bool sawFirstTask = false;
    for (const QString& line : statusLines) {
        if (!line.startsWith("Status: Converting"))
            continue;
        EXPECT_TRUE(line.startsWith("Status: Converting   Audio:  ger (mp3) (Discarded:  ger "
                                    "(ac3) [5.1])   ETA: "))
            << line.toStdString();
        EXPECT_TRUE(line.contains("(Task"));
        sawFirstTask = sawFirstTask || line.endsWith("(Tasks 1 to 3 of 3)");
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

TEST_F(ConversionEndToEnd, SurroundTrackStaysEnabledInTheMainTracksGroup)
{
    setDefaultInt(kIncludeSurroundTrackKey, 1);
    setDefaultInt(kIncludeSurroundTrackDisabledKey, 0);
    const QString source =
        movie("Movie.mkv", {track("aac", 2, "eng", false), track("ac3", 6, "eng", true)});
    const QString dest = dir() + "/Movie.mp4";
    ConversionJob* job = makeJob(source, dest, 0);
    convert(job);
    expectFinished(job);
    EXPECT_TRUE(job->addedSurround());
    // Both enabled in one group: a player offers them as alternatives.
    expectOneAudioGroup(dest, true);
    const QJsonArray st = probeStreams(dest);
    ASSERT_EQ(st.size(), 3);
    EXPECT_TRUE(streamEnabled(st[1]));
    EXPECT_TRUE(streamEnabled(st[2]));
}

// HEVC copied fast (one process, into an M4V name, which ffmpeg's iPod
// muxer would refuse) and compatible (the mux stage), the second from a track
// without a language tag.
TEST_F(ConversionEndToEnd, HevcIsTaggedHvc1AndAnUntaggedTrackIsWrittenUnd)
{
    const QString source = dir() + "/Hevc.mkv";
    ASSERT_TRUE(ffmpeg({"-f",
                        "lavfi",
                        "-i",
                        "testsrc=size=160x120:rate=10:duration=1.5",
                        "-f",
                        "lavfi",
                        "-i",
                        "sine=frequency=440:duration=1.5",
                        "-f",
                        "lavfi",
                        "-i",
                        "sine=frequency=220:duration=1.5",
                        "-map",
                        "0:0",
                        "-map",
                        "1:0",
                        "-map",
                        "2:0",
                        "-c:v",
                        "libx265",
                        "-pix_fmt",
                        "yuv420p",
                        "-x265-params",
                        "log-level=error",
                        "-c:a:0",
                        "aac",
                        "-metadata:s:a:0",
                        "language=eng",
                        "-c:a:1",
                        "libmp3lame",
                        source}));
    installFakeTools();
    const QString log = dir() + "/ffmpeg.log";
    qputenv("VANTREO_TEST_TOOL_LOG", log.toUtf8());
    ConversionJob* fast = makeJob(source, dir() + "/Fast.m4v", 0);
    ASSERT_EQ(fast->fileInfo()->videoCodec(), "hevc");
    ASSERT_TRUE(fast->fastmode());
    convert(fast);
    EXPECT_EQ(fast->state(), JobFinished) << fast->failureExplanationText().toStdString();
    ConversionJob* compatible = makeJob(source, dir() + "/Compatible.mp4", 1);
    ASSERT_TRUE(compatible->slowmode());
    convert(compatible);
    EXPECT_EQ(compatible->state(), JobFinished)
        << compatible->failureExplanationText().toStdString();
    qunsetenv("VANTREO_TEST_TOOL_LOG");

    for (const QString& output : {dir() + "/Fast.m4v", dir() + "/Compatible.mp4"}) {
        const auto boxes = readBoxes(output);
        ASSERT_TRUE(boxes.has_value());
        const auto video = tracksOf(*boxes, "vide");
        ASSERT_EQ(video.size(), 1u);
        EXPECT_EQ(fourCCText(video[0].sampleEntry), "hvc1") << qPrintable(output);
        EXPECT_EQ(video[0].sampleCount, 15u);
        ASSERT_EQ(tracksOf(*boxes, "soun").size(), 1u);
        EXPECT_GT(tracksOf(*boxes, "soun")[0].sampleCount, 0u);
        const QJsonArray st = probeStreams(output);
        EXPECT_EQ(streamValue(st[0], "codec_tag_string"), "hvc1");
    }
    EXPECT_EQ(tracksOf(*readBoxes(dir() + "/Fast.m4v"), "soun")[0].language, "eng");
    EXPECT_EQ(tracksOf(*readBoxes(dir() + "/Compatible.mp4"), "soun")[0].language, "und");
    EXPECT_EQ(streamTag(probeStreams(dir() + "/Compatible.mp4")[1], "language"), "und");

    // The AAC trial ran once, into the cache folder, never at the
    // destination; nothing of it stayed.
    QFile logFile(log);
    ASSERT_TRUE(logFile.open(QIODevice::ReadOnly));
    const QStringList trials = QString::fromUtf8(logFile.readAll()).split('\n').filter(" -t 1 ");
    ASSERT_EQ(trials.size(), 1) << qPrintable(trials.join('\n'));
    EXPECT_TRUE(trials[0].endsWith("-f mp4 " + appInfo().cacheDir() + "/Hevc.mkv.trial.m4v"))
        << qPrintable(trials[0]);
    EXPECT_TRUE(temporaryEntries().isEmpty()) << qPrintable(temporaryEntries().join(", "));
    EXPECT_EQ(filesIn(dir()),
              QStringList({"Compatible.mp4", "Fast.m4v", "Hevc.mkv", "ffmpeg.log"}));
}

TEST_F(ConversionEndToEnd, DestinationTakenMeanwhileGetsTheNextFreeName)
{
    installFakeTools();
    const QString source = movie("Slow.mkv", {track("aac", 2)});
    const QString dest = dir() + "/Slow.mp4";
    ConversionJob* job = makeJob(source, dest);
    QObject::connect(job, &ConversionJob::stateChanged, job, [dest](JobState state) {
        // The user saves a file of their own under the movie's name while
        // it converts.
        if (state == JobConverting) {
            QFile mine(dest);
            ASSERT_TRUE(mine.open(QIODevice::WriteOnly));
            mine.write("mine");
        }
    });
    convert(job);
    expectFinished(job);
    EXPECT_EQ(job->destinationPath(), dir() + "/Slow-0.mp4");
    EXPECT_EQ(notifier->delivered[0].path, dir() + "/Slow-0.mp4");
    QFile mine(dest);
    ASSERT_TRUE(mine.open(QIODevice::ReadOnly));
    EXPECT_EQ(mine.readAll(), "mine");
    EXPECT_EQ(probeStreams(job->destinationPath()).size(), 2);
    EXPECT_EQ(filesIn(dir()), QStringList({"Slow-0.mp4", "Slow.mkv", "Slow.mp4"}));
}
