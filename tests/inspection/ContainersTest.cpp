#include "inspection/CountedLength.h"
#include "inspection/ProbeListing.h"
#include "inspection/VideoCodecs.h"

#include <gtest/gtest.h>

namespace {

QString listing(const QString& format, const QString& video, const QString& duration)
{
    return QString("Input #0, %1, from 'x':\n  Duration: %2, start: 1.400000, bitrate: 900 kb/s\n"
                   "  Stream #0:0[0x100]: Video: %3, 1920x1080, 25 fps\n"
                   "  Stream #0:1[0x101](eng): Audio: ac3, 48000 Hz, stereo, fltp, 192 kb/s\n")
        .arg(format, duration, video);
}

} // namespace

TEST(Containers, CodecsFormatsAndNotesFromTheListing)
{
    // What an MP4 holds is copied; the rest is refused with its codec named.
    for (const char* held : {"h264", "hevc", "mpeg4", "mpeg2video", "vp9", "av1", "mjpeg"})
        EXPECT_TRUE(uncopyableVideoReason(held).isEmpty()) << held;
    EXPECT_EQ(uncopyableVideoReason("theora"),
              "its video is Theora, which an MP4 cannot hold without re-encoding.");
    EXPECT_TRUE(uncopyableVideoReason("wmv3").contains("Windows Media Video 9"));
    EXPECT_TRUE(uncopyableVideoReason("vc1").contains("VC-1"));
    EXPECT_TRUE(uncopyableVideoReason("msmpeg4v3").contains("DivX 3"));
    EXPECT_TRUE(uncopyableVideoReason("h263").contains("H.263"));
    EXPECT_TRUE(uncopyableVideoReason("newcodec").contains("NEWCODEC"));

    const ProbeResult webm =
        parseFfmpegListing(listing("matroska,webm", "vp9 (Profile 0), yuv420p(tv)", "00:00:06.00"));
    EXPECT_EQ(webm.containerFormats, (QStringList{"matroska", "webm"}));
    EXPECT_EQ(webm.playbackNote,
              "its VP9 video plays on computers and Android, not on iPhone or Apple TV.");
    // The note stands for the general warning about the same video.
    EXPECT_TRUE(webm.warnings.isEmpty());
    const ProbeResult hevc = parseFfmpegListing(listing("mpegts", "hevc (Main)", "00:00:06.00"));
    EXPECT_TRUE(hevc.playbackNote.isEmpty());
    EXPECT_EQ(hevc.warnings, QStringList{kWrongVideoWarning});
    const ProbeResult tenBit =
        parseFfmpegListing(listing("mpegts", "h264 (High 10), yuv420p10le", "00:00:06.00"));
    EXPECT_TRUE(tenBit.playbackNote.contains("10-bit H.264"));
    EXPECT_EQ(tenBit.warnings, QStringList{k10BitVideoWarning});
    EXPECT_TRUE(playbackNoteFor("mpeg4", "mpeg4 (Simple Profile) (mp4v)", false).isEmpty());
    EXPECT_TRUE(playbackNoteFor("mpeg4", "mpeg4 (Advanced Simple Profile) (XVID)", false)
                    .contains("DivX, Xvid"));
    EXPECT_TRUE(playbackNoteFor("mpeg2video", "mpeg2video (Main)", false).contains("MPEG-2"));
    EXPECT_TRUE(playbackNoteFor("h264", "h264 (High)", false).isEmpty());

    // Movies by what ffmpeg reads, not by name; pictures and text are not.
    for (const char* f : {"mov,mp4,m4a,3gp,3g2,mj2", "avi", "mpegts", "mpeg", "flv", "ogg"})
        EXPECT_TRUE(isMovieContainer(QString(f).split(','))) << f;
    EXPECT_EQ(notAMovieContainerReason({"image2"}), "it is a picture, not a movie");
    EXPECT_EQ(notAMovieContainerReason({"png_pipe"}), "it is a picture, not a movie");
    EXPECT_TRUE(notAMovieContainerReason({"tty"}).contains("tty"));
    EXPECT_TRUE(notAMovieContainerReason({"avi"}).isEmpty());
}

TEST(Containers, AJumpingClockIsCountedFromThePackets)
{
    // A joined recording reads as 26 hours; a plain one, or Matroska, is believed.
    ProbeResult joined = parseFfmpegListing(listing("mpegts", "h264 (High)", "26:24:09.72"));
    EXPECT_TRUE(lengthNeedsCounting(joined, quint64(2'000'000)));
    EXPECT_FALSE(lengthNeedsCounting(
        parseFfmpegListing(listing("mpegts", "h264 (High)", "00:00:12.00")), quint64(2'000'000)));
    EXPECT_FALSE(lengthNeedsCounting(
        parseFfmpegListing(listing("matroska,webm", "h264", "26:24:09.72")), quint64(2'000'000)));
    // 2 MB in 3 hours is not a movie's rate either.
    EXPECT_TRUE(lengthNeedsCounting(
        parseFfmpegListing(listing("mpeg", "mpeg2video", "03:00:00.00")), quint64(2'000'000)));

    EXPECT_NEAR(*summedPacketSeconds("0.040000,\n0.040000\nN/A\n\n0.040000,\n"), 0.12, 1e-9);
    EXPECT_FALSE(summedPacketSeconds("N/A\n").has_value());
    applyCountedLength(joined, 12.04, quint64(1'500'000));
    EXPECT_EQ(joined.runtimeSeconds, 12);
    EXPECT_EQ(summaryLine(joined),
              "Duration: 00:00:12  Bitrate: 996 kb/s  Resolution: 1920x1080  Audiotracks: 1 (0)");
}
