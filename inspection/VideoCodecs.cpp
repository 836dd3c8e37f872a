#include "inspection/VideoCodecs.h"

#include <QCoreApplication>
#include <QHash>

namespace {

struct VideoCodecs
{
    Q_DECLARE_TR_FUNCTIONS(VideoCodecs)
};

// The formats ffmpeg names movie containers by (the first name of each
// list it prints is enough, but any one of them counts).
const QStringList& movieContainers()
{
    static const QStringList names{"matroska", "webm", "mov",    "mp4",  "3gp", "3g2",
                                   "mj2",      "avi",  "mpegts", "mpeg", "flv", "ogg",
                                   "asf",      "rm",   "mxf",    "nut",  "dv",  "wtv"};
    return names;
}

bool anyOf(const QStringList& formats, const QStringList& names)
{
    for (const QString& format : formats)
        if (names.contains(format))
            return true;
    return false;
}

} // namespace

bool mp4HoldsVideo(const QString& codec)
{
    static const QStringList held{"h264",       "hevc",       "mpeg4", "av1",
                                  "mpeg2video", "mpeg1video", "vp9",   "mjpeg"};
    return held.contains(codec);
}

QString videoCodecName(const QString& codec)
{
    static const QHash<QString, QString> names{
        {"h264", "H.264"},
        {"hevc", "HEVC"},
        {"mpeg4", "MPEG-4 Part 2"},
        {"mpeg2video", "MPEG-2"},
        {"mpeg1video", "MPEG-1"},
        {"av1", "AV1"},
        {"vp9", "VP9"},
        {"vp8", "VP8"},
        {"vp6", "VP6"},
        {"vp6f", "VP6"},
        {"vp6a", "VP6"},
        {"theora", "Theora"},
        {"wmv1", "Windows Media Video 7"},
        {"wmv2", "Windows Media Video 8"},
        {"wmv3", "Windows Media Video 9"},
        {"vc1", "VC-1"},
        {"rv10", "RealVideo"},
        {"rv20", "RealVideo"},
        {"rv30", "RealVideo"},
        {"rv40", "RealVideo"},
        {"msmpeg4v1", "Microsoft MPEG-4"},
        {"msmpeg4v2", "Microsoft MPEG-4"},
        {"msmpeg4v3", "Microsoft MPEG-4 (DivX 3)"},
        {"flv1", "Sorenson Spark"},
        {"svq1", "Sorenson Video"},
        {"svq3", "Sorenson Video 3"},
        {"h263", "H.263"},
        {"prores", "Apple ProRes"},
        {"dnxhd", "Avid DNxHD"},
        {"dvvideo", "DV"},
        {"cinepak", "Cinepak"},
        {"mjpeg", "Motion JPEG"},
        {"rawvideo", "uncompressed video"},
        {"ffv1", "FFV1"},
        {"huffyuv", "HuffYUV"},
    };
    const auto it = names.constFind(codec);
    return it != names.constEnd() ? *it : codec.toUpper();
}

QString uncopyableVideoReason(const QString& codec)
{
    if (codec.isEmpty() || mp4HoldsVideo(codec))
        return {};
    return VideoCodecs::tr("its video is %1, which an MP4 cannot hold without re-encoding.")
        .arg(videoCodecName(codec));
}

QString playbackNoteFor(const QString& codec, const QString& streamLine, bool highBitDepth)
{
    if (codec == QLatin1String("vp9"))
        return VideoCodecs::tr(
            "its VP9 video plays on computers and Android, not on iPhone or Apple TV.");
    if (codec == QLatin1String("mpeg2video") || codec == QLatin1String("mpeg1video"))
        return VideoCodecs::tr("its %1 video plays on computers and most TVs, not on iPhone, "
                               "iPad or Apple TV.")
            .arg(videoCodecName(codec));
    // Apple's players decode the simple profile only; DivX and Xvid write
    // the advanced simple one, with B-frames.
    if (codec == QLatin1String("mpeg4") && !streamLine.contains(QLatin1String("(Simple Profile)")))
        return VideoCodecs::tr("its MPEG-4 Part 2 video (DivX, Xvid) plays on computers and most "
                               "TVs, not on iPhone, iPad or Apple TV.");
    if (codec == QLatin1String("h264") && highBitDepth)
        return VideoCodecs::tr("its 10-bit H.264 video plays on computers, not on iPhone, Apple "
                               "TV or most TVs.");
    return {};
}

bool isMovieContainer(const QStringList& formats)
{
    return anyOf(formats, movieContainers());
}

QString notAMovieContainerReason(const QStringList& formats)
{
    if (formats.isEmpty() || isMovieContainer(formats))
        return {};
    static const QStringList pictures{"image2",   "gif",       "apng",     "webp_pipe",
                                      "png_pipe", "jpeg_pipe", "bmp_pipe", "tiff_pipe"};
    if (anyOf(formats, pictures) || formats.first().endsWith(QLatin1String("_pipe")))
        return VideoCodecs::tr("it is a picture, not a movie");
    return VideoCodecs::tr("not a movie file (ffmpeg reads it as %1)").arg(formats.join(u','));
}

bool hasDiscontinuousClock(const QStringList& formats)
{
    return anyOf(formats, {QStringLiteral("mpegts"), QStringLiteral("mpeg")});
}
