#include "CharacterErrorRate.h"
#include "CliProcessKit.h"
#include "PgsWriter.h"
#include "SubtitleCues.h"
#include "TestSupport.h"
#include "WrittenBoxes.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

using namespace clikit;

// Movies in every container people have, muxed by ffmpeg and by GStreamer,
// converted in both styles by the command line and read back.

namespace {

const QStringList kVideo{"-f", "lavfi", "-i", "testsrc2=size=160x120:rate=25:duration=3"};
const QStringList kSound{"-f", "lavfi", "-i", "sine=frequency=440:duration=3:sample_rate=48000"};
const QStringList kH264{"-c:v", "libx264", "-preset", "ultrafast", "-pix_fmt", "yuv420p"};

bool mux(const QStringList& codecs, const QString& path)
{
    return ffmpeg(kVideo + kSound + codecs + QStringList{path});
}

bool gstreamer(const QString& video, const QString& audio, const QString& muxer,
               const QString& path)
{
    const QString pipeline =
        "videotestsrc num-buffers=75 ! video/x-raw,width=160,height=120,framerate=25/1 ! "
        "videoconvert ! " +
        video +
        " ! queue ! m. audiotestsrc num-buffers=141 samplesperbuffer=1024 ! "
        "audio/x-raw,rate=48000,channels=2 ! audioconvert ! " +
        audio + " ! queue ! m. " + muxer + " name=m ! filesink location=" + path;
    return runProgram("gst-launch-1.0", QStringList{"-q"} + pipeline.split(' ')) == 0;
}

struct Reading
{
    double duration = 0;
    // Where the first audio starts after the video; absent without either.
    std::optional<double> audioAfterVideo;
    QString fieldOrder;
};

Reading readBack(const QString& path)
{
    Reading r;
    const QJsonObject json = QJsonDocument::fromJson(ffprobeJson(path).toUtf8()).object();
    r.duration = json["format"].toObject()["duration"].toString().toDouble();
    std::optional<double> video, audio;
    for (const QJsonValue& s : json["streams"].toArray()) {
        const QJsonObject stream = s.toObject();
        const double start = stream["start_time"].toString().toDouble();
        if (stream["codec_type"] == "video" && !video) {
            video = start;
            r.fieldOrder = stream["field_order"].toString();
        } else if (stream["codec_type"] == "audio" && !audio) {
            audio = start;
        }
    }
    if (video && audio)
        r.audioAfterVideo = *audio - *video;
    return r;
}

} // namespace

