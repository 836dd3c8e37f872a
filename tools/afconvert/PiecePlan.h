#pragma once

#include <cstdint>
#include <optional>
#include <vector>

// How one sound is cut into pieces that are encoded at once, and which of
// each piece's AAC frames go into the joined stream. Everything is counted
// in frames of kAacFrameSamples samples.
//
// The encoder delays its output by one frame: its packet k decodes to the
// input's frame k - 1, and packet 0 to the frame of silence before the sound
// (the priming, which the MP4's edit list skips). Packet k is handed out
// once frame k + 1 has come in (the encoder looks one frame ahead to choose
// its windows). A run over N samples makes ceil(N / 1024) + 1 packets.
//
// Piece i is the sound's frames [i * P, (i + 1) * P) (its core). Its encoder
// starts L frames earlier (the lead-in) and runs R frames past the core (the
// lead-out), so that its state, its window shapes and the overlap at each
// join are those a single run would have had there; the packets of the
// lead-in and lead-out are dropped. A piece's packet j is the single run's
// packet inputBegin + j, and the piece keeps the packets that decode to its
// core: [coreBegin + 1, coreEnd + 1), the first piece the priming packet too.
// A piece whose input ends with the sound has its encoder flushed there, as
// the single run's is, which leaves exactly the packets a single run has:
// the last piece's core reaches past the end and it keeps all it makes, and
// the pieces begun in the lead-in of a core the sound never reached keep
// none.

namespace afconvert {

constexpr int kAacFrameSamples = 1024;
// The encoder hands a packet out once the next frame is in: frames past
// that change none of the packets kept, two are a margin.
constexpr std::int64_t kDefaultLeadOutFrames = 2;
// Neither the lead-in nor the lead-out is ever shorter.
constexpr std::int64_t kMinLeadFrames = 2;

struct PieceLayout
{
    // The pieces' length (the longest, when they shrink toward the end).
    std::int64_t pieceFrames = 0;
    std::int64_t leadIn = 0;
    std::int64_t leadOut = 0;
    // When the sound's length is known (taperedLayout): `steadyPieces` pieces
    // of pieceFrames, then the shrinking pieces whose cores end at coreEnds,
    // then pieces of pieceFrames again.
    std::int64_t steadyPieces = 0;
    std::vector<std::int64_t> coreEnds;
};

struct PieceSpan
{
    std::int64_t inputBegin = 0;
    std::int64_t coreBegin = 0;
    std::int64_t coreEnd = 0;
    // Where the piece's input ends when the sound goes on that far.
    std::int64_t inputEnd = 0;
};

// Packets of one piece's encoder, counted from its first: [begin, end).
struct PacketRange
{
    std::int64_t begin = 0;
    std::int64_t end = 0;
};

// The layout for pieces of about `seconds`. A piece is never shorter than its
// lead-in and lead-out together, so the piece being filled never needs a
// sample that only a later piece's input would bring (see the reading's
// bound on the pieces in memory).
PieceLayout pieceLayout(double seconds, int sampleRate, std::int64_t leadIn, std::int64_t leadOut);

PieceSpan pieceSpan(const PieceLayout& layout, std::int64_t index);

// Pieces never shorter than this when they shrink toward the end (10 s):
// shorter ones would spend more on their lead-in than they save.
constexpr double kShortestTaperedSeconds = 10;

// The layout for a sound expected to last `expectedFrames` frames, encoded by
// `workers` at once: each piece is the rest of the sound shared among the
// workers, at most layout.pieceFrames and at least `shortestFrames` (and its
// lead-in and lead-out), so the pieces shrink toward the end and the workers
// finish together rather than one waiting on the last long piece. A rest
// shorter than the shortest piece joins the piece before it, or is split off
// it. Should the sound go on past the expected end, pieces of pieceFrames
// follow. A layout whose pieces are too short to shrink stays as it is.
PieceLayout taperedLayout(const PieceLayout& layout, std::int64_t expectedFrames, unsigned workers,
                          std::int64_t shortestFrames);

PacketRange keptPackets(const PieceSpan& span);

// Packets of a single run over `samples` samples.
std::int64_t singleRunPackets(std::int64_t samples);

// The samples of the pieces in memory stay within this many bytes.
constexpr std::int64_t kPieceMemoryBudget = std::int64_t(256) << 20;

// Bytes one piece's samples take (32-bit floats, every channel): the
// longest piece's.
std::int64_t pieceBytes(const PieceLayout& layout, int channels);

// The layout and number of workers that keep the workers + 1 pieces in
// memory within `budget` bytes: first fewer workers, then, should even two
// pieces not fit, shorter pieces (never shorter than their lead-in and
// lead-out), one worker at least.
struct BoundedPlan
{
    PieceLayout layout;
    unsigned workers = 1;
};
BoundedPlan boundedPlan(const PieceLayout& layout, unsigned workers, int channels,
                        std::int64_t budget);

// Pieces when the sound's length is known: up to this long, shrinking toward
// the end. Fewer joins than shorter pieces make, so less of the lead-in
// is encoded twice (pieces of two minutes take 4 % less processor time than
// pieces of one on a ten-minute movie), while the last pieces keep the
// workers even. Three pieces of stereo at 48 kHz take 138 MB.
constexpr double kLongPieceSeconds = 120;
// The pieces' own length when nothing says otherwise and the sound's length
// is unknown: short enough that the last piece keeps no worker waiting long.
constexpr double kUnknownLengthPieceSeconds = 20;

// The plan for one sound: pieces of `pieceSeconds` if given, else of
// kLongPieceSeconds shrinking toward `expectedSeconds` if that is known (the
// longest shortened, down to kUnknownLengthPieceSeconds, so that all the
// workers fit the budget), else of kUnknownLengthPieceSeconds; then bounded
// (boundedPlan) and, with a known length, tapered (taperedLayout).
BoundedPlan soundPlan(std::optional<double> pieceSeconds, std::optional<double> expectedSeconds,
                      std::int64_t leadIn, int sampleRate, int channels, unsigned workers,
                      std::int64_t budget);

} // namespace afconvert
