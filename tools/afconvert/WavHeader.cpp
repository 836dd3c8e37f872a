#include "afconvert/WavHeader.h"

#include <bit>
#include <cstring>

namespace afconvert {

namespace {

constexpr std::uint16_t kFormatPcm = 1;
constexpr std::uint16_t kFormatFloat = 3;
constexpr std::uint16_t kFormatExtensible = 0xFFFE;
// A 32-bit size field that says "not known here" (a pipe, or RF64's ds64).
constexpr std::uint32_t kUnknownSize = 0xFFFFFFFF;
constexpr int kMaxChannels = 8;

std::uint16_t le16(const unsigned char* p)
{
    return std::uint16_t(p[0] | (p[1] << 8));
}

std::uint32_t le32(const unsigned char* p)
{
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}

std::uint64_t le64(const unsigned char* p)
{
    return std::uint64_t(le32(p)) | (std::uint64_t(le32(p + 4)) << 32);
}

bool isTag(const unsigned char* p, const char* tag)
{
    return std::memcmp(p, tag, 4) == 0;
}

WavHeaderParse refuse(const std::string& why)
{
    WavHeaderParse parse;
    parse.status = WavHeaderParse::Status::Invalid;
    parse.error = why;
    return parse;
}

std::optional<SampleCoding> codingFor(std::uint16_t tag, int bits)
{
    if (tag == kFormatPcm) {
        switch (bits) {
        case 8:
            return SampleCoding::U8;
        case 16:
            return SampleCoding::S16;
        case 24:
            return SampleCoding::S24;
        case 32:
            return SampleCoding::S32;
        default:
            return std::nullopt;
        }
    }
    if (tag == kFormatFloat && bits == 32)
        return SampleCoding::F32;
    if (tag == kFormatFloat && bits == 64)
        return SampleCoding::F64;
    return std::nullopt;
}

// The "fmt " chunk's body; the error is empty when it was understood.
std::string readFormat(const unsigned char* body, std::uint32_t size, WavFormat& format)
{
    if (size < 16)
        return "the format chunk is too short";
    std::uint16_t tag = le16(body);
    const int channels = le16(body + 2);
    const std::uint32_t rate = le32(body + 4);
    const int blockAlign = le16(body + 12);
    const int bits = le16(body + 14);
    std::uint64_t mask = 0;
    if (tag == kFormatExtensible) {
        if (size < 40)
            return "the extensible format chunk is too short";
        mask = le32(body + 20);
        // The sub-format GUID starts with the plain format tag.
        tag = le16(body + 24);
    }
    const std::optional<SampleCoding> coding = codingFor(tag, bits);
    if (!coding)
        return "samples of format " + std::to_string(tag) + " with " + std::to_string(bits) +
               " bits are not PCM or float";
    if (channels < 1 || channels > kMaxChannels)
        return std::to_string(channels) + " channels";
    if (rate == 0 || rate > 384000)
        return "a sample rate of " + std::to_string(rate);
    if (blockAlign != channels * (bits / 8))
        return "a block of " + std::to_string(blockAlign) + " bytes for " +
               std::to_string(channels) + " channels of " + std::to_string(bits) + " bits";
    format.coding = *coding;
    format.channels = channels;
    format.sampleRate = int(rate);
    format.blockAlign = blockAlign;
    // A mask that names another number of speakers than there are channels
    // is no layout.
    format.channelMask = std::popcount(mask) == channels ? mask : 0;
    return {};
}

} // namespace

WavHeaderParse parseWavHeader(const unsigned char* bytes, std::size_t size)
{
    WavHeaderParse parse;
    if (size < 12)
        return parse;
    const bool rf64 = isTag(bytes, "RF64") || isTag(bytes, "BW64");
    if (!(isTag(bytes, "RIFF") || rf64) || !isTag(bytes + 8, "WAVE"))
        return refuse("not a WAV stream (no RIFF/WAVE header)");
    bool haveFormat = false;
    std::optional<std::uint64_t> ds64DataBytes;
    std::size_t at = 12;
    for (;;) {
        if (at > kMaxWavHeaderBytes)
            return refuse("no samples within the first " + std::to_string(kMaxWavHeaderBytes) +
                          " bytes");
        if (size < at + 8)
            return parse;
        const unsigned char* chunk = bytes + at;
        const std::uint32_t chunkSize = le32(chunk + 4);
        if (isTag(chunk, "data")) {
            if (!haveFormat)
                return refuse("the samples come before their format");
            parse.status = WavHeaderParse::Status::Complete;
            parse.header.dataOffset = at + 8;
            if (chunkSize == kUnknownSize && ds64DataBytes && *ds64DataBytes != 0)
                parse.header.dataBytes = ds64DataBytes;
            else if (chunkSize != kUnknownSize && chunkSize != 0)
                parse.header.dataBytes = chunkSize;
            return parse;
        }
        // Any other chunk is read whole before the next one.
        if (chunkSize > kMaxWavHeaderBytes)
            return refuse("a chunk of " + std::to_string(chunkSize) + " bytes before the samples");
        if (size < at + 8 + chunkSize)
            return parse;
        if (isTag(chunk, "fmt ")) {
            const std::string error = readFormat(chunk + 8, chunkSize, parse.header.format);
            if (!error.empty())
                return refuse("unsupported WAV format: " + error);
            haveFormat = true;
        } else if (rf64 && isTag(chunk, "ds64") && chunkSize >= 16) {
            ds64DataBytes = le64(chunk + 16);
        }
        // Chunks keep an even size: an odd one is followed by a pad byte.
        at += 8 + std::size_t(chunkSize) + (chunkSize & 1u);
    }
}

void toPlanarFloat(const WavFormat& format, const unsigned char* interleaved, std::size_t frames,
                   float* const* planes, std::size_t offset)
{
    const int channels = format.channels;
    const std::size_t width = std::size_t(format.blockAlign / channels);
    for (std::size_t i = 0; i < frames; ++i) {
        for (int c = 0; c < channels; ++c) {
            const unsigned char* p =
                interleaved + i * std::size_t(format.blockAlign) + std::size_t(c) * width;
            float value = 0;
            switch (format.coding) {
            case SampleCoding::U8:
                value = float(int(p[0]) - 0x80) * (1.0f / (1 << 7));
                break;
            case SampleCoding::S16:
                value = float(std::int16_t(le16(p))) * (1.0f / (1 << 15));
                break;
            case SampleCoding::S24:
                // Decoded into the top of 32 bits, as the 24-bit PCM decoder does.
                value =
                    float(std::int32_t((std::uint32_t(p[0]) << 8) | (std::uint32_t(p[1]) << 16) |
                                       (std::uint32_t(p[2]) << 24))) *
                    (1.0f / float(1u << 31));
                break;
            case SampleCoding::S32:
                value = float(std::int32_t(le32(p))) * (1.0f / float(1u << 31));
                break;
            case SampleCoding::F32:
                value = std::bit_cast<float>(le32(p));
                break;
            case SampleCoding::F64:
                value = float(std::bit_cast<double>(le64(p)));
                break;
            }
            planes[c][offset + i] = value;
        }
    }
}

} // namespace afconvert
