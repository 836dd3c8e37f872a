#include "subocr/PicturePreparation.h"

#include <algorithm>
#include <cmath>

namespace subocr {

namespace {

constexpr float kCropWeight = 0.2f;
constexpr int kInkGrey = 128;

unsigned alphaOf(std::uint32_t colour)
{
    return colour >> 24;
}

float distance(std::uint32_t a, std::uint32_t b)
{
    const auto channel = [](std::uint32_t c, int shift) { return float((c >> shift) & 0xFF); };
    const float r = channel(a, 16) - channel(b, 16);
    const float g = channel(a, 8) - channel(b, 8);
    const float bl = channel(a, 0) - channel(b, 0);
    return std::sqrt(r * r + g * g + bl * bl);
}

// One destination pixel's source pixels and their weights along one axis.
struct Taps
{
    int first = 0;
    std::vector<float> weights;
};

std::vector<Taps> axisTaps(int source, int destination)
{
    const double scale = double(destination) / double(source);
    const double support = std::max(1.0, 1.0 / scale);
    std::vector<Taps> taps(static_cast<std::size_t>(destination));
    for (int d = 0; d < destination; ++d) {
        const double centre = (d + 0.5) / scale - 0.5;
        const int from = int(std::ceil(centre - support));
        const int to = int(std::floor(centre + support));
        Taps& t = taps[std::size_t(d)];
        t.first = std::clamp(from, 0, source - 1);
        const int last = std::clamp(to, 0, source - 1);
        t.weights.assign(std::size_t(last - t.first + 1), 0.0f);
        float sum = 0;
        for (int s = from; s <= to; ++s) {
            const float w = float(std::max(0.0, 1.0 - std::abs(s - centre) / support));
            // Beyond the edges the edge pixel repeats.
            t.weights[std::size_t(std::clamp(s, t.first, last) - t.first)] += w;
            sum += w;
        }
        if (sum <= 0) {
            t.weights.assign(1, 1.0f);
            continue;
        }
        for (float& w : t.weights)
            w /= sum;
    }
    return taps;
}

// Union-find over the dark runs of the rows.
struct Runs
{
    std::vector<std::size_t> parent;

    std::size_t root(std::size_t i)
    {
        while (parent[i] != i) {
            parent[i] = parent[parent[i]];
            i = parent[i];
        }
        return i;
    }
    void join(std::size_t a, std::size_t b) { parent[root(a)] = root(b); }
};

} // namespace

std::array<float, 256> fillWeights(const Bitmap& bitmap)
{
    std::array<float, 256> weights{};
    const int w = bitmap.width;
    const int h = bitmap.height;
    if (w <= 0 || h <= 0 || bitmap.pixels.size() != std::size_t(w) * std::size_t(h))
        return weights;
    std::array<std::uint64_t, 256> count{};
    for (const std::uint8_t index : bitmap.pixels)
        ++count[index];
    unsigned maxAlpha = 0;
    for (std::size_t i = 0; i < count.size(); ++i) {
        if (count[i] > 0)
            maxAlpha = std::max(maxAlpha, alphaOf(bitmap.palette[i]));
    }
    if (maxAlpha < 16)
        return weights;
    // Opaque relative to the most opaque entry, so that a picture faded in
    // or out keeps its fill.
    const unsigned threshold = std::max(32u, maxAlpha / 2);
    std::array<bool, 256> opaque{};
    for (std::size_t i = 0; i < opaque.size(); ++i)
        opaque[i] = count[i] > 0 && alphaOf(bitmap.palette[i]) >= threshold;

    std::array<std::uint64_t, 256> touching{};
    const auto transparentAt = [&](int x, int y) {
        return x < 0 || y < 0 || x >= w || y >= h ||
               !opaque[bitmap.pixels[std::size_t(y) * std::size_t(w) + std::size_t(x)]];
    };
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const std::uint8_t index =
                bitmap.pixels[std::size_t(y) * std::size_t(w) + std::size_t(x)];
            if (opaque[index] && (transparentAt(x - 1, y) || transparentAt(x + 1, y) ||
                                  transparentAt(x, y - 1) || transparentAt(x, y + 1)))
                ++touching[index];
        }
    }
    std::uint64_t opaquePixels = 0;
    for (std::size_t i = 0; i < count.size(); ++i) {
        if (opaque[i])
            opaquePixels += count[i];
    }
    // Entries with a few pixels only are smoothing, not the fill.
    const std::uint64_t least = std::max<std::uint64_t>(1, opaquePixels / 20);
    int fill = -1;
    double fillTouch = 2;
    for (std::size_t i = 0; i < count.size(); ++i) {
        if (!opaque[i] || count[i] < least)
            continue;
        const double touch = double(touching[i]) / double(count[i]);
        if (touch < fillTouch - 1e-9 ||
            (std::abs(touch - fillTouch) <= 1e-9 && count[i] > count[std::size_t(fill)])) {
            fill = int(i);
            fillTouch = touch;
        }
    }
    if (fill < 0)
        return weights;
    int outline = -1;
    for (std::size_t i = 0; i < count.size(); ++i) {
        if (opaque[i] && int(i) != fill && count[i] >= least &&
            (outline < 0 || count[i] > count[std::size_t(outline)]))
            outline = int(i);
    }
    const std::uint32_t fillColour = bitmap.palette[std::size_t(fill)];
    for (std::size_t i = 0; i < count.size(); ++i) {
        if (count[i] == 0)
            continue;
        const float alpha = std::min(1.0f, float(alphaOf(bitmap.palette[i])) / float(maxAlpha));
        float closeness = 1;
        if (outline >= 0) {
            const float toFill = distance(bitmap.palette[i], fillColour);
            const float toOutline =
                distance(bitmap.palette[i], bitmap.palette[std::size_t(outline)]);
            closeness = toFill + toOutline > 0 ? toOutline / (toFill + toOutline) : 1.0f;
            closeness = std::clamp((closeness - 0.25f) / 0.5f, 0.0f, 1.0f);
        }
        weights[i] = alpha * closeness;
    }
    return weights;
}

