#pragma once

#include "subocr/GreyImage.h"
#include "subocr/SubPicture.h"

#include <array>

// A subtitle picture made into what Tesseract reads best: the letters' fill
// dark on white (outline, shadow and background white), letters of a
// steady size, a white margin around.

namespace subocr {

// The median letter height scaled to (most letters are lower case: their
// x-height, capitals then stand about 33 pixels high).
constexpr int kTargetLetterHeight = 24;
constexpr int kMargin = 16;
// The largest picture handed on, in pixels (a full 1080p screen of text
// at the target size is half of it).
constexpr std::int64_t kMaxPreparedArea = 4LL * 1000 * 1000;
constexpr double kMaxScale = 4;
// Text is mostly letters, and a subtitle has a few hundred at most: pictures
// whose dark parts are mostly specks or sprawling blobs, or thousands of
// letter-sized ones (damage, noise), are no text.
constexpr double kLeastLetterShare = 0.5;
constexpr std::size_t kMostLetters = 2000;

// How much each palette entry is of the letters' fill, 0..1. Among the
// opaque entries the fill is the one whose pixels touch transparent ones
// least (an outline surrounds it), the outline the most common other
// one; entries between the two count by how close to the fill they are, and
// by their opacity.
std::array<float, 256> fillWeights(const Bitmap& bitmap);

// The fill dark on white, cropped to it; empty when nothing is filled.
GreyImage renderFill(const Bitmap& bitmap, const std::array<float, 256>& weights);

struct LetterStatistics
{
    int height = 0; // the letters' median height; 0 when there are none
    std::size_t letters = 0;
    double letterShare = 0; // of the dark pixels, those in letter-like parts
};
// The letters are the dark connected parts that are large enough not to be
// dots or commas and not much wider than high.
LetterStatistics letterStatistics(const GreyImage& image);
int letterHeight(const GreyImage& image);

// Resampled by `factor` (a triangle filter as wide as the larger pixel).
GreyImage scaled(const GreyImage& image, double factor);
GreyImage withMargin(const GreyImage& image, int margin);

// All of the above: empty when the picture shows no letters, or no text.
GreyImage prepareForOcr(const Bitmap& bitmap);

} // namespace subocr
