#include "afconvert/PiecePlan.h"

#include <algorithm>
#include <cmath>

namespace afconvert {

PieceLayout pieceLayout(double seconds, int sampleRate, std::int64_t leadIn, std::int64_t leadOut)
{
    PieceLayout layout;
    layout.leadIn = std::max<std::int64_t>(leadIn, kMinLeadFrames);
    // The encoder needs one frame past a packet's to hand the packet out.
    layout.leadOut = std::max<std::int64_t>(leadOut, kMinLeadFrames);
    const double frames = std::round(seconds * double(sampleRate) / kAacFrameSamples);
    layout.pieceFrames =
        std::max<std::int64_t>(std::isfinite(frames) ? std::int64_t(std::min(frames, 1e12)) : 0,
                               std::max<std::int64_t>(layout.leadIn + layout.leadOut, 1));
    return layout;
}

PieceSpan pieceSpan(const PieceLayout& layout, std::int64_t index)
{
    PieceSpan span;
    span.coreBegin = index * layout.pieceFrames;
    span.coreEnd = span.coreBegin + layout.pieceFrames;
    span.inputBegin = std::max<std::int64_t>(span.coreBegin - layout.leadIn, 0);
    span.inputEnd = span.coreEnd + layout.leadOut;
    return span;
}

PacketRange keptPackets(const PieceSpan& span)
{
    const std::int64_t first = span.coreBegin == 0 ? 0 : span.coreBegin + 1;
    return {first - span.inputBegin, span.coreEnd + 1 - span.inputBegin};
}

std::int64_t singleRunPackets(std::int64_t samples)
{
    return samples <= 0 ? 0 : (samples + kAacFrameSamples - 1) / kAacFrameSamples + 1;
}

std::int64_t pieceBytes(const PieceLayout& layout, int channels)
{
    const std::int64_t frames = layout.pieceFrames + layout.leadIn + layout.leadOut;
    return frames * kAacFrameSamples * std::max(channels, 1) * std::int64_t(sizeof(float));
}

BoundedPlan boundedPlan(const PieceLayout& layout, unsigned workers, int channels,
                        std::int64_t budget)
{
    BoundedPlan plan{layout, std::max(workers, 1u)};
    const std::int64_t frameBytes =
        kAacFrameSamples * std::max(channels, 1) * std::int64_t(sizeof(float));
    const std::int64_t twoPieceFrames = budget / 2 / frameBytes;
    const std::int64_t shortest = std::max<std::int64_t>(layout.leadIn + layout.leadOut, 1);
    if (pieceBytes(plan.layout, channels) * 2 > budget)
        plan.layout.pieceFrames =
            std::max(shortest, twoPieceFrames - layout.leadIn - layout.leadOut);
    const std::int64_t pieces = budget / pieceBytes(plan.layout, channels);
    plan.workers = unsigned(std::clamp<std::int64_t>(pieces - 1, 1, plan.workers));
    return plan;
}

} // namespace afconvert