GreyImage renderFill(const Bitmap& bitmap, const std::array<float, 256>& weights)
{
    const int w = bitmap.width;
    const int h = bitmap.height;
    if (w <= 0 || h <= 0 || bitmap.pixels.size() != std::size_t(w) * std::size_t(h))
        return {};
    int left = w, right = -1, top = h, bottom = -1;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (weights[bitmap.pixels[std::size_t(y) * std::size_t(w) + std::size_t(x)]] >=
                kCropWeight) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    if (right < 0)
        return {};
    std::array<std::uint8_t, 256> grey{};
    for (std::size_t i = 0; i < grey.size(); ++i)
        grey[i] = std::uint8_t(255 - std::lround(255.0f * std::clamp(weights[i], 0.0f, 1.0f)));
    GreyImage image;
    image.width = right - left + 1;
    image.height = bottom - top + 1;
    image.pixels.resize(std::size_t(image.width) * std::size_t(image.height));
    for (int y = 0; y < image.height; ++y) {
        const std::uint8_t* row = bitmap.pixels.data() + std::size_t(y + top) * std::size_t(w);
        for (int x = 0; x < image.width; ++x)
            image.pixels[std::size_t(y) * std::size_t(image.width) + std::size_t(x)] =
                grey[row[x + left]];
    }
    return image;
}

LetterStatistics letterStatistics(const GreyImage& image)
{
    struct Run
    {
        int x0, x1, y;
    };
    std::vector<Run> runs;
    Runs sets;
    std::size_t previousFirst = 0, previousEnd = 0;
    for (int y = 0; y < image.height; ++y) {
        const std::size_t first = runs.size();
        std::size_t candidate = previousFirst;
        for (int x = 0; x < image.width;) {
            if (image.at(x, y) >= kInkGrey) {
                ++x;
                continue;
            }
            const int x0 = x;
            while (x < image.width && image.at(x, y) < kInkGrey)
                ++x;
            const Run run{x0, x - 1, y};
            const std::size_t id = runs.size();
            runs.push_back(run);
            sets.parent.push_back(id);
            // Runs of the row above that touch this one, corners included.
            while (candidate < previousEnd && runs[candidate].x1 < run.x0 - 1)
                ++candidate;
            for (std::size_t p = candidate; p < previousEnd && runs[p].x0 <= run.x1 + 1; ++p)
                sets.join(id, p);
        }
        previousFirst = first;
        previousEnd = runs.size();
    }
    struct Extent
    {
        int top = 0, bottom = -1, left = 0, right = -1;
        std::int64_t pixels = 0;
    };
    std::vector<Extent> extents(runs.size());
    for (std::size_t i = 0; i < runs.size(); ++i) {
        Extent& e = extents[sets.root(i)];
        if (e.pixels == 0) {
            e = Extent{runs[i].y, runs[i].y, runs[i].x0, runs[i].x1, 0};
        }
        e.top = std::min(e.top, runs[i].y);
        e.bottom = std::max(e.bottom, runs[i].y);
        e.left = std::min(e.left, runs[i].x0);
        e.right = std::max(e.right, runs[i].x1);
        e.pixels += runs[i].x1 - runs[i].x0 + 1;
    }
    std::vector<int> heights;
    std::int64_t dark = 0, inLetters = 0;
    for (const Extent& e : extents) {
        const int height = e.bottom - e.top + 1;
        const int width = e.right - e.left + 1;
        dark += e.pixels;
        // Dots, commas and dashes say nothing about the letters' size;
        // letters touching each other still count as text.
        if (e.pixels >= 6 && height >= 3 && width <= 8 * height)
            inLetters += e.pixels;
        if (e.pixels >= 6 && height >= 3 && width <= 2 * height)
            heights.push_back(height);
    }
    LetterStatistics statistics;
    if (heights.empty())
        return statistics;
    const auto middle = heights.begin() + std::ptrdiff_t(heights.size() / 2);
    std::nth_element(heights.begin(), middle, heights.end());
    statistics.height = *middle;
    statistics.letters = heights.size();
    statistics.letterShare = double(inLetters) / double(dark);
    return statistics;
}

