#include "afconvert/AfconvertArgs.h"
#include "afconvert/PiecePlan.h"
#include "afconvert/SoundQuality.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <vector>

using namespace afconvert;

// Every piece encodes its input span from the start, making the single
// run's packets inputBegin + j; the packets the pieces keep must be exactly
// the single run's, each once and in order, whatever the sound's length.
// A piece whose input the sound ends within is flushed there, as the single
// run is, and makes the rest of the single run's packets; any other stops
// at the end of its lead-out.
TEST(AfconvertPieces, KeptPacketsTileTheSingleRun)
{
    // Even pieces, and pieces shrinking toward an expected end of 300 frames
    // that the sound may reach, fall short of or run past.
    const PieceLayout even = pieceLayout(1, 44100, 64, 2);
    const PieceLayout shrinking = taperedLayout(pieceLayout(1, 48000, 4, 2), 300, 3, 10);
    ASSERT_FALSE(shrinking.coreEnds.empty());
    for (const PieceLayout& layout :
         {pieceLayout(0.1, 48000, 4, 2), even, pieceLayout(20, 48000, 64, kDefaultLeadOutFrames),
          shrinking}) {
        ASSERT_GE(layout.pieceFrames, layout.leadIn + layout.leadOut);
        for (const std::int64_t samples :
             {std::int64_t(1), std::int64_t(1023), std::int64_t(1024), std::int64_t(1025),
              layout.pieceFrames * 1024 - 1, layout.pieceFrames * 1024,
              (layout.pieceFrames + layout.leadOut) * 1024 + 1,
              (2 * layout.pieceFrames - layout.leadIn) * 1024,
              (2 * layout.pieceFrames - layout.leadIn) * 1024 + 5,
              3 * layout.pieceFrames * 1024 + 7, std::int64_t(299 * 1024), std::int64_t(300 * 1024),
              std::int64_t(300 * 1024 + 3), std::int64_t(700 * 1024 + 9)}) {
            const std::int64_t total = singleRunPackets(samples);
            std::int64_t next = 0;
            for (std::int64_t i = 0;; ++i) {
                const PieceSpan span = pieceSpan(layout, i);
                if (span.inputBegin * 1024 >= samples)
                    break;
                // The reading relies on every piece being at least its
                // lead-in and lead-out long.
                ASSERT_GE(span.coreEnd - span.coreBegin, layout.leadIn + layout.leadOut);
                ASSERT_LE(span.coreEnd - span.coreBegin, layout.pieceFrames);
                const std::int64_t inputSamples =
                    std::min(samples, span.inputEnd * 1024) - span.inputBegin * 1024;
                // What the piece's encoder makes: a flushed run over the
                // samples it got, else a packet for each frame but the last
                // (the encoder looks one frame ahead).
                const std::int64_t made = span.inputEnd * 1024 >= samples
                                              ? singleRunPackets(inputSamples)
                                              : inputSamples / 1024 - 1;
                const PacketRange kept = keptPackets(span);
                const std::int64_t end = std::min(kept.end, made);
                if (kept.begin < end) {
                    EXPECT_EQ(span.inputBegin + kept.begin, next)
                        << "piece " << i << " of a sound of " << samples << " samples";
                    next = span.inputBegin + end;
                }
            }
            EXPECT_EQ(next, total) << samples << " samples, pieces of " << layout.pieceFrames;
        }
    }
}

