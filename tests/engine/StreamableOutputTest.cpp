#include "common/JobTestKit.h"
#include "common/MovieFactory.h"
#include "common/TestSupport.h"
#include "common/WrittenBoxes.h"
#include "engine/CompletionPipeline.h"
#include "engine/ConversionJob.h"
#include "engine/ConversionMethod.h"
#include "engine/ConversionStages.h"
#include "engine/JobState.h"
#include "engine/MoovReserve.h"
#include "foundation/SettingsAccess.h"
#include "foundation/SettingsKeys.h"
#include "inspection/MKVFileInfo.h"
#include "shell/AppDelegate.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

// Streamable MP4s: the index (moov) before the media (mdat), in room
// reserved while the file is written once, and rewritten only when that room
// proves too small.

namespace {

// The types of a file's top-level boxes, in file order.
QStringList topLevelBoxTypes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList types;
    const quint64 total = quint64(file.size());
    for (quint64 offset = 0; offset < total;) {
        file.seek(qint64(offset));
        const QByteArray head = file.read(16);
        const auto box =
            mp4::parseBoxHeader(reinterpret_cast<const std::uint8_t*>(head.constData()),
                                std::size_t(head.size()), offset, total);
        if (!box)
            return types << "malformed";
        types << fourCCText(box->type);
        offset = box->end();
    }
    return types;
}

AudioRecipe soundTrack(const QString& codec, int channels, bool isDefault)
{
    AudioRecipe a;
    a.codec = codec;
    a.channels = channels;
    a.isDefault = isDefault;
    return a;
}

bool writesIndexFirst(const QString& path)
{
    const QStringList boxes = topLevelBoxTypes(path);
    return boxes.contains("moov") && boxes.indexOf("moov") < boxes.indexOf("mdat");
}

double probedDuration(const QString& path)
{
    const QJsonObject probe = QJsonDocument::fromJson(ffprobeJson(path).toUtf8()).object();
    return probe.value("format").toObject().value("duration").toString().toDouble();
}

MKVFileInfo movieFacts(int video, const QStringList& audio, const QList<int>& subtitles,
                       qint64 seconds)
{
    MKVFileInfo info;
    info.setVideoTrackID(video);
    info.setAudioTrackInformation(audio);
    info.setSubtitleTrackIDs(subtitles);
    info.setRuntimeSeconds(seconds);
    StreamTimings timings;
    timings.frameRates.insert(video, 24000.0 / 1001);
    timings.sampleRates = {{1, 48000}, {2, 44100}};
    info.setStreamTimings(timings);
    return info;
}

} // namespace

// The reserve covers the worst case of a long movie's sample tables without
// running away, grows with the tracks the run writes, and is absent when
// the movie's length or frame rate is unknown.
TEST(MoovReserve, SizesTheIndexFromTheMappedTracks)
{
    MoovEstimateInputs movie;
    movie.durationSeconds = 2 * 3600;
    movie.hasVideo = true;
    movie.videoFrameRate = 24;
    movie.audioTracks = {{48000, "aac"}, {48000, "ac3"}};
    const auto reserve = moovReserveBytes(movie);
    ASSERT_TRUE(reserve.has_value());
    // ffmpeg writes this movie's index in 8.3 MB, 11 MB past 4 GB (64-bit
    // chunk offsets).
    EXPECT_GT(*reserve, 12'000'000);
    EXPECT_LT(*reserve, 40'000'000);

    MoovEstimateInputs withSubtitle = movie;
    withSubtitle.subtitleTracks = 1;
    EXPECT_GT(moovReserveBytes(withSubtitle).value_or(0), *reserve);
    MoovEstimateInputs soundOnly = movie;
    soundOnly.hasVideo = false;
    soundOnly.videoFrameRate.reset();
    EXPECT_LT(moovReserveBytes(soundOnly).value_or(0), *reserve);
    EXPECT_GT(moovReserveBytes(soundOnly).value_or(0), 0);

    MoovEstimateInputs unknown = movie;
    unknown.durationSeconds.reset();
    EXPECT_FALSE(moovReserveBytes(unknown).has_value());
    unknown = movie;
    unknown.videoFrameRate.reset();
    EXPECT_FALSE(moovReserveBytes(unknown).has_value());

    // A copy run mapping video, AAC copied, DTS encoded to AC3, an embedded
    // subtitle and a subtitle file.
    const MKVFileInfo info = movieFacts(0, {"#1: eng (aac)", "#2: eng (dts) [5.1]"}, {3}, 7200);
    const MoovEstimateInputs copy = moovEstimateInputs(
        {"-i",      "/m/Film.mkv", "-i",     "/m/Film.srt", "-map", "0:0",         "-map",
         "0:1",     "-map",        "0:2",    "-map",        "1:0",  "-map",        "0:3",
         "-acodec", "copy",        "-c:a:1", "ac3",         "-y",   "/m/.Film.mp4"},
        info);
    EXPECT_TRUE(copy.hasVideo);
    EXPECT_NEAR(copy.videoFrameRate.value_or(0), 23.976, 0.001);
    EXPECT_EQ(copy.durationSeconds.value_or(0), 7200.0);
    ASSERT_EQ(copy.audioTracks.size(), 2);
    EXPECT_EQ(copy.audioTracks[0].codec, "aac");
    EXPECT_EQ(copy.audioTracks[0].sampleRate, 48000);
    EXPECT_EQ(copy.audioTracks[1].codec, "ac3");
    EXPECT_EQ(copy.audioTracks[1].sampleRate, 44100);
    EXPECT_EQ(copy.subtitleTracks, 2);

    // The mux stage: the encoded AAC is the second input.
    const MoovEstimateInputs mux =
        moovEstimateInputs({"-i", "/m/Film.mkv", "-i", "/d/Film.tmp.aac", "-map", "0:0", "-map",
                            "1:0", "-acodec", "copy", "/m/.Film.mp4"},
                           info, "/d/Film.tmp.aac", 48000);
    ASSERT_EQ(mux.audioTracks.size(), 1);
    EXPECT_EQ(mux.audioTracks[0].codec, "aac");
    EXPECT_EQ(mux.subtitleTracks, 0);
}

