#include "inspection/ProbeListing.h"

#include "foundation/MakeString.h"
#include "foundation/StringHelpers.h"
#include "inspection/Languages.h"
#include "inspection/VideoCodecs.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <cmath>
#include <limits>

namespace {

struct ProbeListing
{
    Q_DECLARE_TR_FUNCTIONS(ProbeListing)
};

// Subtitle codec names that ffmpeg uses for text formats. ffmpeg 5.1 prints
// both SSA and ASS as "ass".
const QStringList& textSubtitleNames()
{
    static const QStringList names{"ssa", "subrip", "srt", "sami", "subviewer", "microdvd", "ass"};
    return names;
}

// Field `index` of the text split at the separator, empty when there are
// fewer fields.
QString field(const QString& text, const QString& separator, qsizetype index)
{
    const QStringList fields = split(text, separator);
    return index < fields.size() ? fields.at(index) : QString();
}

// Every other subtitle codec ffmpeg 5.1 decodes as text, and so can write as
// mov_text: an MP4's own subtitles, WebVTT, an OGM's plain text and the
// rarer formats. Compared with the codec word as a whole, since short names
// such as "text" or "stl" also stand inside image codec names.
const QStringList& furtherTextSubtitleCodecs()
{
    static const QStringList codecs{"mov_text", "webvtt",   "text", "jacosub",    "mpl2",
                                    "pjs",      "realtext", "stl",  "subviewer1", "vplayer"};
    return codecs;
}

// The first word after `label` ("Video: ", "Subtitle: "), up to a comma.
QString codecWordAfter(const QString& line, const QString& label)
{
    return field(field(field(line, label, 1), QStringLiteral(","), 0), QStringLiteral(" "), 0);
}

// A pixel format with 9 to 16 bits per component, as ffmpeg names those the
// H.264 decoder puts out: yuv420p10le, yuv422p10le, yuv444p12le, gbrp10le,
// gray10le, each possibly followed by "(tv, bt709, …)".
bool hasHighBitDepthPixelFormat(const QString& line)
{
    static const QRegularExpression format(
        QStringLiteral("^(?:yuv[aj]?\\d{3}p|gbra?p|gray|ya)(9|1[0-6])(?:le|be)?(?:\\(|$)"));
    for (const QString& part :
         split(field(line, QStringLiteral("Video: "), 1), QStringLiteral(",")))
        if (format.match(trimmed(part)).hasMatch())
            return true;
    return false;
}

// A 7.1 channel layout ("7.1", "7.1(wide)", "7.1(wide-side)", …), as
// Blu-ray TrueHD and LPCM tracks carry: surround wherever 5.1 is.
bool hasSevenOneLayout(const QString& line)
{
    static const QRegularExpression layout(QStringLiteral(", 7\\.1(?:\\([a-z-]+\\))?(?:,|$)"));
    return layout.match(field(line, QStringLiteral("Audio: "), 1)).hasMatch();
}

// The channels of a layout ffmpeg names: "mono", "stereo", "5.1(side)",
// "7.1", "4 channels"; 0 when unknown.
int channelsOfLayout(const QString& layout)
{
    static const QHash<QString, int> named{{"mono", 1}, {"stereo", 2}, {"2.1", 3},    {"3.0", 3},
                                           {"quad", 4}, {"4.0", 4},    {"5.0", 5},    {"5.1", 6},
                                           {"6.1", 7},  {"7.1", 8},    {"downmix", 2}};
    const QString base = layout.section(u'(', 0, 0);
    if (named.contains(base))
        return named.value(base);
    if (layout.endsWith(QLatin1String(" channels")))
        return layout.section(u' ', 0, 0).toInt();
    return 0;
}

template <typename Pred> QString stripEnds(const QString& text, Pred strip)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && strip(text.at(begin)))
        ++begin;
    while (end > begin && strip(text.at(end - 1)))
        --end;
    return text.mid(begin, end - begin);
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// ffmpeg 5.1 writes the container's stream identifier in brackets right
// after the stream number for MP4, MOV and TS inputs ("1[0x2](ger)"); the
// identifier is neither language nor number, so it is dropped.
QString withoutStreamIdentifier(const QString& address)
{
    qsizetype i = 0;
    while (i < address.size() && isDigit(address.at(i)))
        ++i;
    if (i == 0 || i >= address.size() || address.at(i) != u'[')
        return address;
    const qsizetype close = address.indexOf(u']', i);
    if (close < 0)
        return address;
    return address.left(i) + address.mid(close + 1);
}

