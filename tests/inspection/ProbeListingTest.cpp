#include "inspection/ProbeListing.h"

#include "inspection/StreamTimings.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>
#include <limits>

namespace {

const char* kWorkedExample =
    "Input #0, matroska,webm, from 'Movie.mkv':\n"
    "  Metadata:\n"
    "    DURATION        : 01:02:03.450000000\n"
    "  Duration: 01:02:03.45, start: 0.000000, bitrate: 5234 kb/s\n"
    "  Stream #0:0(eng): Video: h264 (High), yuv420p, 1920x1080 [SAR 1:1 DAR 16:9], 23.98 fps\n"
    "  Stream #0:1(ger): Audio: ac3, 48000 Hz, 5.1(side), fltp, 640 kb/s (default)\n"
    "  Stream #0:2(eng): Audio: aac (LC), 48000 Hz, stereo, fltp\n"
    "  Stream #0:3(eng): Subtitle: subrip\n"
    "  Stream #0:4: Subtitle: hdmv_pgs_subtitle\n"
    "At least one output file must be specified\n";

QString audioLine(const QString& address, const QString& rest)
{
    return "  Stream #0:" + address + ": Audio: " + rest + "\n";
}

} // namespace

TEST(ProbeListing, WorkedExample)
{
    const ProbeResult r = parseFfmpegListing(QString::fromUtf8(kWorkedExample));
    EXPECT_EQ(r.runtimeSeconds, 3723);
    EXPECT_EQ(r.videoStream, 0);
    EXPECT_EQ(descriptorsOf(r.audioTracks), (QStringList{"#1: ger (ac3) [5.1]", "#2: eng (aac)"}));
    EXPECT_EQ(r.textSubtitleStreams, QList<int>{3});
    EXPECT_EQ(r.audioCount, 2);
    EXPECT_EQ(r.subtitleCount, 2);
    EXPECT_TRUE(r.warnings.isEmpty());
    EXPECT_EQ(summaryLine(r),
              "Duration: 01:02:03  Bitrate: 5234 kb/s  Resolution: 1920x1080  Audiotracks: 2 (2)");
}

// One ffprobe run prints the listing and the timings; the listing reads as
// ffmpeg's, with the layout ffmpeg guesses for a bare channel count.
TEST(ProbeListing, OneFfprobeRunReadsAsFfmpegsListing)
{
    const QString output =
        "Input #0, matroska,webm, from 'Film.mkv':\n"
        "  Duration: 00:00:02.00, start: 0.000000, bitrate: 6200 kb/s\n"
        "  Stream #0:0: Video: h264 (High), yuv420p, 160x120, 10 fps, 10 tbr, 1k tbn\n"
        "  Stream #0:1(eng): Audio: pcm_s16le, 48000 Hz, 8 channels, s16, 6144 kb/s\n"
        "  Stream #0:2(ger): Audio: flac, 48000 Hz, 6 channels, s16\n"
        "stream|index=0|codec_type=video|avg_frame_rate=10/1|start_time=0.000000\n"
        "stream|index=1|codec_type=audio|sample_rate=48000|start_time=0.500000\n"
        "format|start_time=0.000000\n";
    const QString listing = listingPart(output);
    EXPECT_FALSE(listing.contains("stream|") || listing.contains("format|"));
    EXPECT_EQ(descriptorsOf(parseFfmpegListing(listing).audioTracks),
              QStringList({"#1: eng (pcm_s16le) [7.1]", "#2: ger (flac)"}));
    EXPECT_EQ(parseStreamTimings(output).starts.value(1), 0.5);
}

TEST(ProbeListing, LanguageAndNumberOfAStreamLine)
{
    // No tag gives "unk"; ffmpeg 5.1's bracketed identifier of MP4/MOV
    // inputs is neither language nor number.
    const ProbeResult r = parseFfmpegListing(audioLine("7", "dts, 48000 Hz, stereo") +
                                             audioLine("12[0x2](ger)", "ac3 (ac-3 / 0x332D6361)") +
                                             audioLine("3[0x4]", "aac (LC) (mp4a / 0x6134706D)"));
    EXPECT_EQ(descriptorsOf(r.audioTracks),
              (QStringList{"#7: unk (dts)", "#12: ger (ac3)", "#3: unk (aac)"}));
}

