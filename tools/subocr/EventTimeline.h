#pragma once

#include "subocr/SubPicture.h"

#include <optional>
#include <vector>

namespace subocr {

// Settles when each decoded subtitle leaves the screen. A subtitle is shown
// until its own end (a DVD stop command, a DVB page time-out, a container
// duration) or until the next one replaces it or clears the screen (PGS has
// no other end), whichever comes first; with neither it stays 5 seconds.
// The same pictures again while shown (a PGS palette change or acquisition
// point, a repeated DVB page) continue the subtitle: it is read once.
class EventTimeline
{
public:
    static constexpr std::int64_t kUnendedDuration = 5 * 1000 * 1000;

    // Takes the next subtitle in decoding order; answers the events whose
    // end it settles, in order.
    std::vector<SubtitleEvent> push(DecodedSubtitle subtitle);
    // The end of the stream: the subtitle still shown ends.
    std::vector<SubtitleEvent> finish();

private:
    void close(std::int64_t end, std::vector<SubtitleEvent>& out);

    std::optional<DecodedSubtitle> m_shown;
};

// Whether two subtitles show the same pictures at the same places (the
// palette may differ).
bool samePictures(const std::vector<Bitmap>& a, const std::vector<Bitmap>& b);

} // namespace subocr