// The language word of a stream and whether its tag was a language name.
std::pair<QString, bool> languageOf(const QString& address)
{
    const QString tag =
        stripEnds(address, [](QChar c) { return isDigit(c) || c == u'(' || c == u')'; });
    if (tag.isEmpty())
        return {QStringLiteral("unk"), false};
    // Some muxers tag a language by name ("English"); the rest of the
    // program compares codes.
    const QString code = languageCodeForTag(tag);
    return {code, code != tag && code != QLatin1String("unk")};
}

int streamNumberOf(const QString& address)
{
    return leadingInt(stripEnds(address, [](QChar c) { return !isDigit(c); }));
}

void readVideoLine(const QString& line, int number, ProbeResult& result)
{
    // Cover art is listed as a video stream but is no video track.
    if (contains(line, QStringLiteral("(attached pic)"))) {
        result.attachedPictures.append(
            {number, codecWordAfter(line, QStringLiteral("Video: ")), {}});
        return;
    }
    for (const QString& word : split(line, QStringLiteral(" "))) {
        if (contains(word, QStringLiteral("x")))
            result.resolutionText =
                stripEnds(word, [](QChar c) { return !isDigit(c) && c != u'x'; });
    }
    result.videoStream = number;
    result.videoCodec = codecWordAfter(line, QStringLiteral("Video: "));
    const bool highBitDepth =
        contains(line, QStringLiteral("High 10")) ||
        (contains(line, QStringLiteral("h264")) && hasHighBitDepthPixelFormat(line));
    // A note that says where the video plays stands for the general
    // warning about video that is neither H.264 nor MPEG-4.
    result.playbackNote = playbackNoteFor(result.videoCodec, line, highBitDepth);
    if (result.playbackNote.isEmpty() && !contains(line, QStringLiteral("h264")) &&
        !contains(line, QStringLiteral("mpeg4")))
        result.warnings.append(kWrongVideoWarning);
    if (highBitDepth)
        result.warnings.append(k10BitVideoWarning);
    // Side data listed for an earlier video stream is not this one's.
    result.dolbyVisionProfile.reset();
}

void readAudioLine(const QString& line, int number, const QString& language, ProbeResult& result)
{
    const QString afterAudio = field(line, QStringLiteral("Audio: "), 1);
    const QString codec = field(field(afterAudio, QStringLiteral(","), 0), QStringLiteral(" "), 0);
    AudioTrack track;
    track.streamIndex = number;
    track.language = language;
    track.codec = codec;
    if (contains(line, QStringLiteral("5.1(side)")) || contains(line, QStringLiteral("6.1,")))
        track.surround = AudioTrack::Surround::FivePointOne;
    else if (hasSevenOneLayout(line))
        track.surround = AudioTrack::Surround::SevenPointOne;
    // "ac3, 48000 Hz, 5.1(side), fltp, 448 kb/s": the layout is the third.
    track.layout = field(afterAudio, QStringLiteral(", "), 2).trimmed();
    track.channels = channelsOfLayout(track.layout);
    result.audioTracks.append(track);
    ++result.audioCount;
}

// The subtitle codecs whose events are pictures, which ffmpeg's libraries
// decode to bitmaps that our reader turns into text.
const QStringList& pictureSubtitleCodecs()
{
    static const QStringList codecs{"hdmv_pgs_subtitle", "dvd_subtitle", "dvb_subtitle", "xsub"};
    return codecs;
}