TEST(ProbeListing, SurroundMarkerAndCodecWord)
{
    const ProbeResult r =
        parseFfmpegListing(audioLine("1(eng)", "ac3, 48000 Hz, 5.1(side), fltp") +
                           audioLine("2(eng)", "dts (DTS-ES), 48000 Hz, 6.1, fltp") +
                           audioLine("3(eng)", "aac (HE-AAC), 48000 Hz, stereo, fltp") +
                           audioLine("4(eng)", "aac (LC), 48000 Hz, 5.1, fltp") +
                           audioLine("5(eng)", "dts, 48000 Hz, 6.1"));
    EXPECT_EQ(descriptorsOf(r.audioTracks),
              (QStringList{"#1: eng (ac3) [5.1]", "#2: eng (dts) [5.1]", "#3: eng (aac)",
                           "#4: eng (aac)", "#5: eng (dts)"}));
    EXPECT_EQ(r.audioCount, 5);
}

TEST(ProbeListing, VideoLinesAndTheirWarnings)
{
    // The last video line wins; each line is judged on its own.
    ProbeResult r = parseFfmpegListing(
        "  Stream #0:0: Video: h264 (High 10), yuv420p10le, 1280x720 [SAR 1:1 DAR 16:9]\n"
        "  Stream #0:1: Video: mpeg2video (Main), yuv420p, 720x576, 25 fps\n"
        "  Stream #0:2: Video: hevc (Main 10), yuv420p10le, 640x360\n");
    EXPECT_EQ(r.videoStream, 2);
    EXPECT_EQ(r.resolutionText, "640x360");
    // The MPEG-2 line's note on where it plays stands for its warning.
    EXPECT_EQ(r.warnings, (QStringList{"10bitvideowarning", "wrongvideowarning"}));

    // Cover art after the movie is no video track: no number, no
    // resolution, no warning.
    r = parseFfmpegListing("  Stream #0:0: Video: h264 (High), yuv420p, 1280x720, 25 fps\n"
                           "  Stream #0:3: Video: mjpeg (Baseline), yuvj420p(pc), 600x600 [SAR "
                           "1:1 DAR 1:1], 90k tbr, 90k tbn (attached pic)\n");
    EXPECT_EQ(r.videoStream, 0);
    EXPECT_EQ(r.resolutionText, "1280x720");
    EXPECT_TRUE(r.warnings.isEmpty());

    // The MP4 codec tag also holds an "x"; the resolution comes later.
    r = parseFfmpegListing("  Stream #0:0[0x1](und): Video: h264 (High) (avc1 / 0x31637661), "
                           "yuv420p(progressive), 320x240 [SAR 1:1 DAR 4:3], 25 fps (default)\n");
    EXPECT_EQ(r.resolutionText, "320x240");
    EXPECT_EQ(r.videoStream, 0);
}

TEST(ProbeListing, SubtitlesTextAndImage)
{
    const ProbeResult r = parseFfmpegListing("  Stream #0:2(eng): Subtitle: ass\n"
                                             "  Stream #0:3(fre): Subtitle: dvd_subtitle\n"
                                             "  Stream #0:4: Subtitle: subrip (default)\n"
                                             "  Stream #0:5: Subtitle: mov_text\n"
                                             "  Stream #0:6: Attachment: ttf\n"
                                             "  Stream #0:7(eng): Subtitle: hdmv_pgs_subtitle "
                                             "(default) (forced)\n"
                                             "  Stream #0:8: Subtitle: dvb_subtitle ([6][0][0][0] "
                                             "/ 0x0006)\n"
                                             "  Stream #0:9(ger): Subtitle: subrip (forced)\n");
    EXPECT_EQ(r.textSubtitleStreams, (QList<int>{2, 4, 5, 9}));
    EXPECT_EQ(r.textSubtitleLanguages, (QStringList{"eng", "unk", "unk", "ger"}));
    // Pictures are read as text; the forced flag is kept of either kind.
    EXPECT_EQ(r.pictureSubtitleStreams, (QList<int>{3, 7, 8}));
    EXPECT_EQ(r.pictureSubtitleLanguages, (QStringList{"fre", "eng", "unk"}));
    EXPECT_EQ(r.forcedSubtitleStreams, (QList<int>{7, 9}));
    EXPECT_EQ(r.subtitleCount, 7);
    EXPECT_EQ(summaryLine(r),
              "Duration: (null)  Bitrate: (null)  Resolution: (null)  Audiotracks: 0 (7)");
}

