#include "common/JobTestKit.h"
#include "common/MovieFactory.h"
#include "common/TestSupport.h"
#include "common/WrittenBoxes.h"
#include "engine/ConversionJob.h"
#include "engine/JobState.h"
#include "foundation/SettingsAccess.h"
#include "foundation/SettingsKeys.h"
#include "shell/AppDelegate.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <QPointer>
#include <gtest/gtest.h>

// Movies as people have them: audio delays from DVD and Blu-ray rips, sound
// that outlasts the picture, recordings cut off by a crash, Blu-ray surround
// tracks an MP4 cannot carry. Converted for real, read back with ffprobe.

namespace {

// The start of every stream of a file, in file order, with its kind.
struct StreamStart
{
    QString type;
    QString codec;
    double start = 0;
    int channels = 0;
};

QList<StreamStart> streamStarts(const QString& path)
{
    QList<StreamStart> starts;
    for (const QJsonValue& s : probeStreams(path))
        starts.append({streamValue(s, "codec_type"), streamValue(s, "codec_name"),
                       streamValue(s, "start_time").toDouble(),
                       streamValue(s, "channels").toInt()});
    return starts;
}

// Where each audio track starts relative to the video.
QList<double> audioOffsets(const QString& path)
{
    const QList<StreamStart> starts = streamStarts(path);
    double video = 0;
    for (const StreamStart& s : starts)
        if (s.type == "video")
            video = s.start;
    QList<double> offsets;
    for (const StreamStart& s : starts)
        if (s.type == "audio")
            offsets.append(s.start - video);
    return offsets;
}

class EverydayMovies : public ConversionTestBase
{
protected:
    // H.264 with an English MP3 track and an English AC3 5.1 track (which the
    // compatible style encodes, and keeps as the surround track), moved by
    // mkvmerge: "--sync 1:500 --sync 2:500" delays the sound, "--sync 0:300"
    // the picture.
    QString delayedMovie(const QString& name, const QStringList& sync)
    {
        const QString raw = dir() + "/raw-" + name;
        // Picture, an MP3 track and an AC3 5.1 track, all four seconds.
        const QStringList sources{"testsrc=size=160x120:rate=25:duration=4",
                                  "sine=duration=4:sample_rate=48000",
                                  "sine=frequency=220:duration=4:sample_rate=48000"};
        QStringList args;
        for (const QString& source : sources)
            args << "-f"
                 << "lavfi"
                 << "-i" << source;
        for (int i = 0; i < sources.size(); ++i)
            args << "-map" << QString::number(i);
        args << QStringLiteral("-c:v libx264 -preset ultrafast -pix_fmt yuv420p -c:a:0 mp3 "
                               "-c:a:1 ac3 -ac:a:1 6 -metadata:s:a language=eng")
                    .split(u' ')
             << raw;
        EXPECT_TRUE(ffmpeg(args));
        const QString movie = dir() + "/" + name;
        EXPECT_EQ(runProgram("mkvmerge", QStringList{"-q", "-o", movie} + sync + QStringList{raw}),
                  0);
        return movie;
    }
};

} // namespace

// Each kept audio track starts, relative to the video, where it starts in
// the source, whether encoded through the WAV and AAC, copied as the
// surround track or encoded to AC3 in one run; delays either way.
TEST_F(EverydayMovies, AudioDelaysSurviveEveryStyle)
{
    struct Case
    {
        QString name;
        QStringList sync;
    };
    for (const Case& c : {Case{"Late.mkv", {"--sync", "1:500", "--sync", "2:500"}},
                          Case{"Early.mkv", {"--sync", "0:300"}}}) {
        const QString movie = delayedMovie(c.name, c.sync);
        const QList<double> source = audioOffsets(movie);
        ASSERT_EQ(source.size(), 2);
        ASSERT_GT(std::abs(source[0]), 0.25) << qPrintable(c.name);

        struct Style
        {
            int preset, surround, track;
        };
        // Compatible with and without the surround track (the MP3 track
        // chosen), fast (AC3 5.1 to AC3 stereo in one run, and copied).
        for (const Style style : {Style{0, 0, 0}, Style{0, 1, 0}, Style{1, 0, 0}, Style{1, 0, 1}}) {
            setDefaultInt(kConversionPresetKey, style.preset);
            setDefaultInt(kIncludeSurroundTrackKey, style.surround);
            const QString output = dir() + QStringLiteral("/%1-%2-%3-%4.mp4")
                                               .arg(c.name)
                                               .arg(style.preset)
                                               .arg(style.surround)
                                               .arg(style.track);
            ConversionJob* job = makeJob(movie, output, style.track);
            ASSERT_EQ(convertToEnd(job), JobFinished)
                << job->failureExplanationText().toStdString();
            const QList<double> written = audioOffsets(output);
            ASSERT_EQ(written.size(), style.surround ? 2 : 1) << qPrintable(output);
            for (qsizetype i = 0; i < written.size(); ++i) {
                const double wanted = source[i == 0 ? style.track : 1];
                EXPECT_NEAR(written[i], wanted, 0.04) << qPrintable(output) << " track " << i;
            }
        }
    }
}