class StreamableOutput : public ConversionTestBase
{
};

// The compatible style (extract, encode, mux; the surround track disabled
// in place by our MP4 tool) and the fast style (one run) write the index
// first in one pass by default, and after the media with StreamableOutput 0.
TEST_F(StreamableOutput, IndexFirstUnlessTurnedOff)
{
    const QString movie = dir() + "/Movie.mkv";
    ASSERT_TRUE(makeMovie({movie,
                           2,
                           "160x120",
                           10,
                           {soundTrack("libmp3lame", 2, true), soundTrack("ac3", 6, false)}}));
    setDefaultInt(kIncludeSurroundTrackKey, 1);
    for (const int streamable : {1, 0}) {
        setDefaultInt(kStreamableOutputKey, streamable);
        for (const int preset : {0, 1}) {
            setDefaultInt(kConversionPresetKey, preset);
            const QString output =
                dir() + QStringLiteral("/Movie-%1-%2.mp4").arg(streamable).arg(preset);
            ConversionJob* job = makeJob(movie, output);
            ASSERT_EQ(convertToEnd(job), JobFinished)
                << job->failureExplanationText().toStdString();
            EXPECT_EQ(writesIndexFirst(output), streamable != 0) << qPrintable(output);
            EXPECT_EQ(job->arguments().contains("-moov_size"), streamable != 0);
            EXPECT_FALSE(job->arguments().join(' ').contains("faststart"));
            EXPECT_NEAR(probedDuration(output), 2.0, 0.2) << qPrintable(output);
            if (preset == 0)
                expectOneAudioGroup(output, false);
        }
    }
}

// A reserve too small for the index: the run is made once more with the
// rewrite, and the movie comes out whole, index first, with nothing else
// left behind.
TEST_F(StreamableOutput, TooSmallReserveIsRewrittenOnce)
{
    setDefaultInt(kConversionPresetKey, 1);
    const QString movie = dir() + "/Small.mkv";
    ASSERT_TRUE(makeMovie({movie, 2, "160x120", 10, {soundTrack("ac3", 2, true)}}));
    const QString destination = dir() + "/Small.mp4";
    JobRecord record;
    record.fileInfo =
        MKVFileInfo::initWithURL(QUrl::fromLocalFile(movie), MKVFileInfo::Warnings::Collected);
    record.fileInfo->setDestinationURL(QUrl::fromLocalFile(destination));
    record.owner = &record;
    record.method = MethodCopy;
    record.restart();
    const QString partial = record.partialFile;

    CompletionPipeline pipeline(record);
    QList<QStringList> runs;
    QObject::connect(&pipeline, &CompletionPipeline::processStarting,
                     [&] { runs.append(record.arguments); });
    std::optional<bool> ended;
    QObject::connect(&pipeline, &CompletionPipeline::ended, [&](bool ok) { ended = ok; });
    pipeline.run(conversionStages(MethodCopy, [](const JobRecord&, const QStringList&) {
        return std::optional<qint64>(1000);
    }));
    ASSERT_TRUE(waitUntil([&] { return ended.has_value(); }));

    EXPECT_TRUE(*ended) << qPrintable(record.output + record.verificationProblem);
    ASSERT_EQ(runs.size(), 2);
    EXPECT_EQ(runs[0].mid(runs[0].indexOf("-moov_size"), 2), QStringList({"-moov_size", "1000"}));
    EXPECT_TRUE(runs[1].contains("+faststart"));
    EXPECT_FALSE(runs[1].contains("-moov_size"));
    EXPECT_TRUE(writesIndexFirst(destination));
    EXPECT_NEAR(probedDuration(destination), 2.0, 0.2);
    EXPECT_EQ(probeStreams(destination).size(), 2);
    EXPECT_FALSE(QFileInfo::exists(partial));
    record.discardProgressFile();
}
