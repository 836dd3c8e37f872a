// Fuzzes the picture-subtitle reading of subocr with mutated input: the
// bytes as a PGS .sup file through the demuxer, or as packets for the PGS,
// DVD and DVB decoders. Every decoded subtitle goes through the timeline and
// every picture through the preparation for OCR: nothing may crash, hang, or
// come out beyond the limits.
//
// The seed byte: its low two bits choose the reading (0 .sup, 1 PGS
// segments, 2 DVD packets cut into chunks, 3 DVB display sets); bit 2 hands
// the payload to the decoder as one packet instead.

#include "fuzz/FuzzInput.h"
#include "subocr/EventTimeline.h"
#include "subocr/PicturePreparation.h"
#include "subocr/SubpictureDecoder.h"
#include "subocr/SubtitleInput.h"

#include <cstring>
#include <string>
#include <vector>

namespace fuzz_subpicture {

namespace {

using namespace subocr;

constexpr std::size_t kMaxPackets = 4000;

void checkPictures(const std::vector<Bitmap>& rects)
{
    fuzzCheck(rects.size() <= kMaxRectsPerSubtitle, "rect count within the limit");
    for (const Bitmap& rect : rects) {
        fuzzCheck(rect.width > 0 && rect.height > 0 && rect.width <= kMaxBitmapSide &&
                      rect.height <= kMaxBitmapSide,
                  "bitmap size within the limits");
        fuzzCheck(rect.pixels.size() == std::size_t(rect.width) * std::size_t(rect.height),
                  "one index per pixel");
    }
}

void prepare(const std::vector<SubtitleEvent>& events)
{
    for (const SubtitleEvent& event : events) {
        fuzzCheck(event.end > event.start, "an event ends after it starts");
        fuzzCheck(event.position >= 0 && event.position <= 1, "position within 0..1");
        checkPictures(event.rects);
        for (const Bitmap& rect : event.rects) {
            const GreyImage image = prepareForOcr(rect);
            if (image.empty())
                continue;
            fuzzCheck(image.pixels.size() == std::size_t(image.width) * std::size_t(image.height),
                      "prepared pixels match the size");
            const std::int64_t inner =
                std::int64_t(image.width - 2 * kMargin) * std::int64_t(image.height - 2 * kMargin);
            fuzzCheck(inner > 0 && inner <= kMaxPreparedArea + std::int64_t(image.width) +
                                                std::int64_t(image.height),
                      "prepared picture within the limit");
        }
    }
}

void decodeInto(SubpictureDecoder& decoder, const AVPacket& packet, EventTimeline& timeline)
{
    DecodedSubtitle subtitle;
    if (decoder.decode(packet, subtitle) != SubpictureDecoder::Result::Subtitle)
        return;
    checkPictures(subtitle.rects);
    prepare(timeline.push(std::move(subtitle)));
}

void readAsSup(std::vector<std::uint8_t> bytes)
{
    SubtitleInput input;
    if (!input.openBytes(std::move(bytes), "sup") || !input.selectStream(-1))
        return;
    SubpictureDecoder decoder(*input.stream()->codecpar, input.stream()->time_base);
    const PacketPtr packet(av_packet_alloc());
    if (!decoder.isOpen() || !packet)
        return;
    EventTimeline timeline;
    for (std::size_t n = 0; n < kMaxPackets; ++n) {
        const SubtitleInput::Read read = input.read(*packet);
        if (read == SubtitleInput::Read::End)
            break;
        if (read == SubtitleInput::Read::Damaged)
            continue;
        const double position = input.position(*packet);
        fuzzCheck(position >= 0 && position <= 1, "read position within 0..1");
        decodeInto(decoder, *packet, timeline);
    }
    prepare(timeline.finish());
}

// PGS packets as a container holds them: whole segments (type, 16-bit
// length, payload), the rest as one packet.
QList<QByteArray> pgsSegments(const QByteArray& bytes)
{
    QList<QByteArray> segments;
    qsizetype at = 0;
    while (at + 3 <= bytes.size()) {
        const qsizetype length =
            3 + ((qsizetype(std::uint8_t(bytes[at + 1])) << 8) | std::uint8_t(bytes[at + 2]));
        segments.append(bytes.mid(at, length));
        at += length;
    }
    if (at < bytes.size())
        segments.append(bytes.mid(at));
    return segments;
}

// DVB packets as a container holds them: a display set each (an optional
// 0x20 0x00, segments of 0x0F, type, page, 16-bit length and payload up to
// the end-of-display-set segment, an optional 0xFF); the rest as one packet.
QList<QByteArray> dvbDisplaySets(const QByteArray& bytes)
{
    constexpr char kEndOfDisplaySet = char(0x80);
    QList<QByteArray> sets;
    qsizetype start = 0;
    qsizetype at = 0;
    while (at < bytes.size()) {
        if (at == start && at + 2 <= bytes.size() && bytes[at] == 0x20 && bytes[at + 1] == 0x00)
            at += 2;
        if (at + 6 > bytes.size() || bytes[at] != 0x0F)
            break;
        const char type = bytes[at + 1];
        at += 6 + ((qsizetype(std::uint8_t(bytes[at + 4])) << 8) | std::uint8_t(bytes[at + 5]));
        if (type != kEndOfDisplaySet || at > bytes.size())
            continue;
        if (at < bytes.size() && std::uint8_t(bytes[at]) == 0xFF)
            ++at;
        sets.append(bytes.mid(start, at - start));
        start = at;
    }
    if (start < bytes.size())
        sets.append(bytes.mid(start));
    return sets;
}

void decodePackets(AVCodecID codec, const std::string& extradata, const QList<QByteArray>& chunks)
{
    SubpictureDecoder decoder(codec, std::vector<std::uint8_t>(extradata.begin(), extradata.end()),
                              AVRational{1, 90000});
    const PacketPtr packet(av_packet_alloc());
    if (!decoder.isOpen() || !packet)
        return;
    EventTimeline timeline;
    std::int64_t pts = 0;
    for (qsizetype i = 0; i < chunks.size() && std::size_t(i) < kMaxPackets; ++i) {
        av_packet_unref(packet.get());
        if (av_new_packet(packet.get(), int(chunks[i].size())) < 0)
            return;
        if (!chunks[i].isEmpty())
            std::memcpy(packet->data, chunks[i].constData(), std::size_t(chunks[i].size()));
        packet->pts = pts;
        pts += 45000 * (i % 3); // some packets share a time
        decodeInto(decoder, *packet, timeline);
    }
    prepare(timeline.finish());
}

// A VobSub index's palette and size, as the decoder finds them in the
// stream's extradata.
const std::string kDvdExtradata =
    "size: 720x576\npalette: 000000, ffffff, 000000, 808080, ff0000, 00ff00, 0000ff, ffff00, "
    "ff00ff, 00ffff, 404040, c0c0c0, 800000, 008000, 000080, 808000\n";

} // namespace

int fuzzOne(const std::uint8_t* data, std::size_t size)
{
    // Damage is the point here; libav's words on it are noise.
    av_log_set_level(AV_LOG_QUIET);
    FuzzInput input(data, size);
    const QByteArray& payload = input.payload();
    const bool onePacket = (input.seed() & 4) != 0;
    const QList<QByteArray> chunks = onePacket ? QList<QByteArray>{payload} : input.chunks(4096);
    switch (input.seed() & 3) {
    case 0:
        readAsSup(std::vector<std::uint8_t>(payload.begin(), payload.end()));
        break;
    case 1:
        decodePackets(AV_CODEC_ID_HDMV_PGS_SUBTITLE, {}, onePacket ? chunks : pgsSegments(payload));
        break;
    case 2:
        decodePackets(AV_CODEC_ID_DVD_SUBTITLE, kDvdExtradata, chunks);
        break;
    default:
        decodePackets(AV_CODEC_ID_DVB_SUBTITLE, {}, onePacket ? chunks : dvbDisplaySets(payload));
        break;
    }
    return 0;
}

} // namespace fuzz_subpicture

#ifdef VANTREO_LIBFUZZER
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return fuzz_subpicture::fuzzOne(data, size);
}
#endif