void readSubtitleLine(const QString& line, int number, const QString& language, ProbeResult& result)
{
    ++result.subtitleCount;
    const QString codec = codecWordAfter(line, QStringLiteral("Subtitle: "));
    if (containsAny(line, textSubtitleNames()) || furtherTextSubtitleCodecs().contains(codec)) {
        result.textSubtitleStreams.append(number);
        result.textSubtitleLanguages.append(language);
    } else if (pictureSubtitleCodecs().contains(codec)) {
        result.pictureSubtitleStreams.append(number);
        result.pictureSubtitleLanguages.append(language);
    }
    if (contains(line, QStringLiteral("(forced)")))
        result.forcedSubtitleStreams.append(number);
}

void readStreamLine(const QString& line, ProbeResult& result)
{
    const QString address = withoutStreamIdentifier(field(line, QStringLiteral(":"), 1));
    const auto [language, byName] = languageOf(address);
    const int number = streamNumberOf(address);
    if (byName)
        result.nameTaggedStreams.append(number);
    if (contains(line, QStringLiteral("Video: ")))
        readVideoLine(line, number, result);
    else if (contains(line, QStringLiteral("Audio: ")))
        readAudioLine(line, number, language, result);
    else if (contains(line, QStringLiteral("Subtitle: ")))
        readSubtitleLine(line, number, language, result);
}

// "Duration: 01:02:03.45, start: 0.000000, bitrate: 5234 kb/s". A line
// without a usable time ("Duration: N/A") leaves the run time absent.
void readDurationLine(const QString& line, ProbeResult& result)
{
    const QString time =
        field(field(line, QStringLiteral("Duration: "), 1), QStringLiteral("."), 0);
    const QStringList parts = split(time, QStringLiteral(":"));
    if (parts.size() >= 3) {
        result.durationText = time;
        result.runtimeSeconds = qint64(leadingInt(parts.at(0))) * 3600 +
                                qint64(leadingInt(parts.at(1))) * 60 + leadingInt(parts.at(2));
    } else {
        result.durationText = field(time, QStringLiteral(","), 0);
        result.runtimeSeconds.reset();
    }
    const QStringList bitrate = split(line, QStringLiteral("bitrate: "));
    if (bitrate.size() >= 2)
        result.bitrateText = bitrate.at(1);
    else
        result.bitrateText.reset();
}

// "DURATION        : 00:01:02.500000000" (or "DURATION-eng : …"), the
// length Matroska muxers tag each track with.
std::optional<double> taggedSeconds(const QString& line)
{
    const qsizetype colon = line.indexOf(u':');
    if (colon < 0)
        return std::nullopt;
    const QString key = trimmed(line.left(colon));
    if (key != QLatin1String("DURATION") && !key.startsWith(QLatin1String("DURATION-")))
        return std::nullopt;
    const QStringList parts = split(trimmed(line.mid(colon + 1)), QStringLiteral(":"));
    if (parts.size() != 3)
        return std::nullopt;
    bool okH = false, okM = false, okS = false;
    const double seconds = parts.at(0).toDouble(&okH) * 3600 + parts.at(1).toDouble(&okM) * 60 +
                           parts.at(2).toDouble(&okS);
    if (!okH || !okM || !okS || !(seconds >= 0) || seconds > 1e9)
        return std::nullopt;
    return seconds;
}

// "DOVI configuration record: version: 1.0, profile: 8, level: 6, rpu flag:
// 1, el flag: 0, bl flag: 1, compatibility id: 1", a side data line of a
// Dolby Vision stream.
std::optional<int> dolbyVisionProfileOf(const QString& stripped)
{
    static const QString label = QStringLiteral("profile: ");
    const qsizetype at = stripped.indexOf(label);
    if (at < 0 || at + label.size() >= stripped.size() || !isDigit(stripped.at(at + label.size())))
        return std::nullopt;
    const int profile = leadingInt(stripped.mid(at + label.size()));
    // The record holds the profile in seven bits.
    if (profile > 127)
        return std::nullopt;
    return profile;
}

