#include "subocr/SrtWriter.h"

#include <algorithm>
#include <cstdio>

namespace subocr {

namespace {

std::int64_t milliseconds(std::int64_t microseconds)
{
    return (std::max<std::int64_t>(microseconds, 0) + 500) / 1000;
}

std::string formatMilliseconds(std::int64_t ms)
{
    char text[32];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld,%03lld",
                  static_cast<long long>(ms / 3600000), static_cast<long long>(ms / 60000 % 60),
                  static_cast<long long>(ms / 1000 % 60), static_cast<long long>(ms % 1000));
    return text;
}

} // namespace

std::string srtTimestamp(std::int64_t microseconds)
{
    return formatMilliseconds(milliseconds(microseconds));
}

std::string srtDocument(const std::vector<SrtEntry>& entries)
{
    std::string out;
    std::size_t number = 0;
    for (const SrtEntry& entry : entries) {
        const std::int64_t start = milliseconds(entry.start);
        const std::int64_t end = std::max(milliseconds(entry.end), start + 1);
        out += std::to_string(++number) + "\n" + formatMilliseconds(start) + " --> " +
               formatMilliseconds(end) + "\n" + entry.text + "\n\n";
    }
    return out;
}

} // namespace subocr