TEST(ProbeListing, WhatOtherMuxersWrite)
{
    // Every text format ffmpeg writes as mov_text counts, matched as a whole
    // codec word; image formats whose names hold "text" or "stl" do not.
    QString subtitles;
    const QStringList text{"mov_text (tx3g / 0x67337874)",
                           "webvtt",
                           "text",
                           "jacosub",
                           "mpl2",
                           "pjs",
                           "realtext",
                           "stl",
                           "subviewer1",
                           "vplayer"};
    const QStringList image{"dvb_teletext", "hdmv_pgs_subtitle", "dvb_subtitle", "xsub"};
    int n = 0;
    for (const QString& codec : text + image)
        subtitles += QString("  Stream #0:%1(ger): Subtitle: %2\n").arg(n++).arg(codec);
    const ProbeResult subs = parseFfmpegListing(subtitles);
    EXPECT_EQ(subs.textSubtitleStreams.size(), text.size());
    EXPECT_EQ(subs.textSubtitleStreams.last(), text.size() - 1);
    EXPECT_EQ(subs.subtitleCount, n);

    // Languages written as names become codes; codes stay as they are.
    const ProbeResult names = parseFfmpegListing(
        audioLine("1(English)", "mp3, 44100 Hz, stereo") + audioLine("2(Deutsch)", "ac3") +
        audioLine("3(français)", "aac") + audioLine("4(Francais)", "aac") +
        audioLine("5(JAPANESE)", "aac") + audioLine("6(Norwegian Bokmål)", "aac") +
        audioLine("7(Some Language)", "aac") + audioLine("8(deu)", "aac") +
        audioLine("9(pt-BR)", "aac") + "  Stream #0:10(Español): Subtitle: text\n");
    EXPECT_EQ(descriptorsOf(names.audioTracks),
              (QStringList{"#1: eng (mp3)", "#2: ger (ac3)", "#3: fre (aac)", "#4: fre (aac)",
                           "#5: jpn (aac)", "#6: nob (aac)", "#7: unk (aac)", "#8: deu (aac)",
                           "#9: pt-BR (aac)"}));
    EXPECT_EQ(names.textSubtitleLanguages, QStringList{"spa"});

    // 10-bit H.264 beyond "High 10": any pixel format of 9 to 16 bits.
    auto warningsOf = [](const QString& video) {
        return parseFfmpegListing("  Stream #0:0: Video: " + video + ", 160x120\n").warnings;
    };
    for (const char* deep :
         {"h264 (High 4:2:2), yuv422p10le(tv, progressive)",
          "h264 (High 4:4:4 Predictive), yuv444p10le(pc)",
          "h264 (High 4:4:4 Predictive), yuv444p12", "h264 (High 4:2:2 Intra), yuv422p9le",
          "h264 (High 4:4:4 Predictive), gbrp10le"})
        EXPECT_EQ(warningsOf(deep), QStringList{"10bitvideowarning"}) << deep;
    for (const char* plain : {"h264 (High 4:4:4 Predictive), yuv444p(progressive)",
                              "h264 (High), yuv420p(tv, bt709, progressive)"})
        EXPECT_TRUE(warningsOf(plain).isEmpty()) << plain;
    // Each stream's own length, where a Matroska muxer tagged it.
    const ProbeResult tagged =
        parseFfmpegListing("  Duration: 00:00:51.00, start: 0.000000, bitrate: 12 kb/s\n"
                           "  Stream #0:0: Video: h264 (High), yuv420p, 160x120\n"
                           "    Metadata:\n"
                           "      DURATION        : 00:00:02.000000000\n"
                           "  Stream #0:1(eng): Audio: aac (LC), 44100 Hz, mono\n"
                           "    Metadata:\n"
                           "      DURATION-eng    : 00:01:02.500000000\n"
                           "  Stream #0:2: Subtitle: subrip\n"
                           "    Metadata:\n"
                           "      DURATION        : not a time\n");
    EXPECT_EQ(tagged.streamSeconds, (QHash<int, double>{{0, 2.0}, {1, 62.5}}));
    EXPECT_EQ(tagged.runtimeSeconds, 51);

    const ProbeResult hevc =
        parseFfmpegListing("  Stream #0:0: Video: hevc (Main 10), yuv420p10le(tv), 160x120\n");
    EXPECT_EQ(hevc.warnings, QStringList{"wrongvideowarning"});
    EXPECT_EQ(hevc.videoCodec, "hevc");
}

TEST(ProbeListing, DurationLines)
{
    ProbeResult r = parseFfmpegListing("  Duration: 00:00:02.04, start: 0.000000, bitrate: 340 "
                                       "kb/s\n"
                                       "      DURATION        : 00:00:09.000000000\n");
    EXPECT_EQ(r.runtimeSeconds, 2);
    EXPECT_EQ(r.durationText, "00:00:02");
    EXPECT_EQ(r.bitrateText, "340 kb/s");

    // A later duration line replaces the earlier one; an unknown duration
    // leaves the run time absent.
    r = parseFfmpegListing("  Duration: 00:00:02.04, start: 0.0, bitrate: 340 kb/s\n"
                           "  Duration: N/A, bitrate: N/A\n");
    EXPECT_FALSE(r.runtimeSeconds.has_value());
    EXPECT_EQ(r.durationText, "N/A");
    EXPECT_EQ(r.bitrateText, "N/A");

    // Huge fields neither overflow nor wrap.
    r = parseFfmpegListing("Duration: 99999999999999999999:59:59.00, bitrate: 1 kb/s\n");
    EXPECT_EQ(r.runtimeSeconds, qint64(std::numeric_limits<int>::max()) * 3600 + 59 * 60 + 59);
}