int letterHeight(const GreyImage& image)
{
    return letterStatistics(image).height;
}

GreyImage scaled(const GreyImage& image, double factor)
{
    if (image.empty() || !(factor > 0))
        return image;
    const double area = double(image.width) * double(image.height) * factor * factor;
    if (area > double(kMaxPreparedArea))
        factor *= std::sqrt(double(kMaxPreparedArea) / area);
    GreyImage out;
    out.width = std::max(1, int(std::lround(image.width * factor)));
    out.height = std::max(1, int(std::lround(image.height * factor)));
    const std::vector<Taps> across = axisTaps(image.width, out.width);
    const std::vector<Taps> down = axisTaps(image.height, out.height);
    // Across first, into floats; then down.
    std::vector<float> rows(std::size_t(out.width) * std::size_t(image.height));
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < out.width; ++x) {
            const Taps& t = across[std::size_t(x)];
            float sum = 0;
            for (std::size_t k = 0; k < t.weights.size(); ++k)
                sum += t.weights[k] * float(image.at(t.first + int(k), y));
            rows[std::size_t(y) * std::size_t(out.width) + std::size_t(x)] = sum;
        }
    }
    out.pixels.resize(std::size_t(out.width) * std::size_t(out.height));
    for (int y = 0; y < out.height; ++y) {
        const Taps& t = down[std::size_t(y)];
        for (int x = 0; x < out.width; ++x) {
            float sum = 0;
            for (std::size_t k = 0; k < t.weights.size(); ++k)
                sum +=
                    t.weights[k] *
                    rows[std::size_t(t.first + int(k)) * std::size_t(out.width) + std::size_t(x)];
            out.pixels[std::size_t(y) * std::size_t(out.width) + std::size_t(x)] =
                std::uint8_t(std::clamp(std::lround(sum), 0L, 255L));
        }
    }
    return out;
}

GreyImage withMargin(const GreyImage& image, int margin)
{
    GreyImage out;
    out.width = image.width + 2 * margin;
    out.height = image.height + 2 * margin;
    out.pixels.assign(std::size_t(out.width) * std::size_t(out.height), 255);
    for (int y = 0; y < image.height; ++y) {
        std::copy_n(image.pixels.data() + std::size_t(y) * std::size_t(image.width),
                    std::size_t(image.width),
                    out.pixels.data() + std::size_t(y + margin) * std::size_t(out.width) +
                        std::size_t(margin));
    }
    return out;
}

GreyImage prepareForOcr(const Bitmap& bitmap)
{
    GreyImage image = renderFill(bitmap, fillWeights(bitmap));
    if (image.empty())
        return {};
    const LetterStatistics letters = letterStatistics(image);
    if (letters.height == 0 || letters.letterShare < kLeastLetterShare ||
        letters.letters > kMostLetters)
        return {};
    const double factor = std::clamp(double(kTargetLetterHeight) / letters.height, 0.25, kMaxScale);
    if (std::abs(factor - 1.0) > 0.08)
        image = scaled(image, factor);
    return withMargin(image, kMargin);
}

} // namespace subocr