TEST(Containers, EveryContainerConvertsInBothStylesWithItsLengthAndSound)
{
    const Home h = makeHome("containers");
    const QString dir = makeTempDir("containers-movies");
    struct Movie
    {
        QString name;
        double seconds;
    };
    QList<Movie> movies;
    const auto add = [&](const QString& name, bool made, double seconds = 3.0) {
        EXPECT_TRUE(made) << qPrintable(name);
        if (made)
            movies.append({name, seconds});
    };
    add("Clip.webm",
        mux({"-c:v", "libvpx-vp9", "-deadline", "realtime", "-cpu-used", "8", "-c:a", "libopus"},
            dir + "/Clip.webm"));
    add("Old.avi", mux({"-c:v", "mpeg4", "-bf", "2", "-vtag", "XVID", "-c:a", "libmp3lame"},
                       dir + "/Old.avi"));
    // The clock wraps at 2^33 / 90 kHz in the middle of the recording.
    add("Tuner.ts",
        mux(kH264 + QStringList{"-c:a", "aac", "-output_ts_offset", "95442", "-f", "mpegts"},
            dir + "/Tuner.ts"));
    add("Camcorder.MTS",
        mux(kH264 + QStringList{"-flags", "+ildct+ilme", "-x264-params", "tff=1", "-c:a", "ac3",
                                "-mpegts_m2ts_mode", "1", "-f", "mpegts"},
            dir + "/Camcorder.MTS"));
    add("VTS_01_1.VOB",
        mux({"-c:v", "mpeg2video", "-c:a", "ac3", "-f", "vob"}, dir + "/VTS_01_1.VOB"));
    add("Old.mpg", mux({"-c:v", "mpeg1video", "-c:a", "mp2", "-f", "mpeg"}, dir + "/Old.mpg"));
    add("Web.flv", mux(kH264 + QStringList{"-c:a", "aac", "-f", "flv"}, dir + "/Web.flv"));
    add("Phone.3gp", mux(kH264 + QStringList{"-c:a", "aac"}, dir + "/Phone.3gp"));
    // An MP4 under a wrong name and under an unknown one.
    add("Misnamed.mkv",
        mux(kH264 + QStringList{"-c:a", "aac", "-f", "mp4"}, dir + "/Misnamed.mkv"));
    add("Recording.bin",
        mux(kH264 + QStringList{"-c:a", "aac", "-f", "mp4"}, dir + "/Recording.bin"));
    // A recording joined from two whose second clock runs earlier: ffmpeg
    // reads it as 26 hours long.
    const bool first =
        mux(kH264 + QStringList{"-c:a", "ac3", "-output_ts_offset", "500", "-f", "mpegts"},
            dir + "/part1.ts");
    const bool second =
        mux(kH264 + QStringList{"-c:a", "ac3", "-output_ts_offset", "100", "-f", "mpegts"},
            dir + "/part2.ts");
    add("Joined.ts",
        first && second &&
            runProgram("sh", {"-c", "cd \"$0\" && cat part1.ts part2.ts > Joined.ts && rm part*.ts",
                              dir}) == 0,
        6.0);
    add("GstTuner.ts", gstreamer("openh264enc ! h264parse", "voaacenc ! aacparse", "mpegtsmux",
                                 dir + "/GstTuner.ts"));
    add("GstOld.avi", gstreamer("openh264enc ! h264parse", "lamemp3enc ! mpegaudioparse", "avimux",
                                dir + "/GstOld.avi"));
    add("GstWeb.flv",
        gstreamer("openh264enc ! h264parse", "voaacenc ! aacparse", "flvmux", dir + "/GstWeb.flv"));
    add("GstClip.webm",
        gstreamer("vp9enc deadline=1", "opusenc", "webmmux", dir + "/GstClip.webm"));

    // The probe shows the joined recording's true length.
    const Outcome probe = run({"probe", "--json", dir + "/Joined.ts"}, h.env, 60000);
    ASSERT_EQ(probe.status, 0) << qPrintable(probe.err);
    const QJsonObject probed = QJsonDocument::fromJson(probe.out.toUtf8()).array().at(0).toObject();
    EXPECT_EQ(probed["runtimeSeconds"].toDouble(), 6) << qPrintable(probe.out);

    QStringList given;
    for (const Movie& m : movies)
        given.append(dir + "/" + m.name);
    for (const QString& style : {QString("fast"), QString("compatible")}) {
        SCOPED_TRACE(qPrintable(style));
        const QString out = makeTempDir("containers-" + style);
        const Outcome r =
            run(QStringList{"convert", "--style", style, "--dest", out} + given, h.env, 300000);
        EXPECT_EQ(r.status, 0) << qPrintable(r.err);
        EXPECT_TRUE(r.err.contains("Note: Clip.webm: its VP9 video plays on computers and "
                                   "Android, not on iPhone or Apple TV."))
            << qPrintable(r.err);
        for (const Movie& m : movies) {
            SCOPED_TRACE(qPrintable(m.name));
            const QString source = dir + "/" + m.name;
            const QString output = out + "/" + QFileInfo(m.name).completeBaseName() + ".mp4";
            ASSERT_TRUE(QFileInfo::exists(output)) << qPrintable(r.err);
            const Reading before = readBack(source);
            const Reading after = readBack(output);
            EXPECT_NEAR(after.duration, m.seconds, 0.3);
            ASSERT_TRUE(after.audioAfterVideo.has_value());
            // The joined recording's second part starts its sound where its
            // first did.
            EXPECT_NEAR(*after.audioAfterVideo, before.audioAfterVideo.value_or(0), 0.04);
            if (m.name == "Camcorder.MTS") {
                EXPECT_EQ(after.fieldOrder, before.fieldOrder);
            }
            // No track without samples; the sound is AAC in the compatible style.
            const auto boxes = readBoxes(output);
            ASSERT_TRUE(boxes.has_value());
            for (const auto& track : boxes->tracks)
                EXPECT_GT(track.sampleCount, 0u);
            const auto audio = tracksOf(*boxes, "soun");
            ASSERT_FALSE(audio.empty());
            if (style == "compatible") {
                EXPECT_EQ(fourCCText(audio[0].sampleEntry), "mp4a");
            }
        }
    }
}

