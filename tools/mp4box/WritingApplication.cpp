#include "mp4box/BoxReading.h"
#include "mp4box/Mp4Boxes.h"

namespace mp4 {

using namespace detail;

namespace {

constexpr std::uint32_t kUdta = fourCC("udta");
constexpr std::uint32_t kMeta = fourCC("meta");
constexpr std::uint32_t kIlst = fourCC("ilst");
constexpr std::uint32_t kData = fourCC("data");
constexpr std::uint32_t kTool = 0xA9746F6Fu; // "\xA9too"
// A writing application tag is a line of text; anything longer is not ours.
constexpr std::uint64_t kMaxText = 4096;

// The first child of [begin, end) of the given type.
std::optional<BoxHeader> childOfType(const ReadAt& read, std::uint64_t begin, std::uint64_t end,
                                     std::uint32_t type)
{
    std::optional<BoxHeader> found;
    forEachChild(read, begin, end, [&](const BoxHeader& child) {
        if (child.type == type)
            found = child;
        return !found;
    });
    return found;
}

} // namespace

std::optional<std::string> readWritingApplication(const ReadAt& read, std::uint64_t totalSize)
{
    const auto moov = childOfType(read, 0, totalSize, kMoov);
    if (!moov)
        return std::nullopt;
    const auto udta = childOfType(read, moov->payloadOffset(), moov->end(), kUdta);
    if (!udta)
        return std::nullopt;
    const auto meta = childOfType(read, udta->payloadOffset(), udta->end(), kMeta);
    // meta is a full box: its children follow the version and flags.
    if (!meta || meta->size < meta->headerSize + 4)
        return std::nullopt;
    const auto ilst = childOfType(read, meta->payloadOffset() + 4, meta->end(), kIlst);
    if (!ilst)
        return std::nullopt;
    const auto tool = childOfType(read, ilst->payloadOffset(), ilst->end(), kTool);
    if (!tool)
        return std::nullopt;
    const auto data = childOfType(read, tool->payloadOffset(), tool->end(), kData);
    // data: a type word (1: UTF-8) and a locale word, then the text.
    if (!data || data->size < data->headerSize + 8)
        return std::nullopt;
    const std::uint64_t length = data->size - data->headerSize - 8;
    if (length > kMaxText)
        return std::nullopt;
    std::string text(std::size_t(length), '\0');
    if (length > 0 &&
        !readExactly(read, data->payloadOffset() + 8, reinterpret_cast<std::uint8_t*>(text.data()),
                     std::size_t(length)))
        return std::nullopt;
    return text;
}

} // namespace mp4
