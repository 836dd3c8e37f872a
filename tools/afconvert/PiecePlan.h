#pragma once

#include <cstdint>

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
    std::int64_t pieceFrames = 0;
    std::int64_t leadIn = 0;
    std::int64_t leadOut = 0;
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

PacketRange keptPackets(const PieceSpan& span);

// Packets of a single run over `samples` samples.
std::int64_t singleRunPackets(std::int64_t samples);

// The samples of the pieces in memory stay within this many bytes.
constexpr std::int64_t kPieceMemoryBudget = std::int64_t(256) << 20;

// Bytes one piece's samples take (32-bit floats, every channel).
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

} // namespace afconvert
