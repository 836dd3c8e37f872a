#include "common/SubtitleFileAt.h"
#include "common/TestSupport.h"
#include "common/WrittenBoxes.h"
#include "engine/CommandLines.h"
#include "engine/JobState.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

// The built command lines run through the real ffmpeg, so that the finished
// MP4 is checked for what players see: which tracks there are, which are
// enabled (ffprobe reports an enabled MP4 track as default) and in which
// alternate group (read from the track headers).

namespace {

struct Movie
{
    QString dir, source, subtitle;
};

// Two seconds of video, an English stereo AAC track and an English 5.1 DTS track.
Movie makeMovie()
{
    Movie m;
    m.dir = makeTempDir("movie");
    m.source = m.dir + "/Movie.mkv";
    m.subtitle = m.dir + "/Movie.srt";
    EXPECT_TRUE(ffmpeg({"-f",
                        "lavfi",
                        "-i",
                        "testsrc=size=160x120:rate=10:duration=2",
                        "-f",
                        "lavfi",
                        "-i",
                        "sine=frequency=440:duration=2",
                        "-f",
                        "lavfi",
                        "-i",
                        "sine=frequency=220:duration=2",
                        "-map",
                        "0:0",
                        "-map",
                        "1:0",
                        "-map",
                        "2:0",
                        "-c:v",
                        "mpeg4",
                        "-c:a:0",
                        "aac",
                        "-ac:a:0",
                        "2",
                        "-c:a:1",
                        "dca",
                        "-strict",
                        "-2",
                        "-ac:a:1",
                        "6",
                        "-metadata:s:a:0",
                        "language=eng",
                        "-metadata:s:a:1",
                        "language=eng",
                        m.source}));
    QFile srt(m.subtitle);
    EXPECT_TRUE(srt.open(QIODevice::WriteOnly));
    srt.write("1\n00:00:00,000 --> 00:00:01,500\nHello\n\n");
    return m;
}

QJsonArray streams(const QString& path)
{
    return QJsonDocument::fromJson(ffprobeJson(path).toUtf8()).object()["streams"].toArray();
}

bool enabled(const QJsonValue& stream)
{
    return stream.toObject()["disposition"].toObject()["default"].toInt() == 1;
}

ConversionInputs inputsFor(const Movie& m)
{
    ConversionInputs in;
    in.sourcePath = m.source;
    in.outputPath = m.dir + "/Movie.mp4";
    in.progressFile = m.dir + "/Movie.mkv.log";
    in.videoTrackID = 0;
    in.audioTracks = audioTracksFromDescriptors({"#1: eng (aac)", "#2: eng (dts) [5.1]"});
    in.subtitleFiles = {subtitleFileAt(m.subtitle)};
    return in;
}

} // namespace

TEST(CommandLinesWithFfmpeg, CopyWithTranscodedSurroundTrackAndSubtitleFile)
{
    const Movie m = makeMovie();
    const ConversionInputs in = inputsFor(m);
    ConversionSettings s;
    s.conversionPreset = 0;
    s.includeSurroundTrack = 1;
    s.includeSurroundTrackDisabled = 0;
    const auto needFixup = [&] {
        QString out;
        runProgram("ffmpeg", fixupTestArguments(in, m.dir + "/trial.mp4"), &out);
        return out.contains("aac_adtstoasc");
    };
    const BuiltArguments built = singleProcessArguments(in, MethodCopy, s, needFixup);
    ASSERT_TRUE(built.addedSurround);
    QString output;
    ASSERT_EQ(runProgram("ffmpeg", built.arguments, &output), 0) << output.toStdString();

    const QJsonArray st = streams(in.outputPath);
    ASSERT_EQ(st.size(), 4);
    EXPECT_EQ(st[1].toObject()["codec_name"].toString(), "aac");
    EXPECT_EQ(st[2].toObject()["codec_name"].toString(), "ac3");
    EXPECT_EQ(st[2].toObject()["channels"].toInt(), 6);
    EXPECT_EQ(st[3].toObject()["codec_name"].toString(), "mov_text");
    EXPECT_TRUE(enabled(st[1]));
    EXPECT_FALSE(enabled(st[2])) << "enabled only after the mux, by MP4Box";
    EXPECT_TRUE(QFile::exists(in.progressFile));
    expectOneAudioGroup(in.outputPath, false);

    // What the completion steps do for IncludeSurroundTrackDisabled 0: both
    // tracks enabled in the one group, offered as alternatives.
    ASSERT_EQ(runProgram(resourcesDir() + "/MP4Box", {"-enable", "3", in.outputPath}), 0);
    expectOneAudioGroup(in.outputPath, true);
}

TEST(CommandLinesWithFfmpeg, MuxStageJoinsVideoWithTheNewAudio)
{
    const Movie m = makeMovie();
    ConversionInputs in = inputsFor(m);
    in.subtitleFiles.clear();
    in.audioTracks = audioTracksFromDescriptors({"#1: ger (aac)", "#2: ger (dts) [5.1]"});
    // The encoder's ADTS stream, here whole in a file.
    const QString aac = m.dir + "/Movie.mkv.aac.fifo";
    ASSERT_TRUE(ffmpeg(
        {"-f", "lavfi", "-i", "sine=frequency=330:duration=2", "-c:a", "aac", "-f", "adts", aac}));
    ConversionSettings s;
    s.conversionPreset = 0;
    s.includeSurroundTrack = 1;
    s.includeSurroundTrackTranscoded = 0; // DTS copied as it is
    const BuiltArguments built = muxArguments(in, aac, s);
    ASSERT_TRUE(built.addedSurround);
    QString output;
    ASSERT_EQ(runProgram("ffmpeg", built.arguments, &output), 0) << output.toStdString();

    const QJsonArray st = streams(in.outputPath);
    ASSERT_EQ(st.size(), 3);
    EXPECT_TRUE(enabled(st[1]));
    EXPECT_EQ(st[1].toObject()["tags"].toObject()["language"].toString(), "deu");
    EXPECT_EQ(st[2].toObject()["codec_name"].toString(), "dts");
    // Left unmarked, so it is disabled, as IncludeSurroundTrackDisabled asks.
    EXPECT_FALSE(enabled(st[2]));
    expectOneAudioGroup(in.outputPath, false);
}
