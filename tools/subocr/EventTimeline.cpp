#include "subocr/EventTimeline.h"

namespace subocr {

namespace {

// The summed opacity of the palette entries the picture uses: of two
// versions of one picture (a fade), the more opaque one reads best.
std::uint64_t opacity(const Bitmap& bitmap)
{
    std::array<bool, 256> used{};
    for (const std::uint8_t index : bitmap.pixels)
        used[index] = true;
    std::uint64_t sum = 0;
    for (std::size_t i = 0; i < used.size(); ++i) {
        if (used[i])
            sum += bitmap.palette[i] >> 24;
    }
    return sum;
}

} // namespace

bool samePictures(const std::vector<Bitmap>& a, const std::vector<Bitmap>& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].x != b[i].x || a[i].y != b[i].y || a[i].width != b[i].width ||
            a[i].height != b[i].height || a[i].forced != b[i].forced || a[i].pixels != b[i].pixels)
            return false;
    }
    return true;
}

std::vector<SubtitleEvent> EventTimeline::push(DecodedSubtitle subtitle)
{
    std::vector<SubtitleEvent> out;
    if (subtitle.hasEnd && subtitle.end <= subtitle.start)
        subtitle.hasEnd = false;
    if (m_shown && m_shown->hasEnd && m_shown->end <= subtitle.start)
        close(m_shown->end, out);

    if (m_shown) {
        DecodedSubtitle& shown = *m_shown;
        if (subtitle.start < shown.start) {
            // Out of order (damaged times): nothing later tells its end.
            close(shown.hasEnd ? shown.end : shown.start + kUnendedDuration, out);
        } else if (subtitle.rects.empty()) {
            // A clear at the very moment the picture came shows nothing.
            if (subtitle.start > shown.start)
                close(subtitle.start, out);
            return out;
        } else if (samePictures(shown.rects, subtitle.rects)) {
            for (std::size_t i = 0; i < shown.rects.size(); ++i) {
                if (opacity(subtitle.rects[i]) > opacity(shown.rects[i]))
                    shown.rects[i].palette = subtitle.rects[i].palette;
            }
            shown.hasEnd = subtitle.hasEnd;
            shown.end = subtitle.end;
            return out;
        } else if (subtitle.start > shown.start) {
            close(subtitle.start, out);
        } else {
            // Replaced at the moment it came: never seen.
            m_shown.reset();
        }
    }
    if (!subtitle.rects.empty())
        m_shown = std::move(subtitle);
    return out;
}

std::vector<SubtitleEvent> EventTimeline::finish()
{
    std::vector<SubtitleEvent> out;
    if (m_shown)
        close(m_shown->hasEnd ? m_shown->end : m_shown->start + kUnendedDuration, out);
    return out;
}

void EventTimeline::close(std::int64_t end, std::vector<SubtitleEvent>& out)
{
    SubtitleEvent event;
    event.start = m_shown->start;
    event.end = end;
    event.rects = std::move(m_shown->rects);
    event.position = m_shown->position;
    m_shown.reset();
    if (event.end > event.start)
        out.push_back(std::move(event));
}

} // namespace subocr