// "TITLE           : The Long Night", a line of a metadata block; absent
// for any other line.
std::optional<std::pair<QString, QString>> tagOf(const QString& stripped)
{
    const qsizetype colon = stripped.indexOf(QLatin1String(" : "));
    const qsizetype tight = stripped.indexOf(u':');
    if (colon <= 0 || tight < colon || stripped.endsWith(u':'))
        return std::nullopt;
    const QString key = stripped.left(colon).trimmed();
    if (key.isEmpty() || key.contains(u' '))
        return std::nullopt;
    return std::pair<QString, QString>{key, stripped.mid(colon + 3).trimmed()};
}

// "Input #0, matroska,webm, from 'Film.mkv':" names the input's formats.
QStringList containerFormatsOf(const QString& inputLine)
{
    const qsizetype start = inputLine.indexOf(QLatin1String(", "));
    const qsizetype end = inputLine.indexOf(QLatin1String(", from "));
    if (start < 0 || end <= start)
        return {};
    return inputLine.mid(start + 2, end - start - 2).split(u',', Qt::SkipEmptyParts);
}

QString orNull(const std::optional<QString>& value)
{
    return value ? *value : QStringLiteral("(null)");
}

} // namespace

ProbeResult parseFfmpegListing(const QString& text)
{
    ProbeResult result;
    // The stream whose metadata lines follow, -1 for none.
    int stream = -1;
    // Between the input line and its duration: the movie's own tags.
    bool movieMetadata = false;
    for (const QString& line : lines(text)) {
        const QString stripped = trimmed(line);
        if (stripped.startsWith(QStringLiteral("Stream"))) {
            readStreamLine(line, result);
            stream = streamNumberOf(withoutStreamIdentifier(field(line, QStringLiteral(":"), 1)));
            movieMetadata = false;
        } else if (stripped.startsWith(QStringLiteral("Input #"))) {
            result.containerFormats = containerFormatsOf(stripped);
            stream = -1;
            movieMetadata = true;
        } else if (stripped.startsWith(QStringLiteral("Chapter")) ||
                   stripped.startsWith(QStringLiteral("Output #")) ||
                   stripped.startsWith(QStringLiteral("Duration"))) {
            stream = -1;
            movieMetadata = false;
        } else if (const auto tag = tagOf(stripped); tag && (movieMetadata || stream >= 0)) {
            if (movieMetadata)
                result.movieTags.insert(tag->first, tag->second);
            else if (tag->first == QLatin1String("filename") &&
                     !result.attachedPictures.isEmpty() &&
                     result.attachedPictures.last().stream == stream)
                result.attachedPictures.last().fileName = tag->second;
        }
        if (stream >= 0 && stripped.startsWith(QStringLiteral("DURATION"))) {
            if (const auto seconds = taggedSeconds(stripped))
                result.streamSeconds.insert(stream, *seconds);
        } else if (stream >= 0 && result.videoStream == stream &&
                   stripped.startsWith(QStringLiteral("DOVI configuration record:"))) {
            result.dolbyVisionProfile = dolbyVisionProfileOf(stripped);
        }
        if (stripped.startsWith(QStringLiteral("Duration")))
            readDurationLine(line, result);
    }
    return result;
}

QStringList listingsByInput(const QString& text)
{
    QStringList listings;
    int expected = 0;
    for (const QString& line : lines(text)) {
        // "Input #3, matroska,webm, from '…':" opens the next listing; any
        // other number is no input line (or not the one expected).
        if (line.startsWith(QStringLiteral("Input #")) &&
            line.startsWith(QStringLiteral("Input #%1,").arg(expected))) {
            listings.append(QString());
            ++expected;
        }
        if (!listings.isEmpty())
            listings.last() += line + u'\n';
    }
    return listings;
}