// The read-back check looks at time: a mux stage that loses the delay (a
// stand-in ffmpeg that drops -itsoffset) fails the job with an explanation
// and leaves no output behind.
TEST_F(EverydayMovies, SoundOutOfSyncFailsTheJob)
{
    installFakeTools();
    const QString movie = delayedMovie("EarlySound.mkv", {"--sync", "1:500", "--sync", "2:500"});
    setDefaultInt(kConversionPresetKey, 0);
    ConversionJob* job = makeJob(movie, dir() + "/EarlySound.mp4", 0);
    ASSERT_EQ(convertToEnd(job), JobFailed);
    EXPECT_TRUE(job->failureExplanationText().contains("The sound of the converted file is 0.4",
                                                       Qt::CaseSensitive))
        << job->failureExplanationText().toStdString();
    EXPECT_TRUE(job->failureExplanationText().contains(" s early."));
    EXPECT_FALSE(QFileInfo::exists(dir() + "/EarlySound.mp4"));
}

// A DVD-like movie whose sound runs 2 s past its picture, and a recording
// cut off in the middle: both finish; the cut one with its warning and an
// MP4 holding what could be read.
TEST_F(EverydayMovies, LongerSoundAndCutRecordingsFinish)
{
    setDefaultInt(kConversionPresetKey, 0);
    const QString dvd = dir() + "/Dvd.mkv";
    ASSERT_TRUE(
        ffmpeg({"-f", "lavfi", "-i", "testsrc=size=160x120:rate=25:duration=4", "-f", "lavfi", "-i",
                "sine=duration=6", "-c:v", "mpeg2video", "-c:a", "ac3", dvd}));
    ConversionJob* dvdJob = makeJob(dvd, dir() + "/Dvd.mp4");
    ASSERT_EQ(convertToEnd(dvdJob), JobFinished) << dvdJob->failureExplanationText().toStdString();
    EXPECT_TRUE(dvdJob->completionWarning().isEmpty());

    const QString whole = dir() + "/Whole.mkv";
    ASSERT_TRUE(ffmpeg({"-f", "lavfi", "-i", "testsrc=size=160x120:rate=25:duration=6", "-f",
                        "lavfi", "-i", "sine=duration=6", "-c:v", "libx264", "-preset", "ultrafast",
                        "-pix_fmt", "yuv420p", "-c:a", "ac3", whole}));
    QFile in(whole);
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    const QByteArray bytes = in.readAll();
    const QString cut = dir() + "/Cut.mkv";
    QFile out(cut);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(bytes.left(bytes.size() / 2));
    out.close();
    for (const int preset : {0, 1}) {
        setDefaultInt(kConversionPresetKey, preset);
        const QString output = dir() + QStringLiteral("/Cut-%1.mp4").arg(preset);
        ConversionJob* job = makeJob(cut, output);
        ASSERT_EQ(convertToEnd(job), JobFinished) << job->failureExplanationText().toStdString();
        EXPECT_EQ(job->completionWarning(), "Warning: 'Cut.mkv' ends after 0:03 of its 0:06; the "
                                            "MP4 holds all of it that could be read.");
        EXPECT_TRUE(job->stateInfoString().contains(job->completionWarning()));
        const auto boxes = readBoxes(output);
        ASSERT_TRUE(boxes.has_value());
        ASSERT_EQ(tracksOf(*boxes, "vide").size(), 1u);
        EXPECT_GT(tracksOf(*boxes, "vide")[0].sampleCount, 50u);
    }
}

// Blu-ray surround tracks an MP4 cannot carry (TrueHD, 7.1 LPCM) become the
// AC3 5.1 surround track beside the AAC stereo one.
TEST_F(EverydayMovies, BluRaySurroundBecomesAC3)
{
    setDefaultInt(kConversionPresetKey, 0);
    setDefaultInt(kIncludeSurroundTrackKey, 1);
    // ffmpeg's TrueHD encoder writes at most 5.1; LPCM carries the 7.1.
    for (const QStringList& codec :
         {QStringList{"truehd", "-strict", "-2"}, QStringList{"pcm_s16le"}}) {
        const QString movie = dir() + "/Surround-" + codec.first() + ".mkv";
        ASSERT_TRUE(
            ffmpeg(QStringList{"-f", "lavfi", "-i", "testsrc=size=160x120:rate=10:duration=2", "-f",
                               "lavfi", "-i",
                               "sine=duration=2:sample_rate=48000,aformat=channel_layouts=7.1",
                               "-c:v", "libx264", "-preset", "ultrafast", "-pix_fmt", "yuv420p",
                               "-metadata:s:a", "language=eng", "-c:a"} +
                   codec + QStringList{movie}));
        ConversionJob* job = makeJob(movie, dir() + "/Surround-" + codec.first() + ".mp4");
        ASSERT_EQ(convertToEnd(job), JobFinished) << job->failureExplanationText().toStdString();
        EXPECT_TRUE(job->addedSurround());
        QStringList audio;
        for (const StreamStart& s : streamStarts(job->destinationPath()))
            if (s.type == "audio")
                audio.append(QStringLiteral("%1/%2").arg(s.codec).arg(s.channels));
        EXPECT_EQ(audio, (QStringList{"aac/2", "ac3/6"})) << qPrintable(codec.first());
        expectOneAudioGroup(job->destinationPath(), false);
    }
}
