#pragma once

#include <cstdint>
#include <vector>

namespace subocr {

// An 8-bit grey picture, row by row without padding: 0 black, 255 white.
struct GreyImage
{
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;

    bool empty() const { return width <= 0 || height <= 0; }
    std::uint8_t at(int x, int y) const
    {
        return pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)];
    }
};

} // namespace subocr
