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
    const std::int64_t steady = layout.steadyPieces;
    const auto shrinking = std::int64_t(layout.coreEnds.size());
    if (index < steady || shrinking == 0) {
        span.coreBegin = index * layout.pieceFrames;
    } else if (index < steady + shrinking) {
        const std::size_t at = std::size_t(index - steady);
        span.coreBegin = at == 0 ? steady * layout.pieceFrames : layout.coreEnds[at - 1];
        span.coreEnd = layout.coreEnds[at];
    } else {
        span.coreBegin = layout.coreEnds.back() + (index - steady - shrinking) * layout.pieceFrames;
    }
    if (span.coreEnd == 0)
        span.coreEnd = span.coreBegin + layout.pieceFrames;
    span.inputBegin = std::max<std::int64_t>(span.coreBegin - layout.leadIn, 0);
    span.inputEnd = span.coreEnd + layout.leadOut;
    return span;
}

PieceLayout taperedLayout(const PieceLayout& layout, std::int64_t expectedFrames, unsigned workers,
                          std::int64_t shortestFrames)
{
    PieceLayout tapered = layout;
    tapered.steadyPieces = 0;
    tapered.coreEnds.clear();
    const std::int64_t longest = layout.pieceFrames;
    const std::int64_t leads = layout.leadIn + layout.leadOut;
    // Every piece stays at least its lead-in and lead-out long (the reading
    // relies on it), and the longest at least two of the shortest, so that a
    // rest too short for a piece of its own always fits in a split.
    const std::int64_t shortest = std::min(std::max(shortestFrames, leads), longest / 2);
    if (shortest < std::max<std::int64_t>(leads, 1))
        return tapered;
    const std::int64_t share = std::max(workers, 1u);
    // While the rest is more than the workers' share of full pieces, every
    // piece is a full one.
    tapered.steadyPieces = std::max<std::int64_t>(expectedFrames / longest - share, 0);
    std::int64_t end = tapered.steadyPieces * longest;
    while (end < expectedFrames) {
        const std::int64_t rest = expectedFrames - end;
        std::int64_t piece = std::clamp(rest / share, shortest, longest);
        if (rest - piece < shortest)
            piece = rest <= longest ? std::max(rest, shortest) : rest - shortest;
        end += piece;
        tapered.coreEnds.push_back(end);
    }
    return tapered;
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

BoundedPlan soundPlan(std::optional<double> pieceSeconds, std::optional<double> expectedSeconds,
                      std::int64_t leadIn, int sampleRate, int channels, unsigned workers,
                      std::int64_t budget)
{
    const auto frames = [&](double seconds) {
        return std::int64_t(std::llround(seconds * sampleRate / kAacFrameSamples));
    };
    const bool known = expectedSeconds && *expectedSeconds > 0 && std::isfinite(*expectedSeconds);
    PieceLayout layout =
        pieceLayout(pieceSeconds.value_or(known ? kLongPieceSeconds : kUnknownLengthPieceSeconds),
                    sampleRate, leadIn, kDefaultLeadOutFrames);
    if (known && !pieceSeconds) {
        const std::int64_t frameBytes =
            kAacFrameSamples * std::max(channels, 1) * std::int64_t(sizeof(float));
        const std::int64_t fitting =
            budget / (std::int64_t(std::max(workers, 1u)) + 1) / frameBytes - layout.leadIn -
            layout.leadOut;
        const std::int64_t floor = std::min(layout.pieceFrames, frames(kUnknownLengthPieceSeconds));
        layout.pieceFrames = std::clamp(fitting, floor, layout.pieceFrames);
    }
    BoundedPlan plan = boundedPlan(layout, workers, channels, budget);
    if (known)
        plan.layout = taperedLayout(plan.layout, frames(std::min(*expectedSeconds, 1e9)),
                                    plan.workers, frames(kShortestTaperedSeconds));
    return plan;
}

} // namespace afconvert