TEST(Containers, VideoAnMp4CannotHoldIsRefusedWithItsCodecNamed)
{
    const Home h = makeHome("containers-refused");
    const QString dir = makeTempDir("containers-refused-movies");
    ASSERT_TRUE(mux({"-c:v", "libtheora", "-c:a", "libvorbis"}, dir + "/Lecture.ogv"));
    ASSERT_TRUE(mux({"-c:v", "wmv2", "-c:a", "wmav2"}, dir + "/Talk.wmv"));
    ASSERT_TRUE(writeBytes(dir + "/Notes.dat", "just some words\n"));
    const QStringList before = entries(dir);
    const Outcome r =
        run({"convert", dir + "/Lecture.ogv", dir + "/Talk.wmv", dir + "/Notes.dat"}, h.env, 60000);
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("Not converted: " + dir +
                               "/Lecture.ogv: its video is Theora, which an MP4 cannot hold "
                               "without re-encoding."))
        << qPrintable(r.err);
    EXPECT_TRUE(r.err.contains("Not converted: " + dir +
                               "/Talk.wmv: its video is Windows Media Video 8, which an MP4 "
                               "cannot hold without re-encoding."));
    EXPECT_TRUE(r.err.contains("Not converted: " + dir + "/Notes.dat: "));
    EXPECT_EQ(entries(dir), before);
    EXPECT_TRUE(temporaryEntries(h).isEmpty());
}

TEST(Containers, DvbSubtitlesOfATransportStreamAreReadAsText)
{
    const Home h = makeHome("containers-dvb");
    const QString dir = makeTempDir("containers-dvb-movies");
    const QList<PgsEvent> events{{0.5, 1.8, {"Keep the lights on."}, false}};
    ASSERT_TRUE(writePgs(dir + "/en.sup", events, PgsStyle{720, 576, "DejaVu Sans", 32, false}));
    // Picture to picture: the subtitles DVB broadcasts carry. ffmpeg starts
    // each input at its first event, so the picture's time is given again.
    const QString movie = dir + "/Recording.ts";
    ASSERT_TRUE(ffmpeg({"-f",
                        "lavfi",
                        "-i",
                        "testsrc2=size=720x576:rate=25:duration=3",
                        "-f",
                        "lavfi",
                        "-i",
                        "sine=duration=3",
                        "-itsoffset",
                        "0.5",
                        "-i",
                        dir + "/en.sup",
                        "-map",
                        "0",
                        "-map",
                        "1",
                        "-map",
                        "2",
                        "-c:v",
                        "libx264",
                        "-preset",
                        "ultrafast",
                        "-c:a",
                        "mp2",
                        "-c:s",
                        "dvbsub",
                        "-metadata:s:s:0",
                        "language=eng",
                        "-f",
                        "mpegts",
                        movie}));
    const Outcome r = run({"convert", "--style", "fast", "--subtitles", "all", movie}, h.env);
    ASSERT_EQ(r.status, 0) << qPrintable(r.err);
    const QList<Cue> cues = subtitleCues(dir + "/Recording.mp4", 0);
    ASSERT_EQ(cues.size(), 1);
    EXPECT_NEAR(cues.at(0).start, 0.5, 0.1);
    EXPECT_LE(characterErrorRate("Keep the lights on.", cues.at(0).text), 0.02)
        << qPrintable(cues.at(0).text);
}