QHash<QString, QString> mediainfoXmlByFile(const QString& xml)
{
    static const QString open = QStringLiteral("<media ref=\"");
    static const QString close = QStringLiteral("</media>");
    QHash<QString, QString> byFile;
    qsizetype at = xml.indexOf(open);
    while (at >= 0) {
        const qsizetype refEnd = xml.indexOf(u'"', at + open.size());
        if (refEnd < 0)
            break;
        const qsizetype end = xml.indexOf(close, refEnd);
        const qsizetype stop = end < 0 ? xml.size() : end + close.size();
        QString ref = xml.mid(at + open.size(), refEnd - at - open.size());
        ref.replace(QStringLiteral("&lt;"), QStringLiteral("<"))
            .replace(QStringLiteral("&gt;"), QStringLiteral(">"))
            .replace(QStringLiteral("&quot;"), QStringLiteral("\""))
            .replace(QStringLiteral("&apos;"), QStringLiteral("'"))
            .replace(QStringLiteral("&amp;"), QStringLiteral("&"));
        byFile.insert(ref, xml.mid(at, stop - at));
        at = xml.indexOf(open, stop);
    }
    return byFile;
}

QString summaryLine(const ProbeResult& result)
{
    return QStringLiteral("Duration: ") + orNull(result.durationText) +
           QStringLiteral("  Bitrate: ") + orNull(result.bitrateText) +
           QStringLiteral("  Resolution: ") + orNull(result.resolutionText) +
           QStringLiteral("  Audiotracks: ") + QString::number(result.audioCount) +
           QStringLiteral(" (") + QString::number(result.subtitleCount) + QStringLiteral(")");
}

int leadingInt(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && text.at(i).isSpace())
        ++i;
    bool negative = false;
    if (i < text.size() && (text.at(i) == u'-' || text.at(i) == u'+')) {
        negative = text.at(i) == u'-';
        ++i;
    }
    // Accumulate in 64 bits and stop growing past the int range.
    constexpr qint64 limit = qint64(std::numeric_limits<int>::max()) + 1;
    qint64 value = 0;
    for (; i < text.size() && isDigit(text.at(i)); ++i) {
        if (value < limit)
            value = value * 10 + (text.at(i).unicode() - u'0');
    }
    if (negative)
        value = -value;
    if (value > std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    if (value < std::numeric_limits<int>::min())
        return std::numeric_limits<int>::min();
    return int(value);
}

std::pair<int, int> dimensionsOfResolution(const QString& resolution)
{
    const QStringList parts = split(resolution, QStringLiteral("x"));
    const int width = parts.isEmpty() ? 0 : leadingInt(parts.at(0));
    const int height = parts.size() < 2 ? 0 : leadingInt(parts.at(1));
    return {width, height};
}

bool isResolutionTooHigh(int width)
{
    return double(width) > 1920.0;
}

std::optional<int> referenceFramesFromMediainfoXml(const QString& xml)
{
    // mediainfo 23.04 writes Format_Settings_RefFrames; older versions wrote
    // Format_settings__ReFrames with the count followed by a description.
    static const QStringList elements{QStringLiteral("Format_settings__ReFrames"),
                                      QStringLiteral("Format_Settings_RefFrames")};
    for (const QString& element : elements) {
        const QString open = QStringLiteral("<") + element + QStringLiteral(">");
        const QString close = QStringLiteral("</") + element + QStringLiteral(">");
        const qsizetype start = xml.indexOf(open);
        if (start < 0)
            continue;
        const qsizetype valueStart = start + open.size();
        const qsizetype end = xml.indexOf(close, valueStart);
        if (end < 0)
            continue;
        const QString value = xml.mid(valueStart, end - valueStart);
        return leadingInt(field(value, QStringLiteral(" "), 0));
    }
    return std::nullopt;
}

std::optional<qint64> referenceFrameLimit(int width, int height)
{
    const double area = double(width) * double(height);
    if (area == 0.0)
        return std::nullopt;
    return qint64(std::floor(8388608.0 / area));
}

bool hasTooManyReferenceFrames(int referenceFrames, int width, int height)
{
    const std::optional<qint64> limit = referenceFrameLimit(width, height);
    return limit && referenceFrames > *limit;
}
