#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace subocr {

struct SrtEntry
{
    std::int64_t start = 0; // microseconds
    std::int64_t end = 0;
    std::string text; // lines joined by "\n", none empty
};

// "HH:MM:SS,mmm", rounded to the millisecond; negative times are 0.
std::string srtTimestamp(std::int64_t microseconds);
// The entries numbered from 1, each ending in a blank line; an entry's end
// is at least a millisecond after its start.
std::string srtDocument(const std::vector<SrtEntry>& entries);

} // namespace subocr