TEST(AfconvertPieces, PiecesOfAKnownLengthShrinkTowardItsEnd)
{
    const auto cores = [](const PieceLayout& layout) {
        std::vector<std::int64_t> lengths;
        for (std::int64_t i = 0; i < layout.steadyPieces + std::int64_t(layout.coreEnds.size());
             ++i) {
            const PieceSpan span = pieceSpan(layout, i);
            lengths.push_back(span.coreEnd - span.coreBegin);
        }
        return lengths;
    };
    // Ten minutes on two workers: pieces of two minutes, then shrinking ones
    // (at least 10 s) ending where the sound does.
    const BoundedPlan ten = soundPlan(std::nullopt, 600, 96, 48000, 2, 2, kPieceMemoryBudget);
    EXPECT_EQ(ten.workers, 2u);
    EXPECT_EQ(ten.layout.pieceFrames, 5625);
    const std::vector<std::int64_t> lengths = cores(ten.layout);
    EXPECT_EQ(pieceSpan(ten.layout, std::int64_t(lengths.size()) - 1).coreEnd, 28125);
    EXPECT_EQ(lengths.front(), 5625);
    // Each piece at most the one before it; the last takes what is left.
    EXPECT_TRUE(std::is_sorted(lengths.rbegin() + 1, lengths.rend()));
    EXPECT_GE(lengths.back(), 469);
    EXPECT_LT(lengths.back(), 2 * 469);
    EXPECT_LE(lengths.size(), 14u);
    // Sixteen workers keep their number: the longest piece is shortened so
    // that seventeen fit the budget.
    const BoundedPlan sixteen = soundPlan(std::nullopt, 7200, 96, 48000, 2, 16, kPieceMemoryBudget);
    EXPECT_EQ(sixteen.workers, 16u);
    EXPECT_LT(sixteen.layout.pieceFrames, 5625);
    EXPECT_LE(pieceBytes(sixteen.layout, 2) * 17, kPieceMemoryBudget);
    EXPECT_GT(sixteen.layout.steadyPieces, 100);
    // A length unknown, or pieces asked for (-p): even pieces.
    const BoundedPlan unknown =
        soundPlan(std::nullopt, std::nullopt, 96, 48000, 2, 2, kPieceMemoryBudget);
    EXPECT_EQ(unknown.layout.pieceFrames, 938);
    EXPECT_TRUE(unknown.layout.coreEnds.empty());
    EXPECT_EQ(soundPlan(5.0, std::nullopt, 96, 48000, 2, 2, kPieceMemoryBudget).layout.pieceFrames,
              234);
    // Pieces too short to shrink stay even.
    EXPECT_TRUE(taperedLayout(pieceLayout(1, 48000, 64, 2), 1000, 2, 469).coreEnds.empty());
}

TEST(AfconvertPieces, PiecesInMemoryStayWithinTheBudget)
{
    const PieceLayout layout =
        pieceLayout(kUnknownLengthPieceSeconds, 48000, kDefaultLeadInFrames, kDefaultLeadOutFrames);
    // Stereo at 48 kHz: 8.5 MB a piece; 16 workers keep 17 pieces.
    EXPECT_EQ(pieceBytes(layout, 2), (938 + 98) * 1024 * 2 * 4);
    EXPECT_EQ(boundedPlan(layout, 16, 2, kPieceMemoryBudget).workers, 16u);
    const BoundedPlan eight = boundedPlan(layout, 64, 8, kPieceMemoryBudget);
    EXPECT_LT(eight.workers, 64u);
    EXPECT_LE(pieceBytes(eight.layout, 8) * (eight.workers + 1), kPieceMemoryBudget);
    // Pieces too long for even two: shorter pieces, one worker.
    const BoundedPlan huge = boundedPlan(pieceLayout(600, 384000, 64, 2), 4, 8, kPieceMemoryBudget);
    EXPECT_GE(huge.workers, 1u);
    EXPECT_LE(pieceBytes(huge.layout, 8) * (huge.workers + 1), kPieceMemoryBudget);
    EXPECT_GE(huge.layout.pieceFrames, huge.layout.leadIn + huge.layout.leadOut);
}

TEST(AfconvertPieces, QualityShowsNoiseAndClicks)
{
    const int rate = 8000;
    std::vector<float> source(2 * rate * 2);
    for (std::size_t i = 0; i < source.size(); ++i)
        source[i] = 0.5f * float(std::sin(double(i / 2) * 0.05));
    std::vector<float> noisy = source;
    for (std::size_t i = 0; i < noisy.size(); ++i)
        noisy[i] += (i % 3 == 0 ? 0.005f : -0.0025f);
    const auto even = compareSound(source, noisy, 2, rate);
    ASSERT_TRUE(even);
    EXPECT_NEAR(even->snrDb,
                10 * std::log10((0.25 / 2) / (0.005 * 0.005 / 3 + 2 * 0.0025 * 0.0025 / 3)), 0.2);
    EXPECT_LT(even->loudestErrorDb, 1);
    // One click of 1 ms stands out above the even error.
    std::vector<float> clicked = noisy;
    for (std::size_t i = 8000; i < 8016; ++i)
        clicked[i] += 0.2f;
    const auto click = compareSound(source, clicked, 2, rate);
    ASSERT_TRUE(click);
    EXPECT_GT(click->loudestErrorDb, 10);
    EXPECT_FALSE(compareSound(source, std::vector<float>(100), 2, rate));
}