TEST(ProbeListing, ResolutionAndReferenceFrameLimits)
{
    EXPECT_FALSE(isResolutionTooHigh(1920));
    EXPECT_TRUE(isResolutionTooHigh(1921));
    EXPECT_EQ(dimensionsOfResolution("1920x1080"), std::make_pair(1920, 1080));
    EXPECT_EQ(dimensionsOfResolution("x"), std::make_pair(0, 0));
    EXPECT_EQ(referenceFrameLimit(1920, 1080), 4);
    EXPECT_EQ(referenceFrameLimit(1280, 720), 9);
    EXPECT_FALSE(referenceFrameLimit(0, 720).has_value());
    EXPECT_FALSE(hasTooManyReferenceFrames(4, 1920, 1080));
    EXPECT_TRUE(hasTooManyReferenceFrames(5, 1920, 1080));
    EXPECT_FALSE(hasTooManyReferenceFrames(9, 1280, 720));
    EXPECT_TRUE(hasTooManyReferenceFrames(10, 1280, 720));
    EXPECT_FALSE(hasTooManyReferenceFrames(1000, 0, 0));
}

TEST(ProbeListing, ReferenceFramesFromBothMediainfoElements)
{
    EXPECT_EQ(referenceFramesFromMediainfoXml(
                  "<track><Format_Settings_RefFrames>12</Format_Settings_RefFrames></track>"),
              12);
    EXPECT_EQ(referenceFramesFromMediainfoXml("<Format_settings__ReFrames>5 frames"
                                              "</Format_settings__ReFrames>"),
              5);
    EXPECT_FALSE(referenceFramesFromMediainfoXml("<media ref=\"x.mkv\"></media>").has_value());
    // The name without its opening tag, or an unclosed element, is skipped.
    EXPECT_FALSE(referenceFramesFromMediainfoXml("Format_settings__ReFrames 4").has_value());
    EXPECT_FALSE(referenceFramesFromMediainfoXml("<Format_Settings_RefFrames>4").has_value());
}

TEST(ProbeListing, WarningTextKeepsPercentSignsOfTheName)
{
    EXPECT_EQ(warningMessage(kWrongVideoWarning, "100%d %@.mkv"),
              "The file '100%d %@.mkv' doesn't contain a H264/MPEG4 video track so the result "
              "may not be playable.");
}

// Arbitrary and mutated listings and XML must never crash, hang or read out
// of bounds (run under the sanitizers to make that visible).
TEST(ProbeListing, SurvivesArbitraryInput)
{
    QRandomGenerator random(20261207);
    const QString seeds[] = {QString::fromUtf8(kWorkedExample),
                             "<Format_settings__ReFrames>4 frames</Format_settings__ReFrames>"
                             "<Format_Settings_RefFrames>12</Format_Settings_RefFrames>",
                             "Stream #0:1[0x2](ger): Audio: ac3\nDuration: 1:2:3.4, bitrate: 5\n"};
    const QString alphabet = "Stream#0:1[]()x.,: \nDurationbitrate:AudioVideoSubtitle 5.1(side)"
                             "<>/Format_settings__ReFrames-9";
    for (int round = 0; round < 3000; ++round) {
        QString text;
        if (round % 2 == 0) {
            text = seeds[random.bounded(3)];
            const int edits = 1 + random.bounded(8);
            for (int e = 0; e < edits && !text.isEmpty(); ++e) {
                const int at = random.bounded(int(text.size()));
                switch (random.bounded(3)) {
                case 0:
                    text.remove(at, 1 + random.bounded(4));
                    break;
                case 1:
                    text.insert(at, alphabet.at(random.bounded(int(alphabet.size()))));
                    break;
                default:
                    text[at] = QChar(char16_t(random.bounded(0x10000)));
                }
            }
        } else {
            const int length = random.bounded(120);
            for (int i = 0; i < length; ++i)
                text.append(random.bounded(4) == 0
                                ? QChar(char16_t(random.bounded(0x10000)))
                                : alphabet.at(random.bounded(int(alphabet.size()))));
        }
        const ProbeResult r = parseFfmpegListing(text);
        EXPECT_EQ(r.audioTracks.size(), r.audioCount);
        EXPECT_LE(r.textSubtitleStreams.size(), r.subtitleCount);
        summaryLine(r);
        if (r.resolutionText) {
            const auto [w, h] = dimensionsOfResolution(*r.resolutionText);
            referenceFrameLimit(w, h);
        }
        referenceFramesFromMediainfoXml(text);
    }
}

TEST(ProbeListing, ListingsOfSeveralInputs)
{
    const QStringList listings =
        listingsByInput("ffmpeg version 5.1\n"
                        "Input #0, matroska,webm, from 'a.mkv':\n"
                        "  Stream #0:0: Video: h264, yuv420p, 160x120\n"
                        "Input #1, mov,mp4, from 'b.mp4':\n"
                        "  Stream #1:0[0x1](ger): Audio: aac (LC), 48000 Hz, stereo\n"
                        "c.mkv: Invalid data found when processing input\n");
    ASSERT_EQ(listings.size(), 2);
    EXPECT_EQ(parseFfmpegListing(listings.at(0)).videoStream, 0);
    EXPECT_EQ(descriptorsOf(parseFfmpegListing(listings.at(1)).audioTracks),
              QStringList{"#0: ger (aac)"});

    const QHash<QString, QString> xml = mediainfoXmlByFile(
        "<MediaInfo><media ref=\"/m/a &amp; b.mkv\"><track type=\"Video\">"
        "<Format_Settings_RefFrames>12</Format_Settings_RefFrames></track></media>"
        "<media ref=\"/m/c.mkv\"><track type=\"Video\"></track></media></MediaInfo>");
    ASSERT_EQ(xml.size(), 2);
    EXPECT_EQ(referenceFramesFromMediainfoXml(xml.value("/m/a & b.mkv")), 12);
    EXPECT_FALSE(referenceFramesFromMediainfoXml(xml.value("/m/c.mkv")).has_value());
}

TEST(ProbeListing, DolbyVisionProfileOfTheKeptVideo)
{
    const QString dovi5 = "    Side data:\n"
                          "      DOVI configuration record: version: 1.0, profile: 5, level: 1, "
                          "rpu flag: 1, el flag: 0, bl flag: 1, compatibility id: 0\n";
    // Matroska: the side data follows the video's metadata.
    ProbeResult r = parseFfmpegListing(
        "  Stream #0:0: Video: hevc (Main 10), yuv420p10le(tv), 3840x2160, 23.98 fps (default)\n"
        "    Metadata:\n"
        "      DURATION        : 00:00:01.000000000\n" +
        dovi5 + "  Stream #0:1(eng): Audio: eac3, 48000 Hz, 5.1(side), fltp, 640 kb/s\n");
    EXPECT_EQ(r.dolbyVisionProfile, 5);
    // MP4 adds the stream's id; the heading is not needed.
    r = parseFfmpegListing("  Stream #0:0[0x1](und): Video: hevc (Main 10) (hvc1 / 0x31637668), "
                           "yuv420p10le(tv), 1920x1080, 24 fps (default)\n"
                           "      DOVI configuration record: version: 1.0, profile: 8, level: 4, "
                           "rpu flag: 1, el flag: 0, bl flag: 1, compatibility id: 1\n");
    EXPECT_EQ(r.dolbyVisionProfile, 8);

    // Only the kept video's: not a cover image's, not an earlier video's;
    // and no number from a damaged line.
    const QString cover = "  Stream #0:2: Video: mjpeg, yuvj420p(pc), 600x600 (attached pic)\n";
    EXPECT_FALSE(
        parseFfmpegListing("  Stream #0:0: Video: hevc (Main 10), 640x360\n" + cover + dovi5)
            .dolbyVisionProfile.has_value());
    EXPECT_FALSE(parseFfmpegListing("  Stream #0:0: Video: hevc (Main 10), 640x360\n" + dovi5 +
                                    "  Stream #0:1: Video: h264 (High), 640x360\n")
                     .dolbyVisionProfile.has_value());
    EXPECT_EQ(parseFfmpegListing("  Stream #0:0: Video: hevc (Main 10), 640x360\n" + dovi5 + cover)
                  .dolbyVisionProfile,
              5);
    EXPECT_FALSE(parseFfmpegListing("  Stream #0:0: Video: hevc, 640x360\n"
                                    "      DOVI configuration record: version: 1.0, profile: \n")
                     .dolbyVisionProfile.has_value());
    EXPECT_FALSE(parseFfmpegListing(kWorkedExample).dolbyVisionProfile.has_value());
}
