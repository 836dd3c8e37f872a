#include "afconvert/PieceEncoding.h"

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <memory>
#include <mutex>
#include <sys/mman.h>
#include <thread>
#include <vector>

namespace afconvert {

namespace {

// Reads of the sound stay small enough that the bytes read, their samples
// and the copy into the pieces stay in the processor's cache.
constexpr std::size_t kReadBytes = std::size_t(256) << 10;
constexpr std::size_t kHugePageBytes = std::size_t(2) << 20;

struct FreeMemory
{
    void operator()(float* p) const { std::free(p); }
};
using SampleMemory = std::unique_ptr<float[], FreeMemory>;

// Memory for `count` samples in huge pages where the system gives them: a
// piece's samples fill tens of MB, and a page fault for every 4 KiB of them
// cost 0.3 s of processor time for the 138 MB of three two-minute pieces of
// stereo in a virtual machine. Null when there is no memory.
SampleMemory sampleMemory(std::size_t count)
{
    const std::size_t bytes =
        (count * sizeof(float) + kHugePageBytes - 1) / kHugePageBytes * kHugePageBytes;
    void* memory = nullptr;
    if (::posix_memalign(&memory, kHugePageBytes, bytes) != 0)
        return nullptr;
    ::madvise(memory, bytes, MADV_HUGEPAGE);
    return SampleMemory(static_cast<float*>(memory));
}

// One piece's samples and the bytes its memory holds (at least the piece's).
struct SampleBuffer
{
    SampleMemory data;
    std::int64_t bytes = 0;
};

struct Piece
{
    std::int64_t index = 0;
    PieceSpan span;
    // The piece's input in samples of the sound: [begin, plannedEnd), cut
    // short where the sound ends.
    std::int64_t begin = 0;
    std::int64_t plannedEnd = 0;
    // Each channel's samples, one plane after another; only those below
    // `filled` are ever read, so the memory is not cleared first.
    std::size_t planeSamples = 0;
    SampleBuffer samples;
    std::vector<float*> planes;
    // Samples of the input there so far, and whether that is all of it.
    std::int64_t filled = 0;
    bool inputComplete = false;
    // Kept packets made and not yet taken by the writer.
    std::vector<PacketPtr> packets;
    bool encoded = false;
};

class PieceEncoding
{
public:
    PieceEncoding(SoundInput& input, AdtsOutput& output, const PieceEncodingSetup& setup,
                  Cancellation& cancellation)
        : m_input(input), m_output(output), m_setup(setup), m_cancellation(cancellation),
          m_allowance(std::int64_t(setup.workers + 1) *
                      pieceBytes(setup.layout, setup.format.channels))
    {
        // A stop from outside (a signal) wakes the threads waiting here.
        m_cancellation.setWaker([this] {
            const std::lock_guard lock(m_mutex);
            m_changed.notify_all();
        });
    }
    ~PieceEncoding() { m_cancellation.setWaker({}); }
    PieceEncoding(const PieceEncoding&) = delete;
    PieceEncoding& operator=(const PieceEncoding&) = delete;

    std::string run()
    {
        std::vector<std::thread> threads;
        threads.emplace_back([this] { writePieces(); });
        for (unsigned i = 0; i < m_setup.workers; ++i)
            threads.emplace_back([this] { encodePieces(); });
        readSound();
        for (std::thread& thread : threads)
            thread.join();
        if (m_failure.empty() && failed())
            return "the encoding was stopped";
        return m_failure;
    }

private:
    // The first failure wins; every thread stops when it sees one.
    void fail(const std::string& why)
    {
        {
            const std::lock_guard lock(m_mutex);
            if (!m_failure.empty())
                return;
            m_failure = why;
        }
        m_cancellation.trigger();
        m_changed.notify_all();
    }

    bool failed() const { return m_cancellation.triggered(); }

    // Called with the lock held: the piece of that index still in memory.
    Piece* alivePiece(std::int64_t index)
    {
        if (m_pieces.empty() || index < m_pieces.front()->index || index > m_pieces.back()->index)
            return nullptr;
        return m_pieces[std::size_t(index - m_pieces.front()->index)].get();
    }

    // The smallest spare buffer that holds `bytes`, or none. Called with the
    // lock held.
    std::vector<SampleBuffer>::iterator spareFor(std::int64_t bytes)
    {
        auto best = m_spare.end();
        for (auto it = m_spare.begin(); it != m_spare.end(); ++it)
            if (it->bytes >= bytes && (best == m_spare.end() || it->bytes < best->bytes))
                best = it;
        return best;
    }

    // Waits for room, then adds the next piece; false on failure. Room is
    // counted in samples: those of the pieces not yet encoded, and the spare
    // buffers kept for them, stay within what workers + 1 of the longest
    // pieces hold. A piece encoded and waiting for the one before it to be
    // written holds only its packets, so a worker done with a short piece can
    // go on while a long one before it is still being encoded; a bound on
    // their number keeps those few.
    bool addPiece(std::unique_lock<std::mutex>& lock)
    {
        auto piece = std::make_unique<Piece>();
        piece->index = m_created;
        piece->span = pieceSpan(m_setup.layout, piece->index);
        piece->begin = piece->span.inputBegin * kAacFrameSamples;
        piece->plannedEnd = piece->span.inputEnd * kAacFrameSamples;
        piece->planeSamples = std::size_t(piece->plannedEnd - piece->begin);
        const std::size_t count = piece->planeSamples * std::size_t(m_setup.format.channels);
        const auto needed = std::int64_t(count * sizeof(float));
        const std::size_t mostPieces = 2 * std::size_t(m_setup.workers) + 2;
        // A spare buffer is within the allowance already; a new one is made
        // once the spares are given back.
        m_changed.wait(lock, [&] {
            return failed() || (m_pieces.size() < mostPieces &&
                                (m_pieces.empty() || spareFor(needed) != m_spare.end() ||
                                 m_sampleBytes + needed <= m_allowance));
        });
        if (failed())
            return false;
        ++m_created;
        const auto spare = spareFor(needed);
        if (spare != m_spare.end()) {
            piece->samples = std::move(*spare);
            m_spare.erase(spare);
            m_spareBytes -= piece->samples.bytes;
        } else {
            m_spare.clear();
            m_spareBytes = 0;
            piece->samples = {sampleMemory(count), needed};
            if (!piece->samples.data) {
                lock.unlock();
                fail("out of memory for " + std::to_string(needed >> 20) + " MB of sound");
                lock.lock();
                return false;
            }
        }
        m_sampleBytes += piece->samples.bytes;
        for (int c = 0; c < m_setup.format.channels; ++c)
            piece->planes.push_back(piece->samples.data.get() +
                                    std::size_t(c) * piece->planeSamples);
        m_pieces.push_back(std::move(piece));
        m_changed.notify_all();
        return true;
    }

    // Copies the sound's samples [from, to) (in `block` from blockStart on)
    // into every piece whose input holds them. Called with the lock held.
    void deliver(const std::vector<float*>& block, std::int64_t blockStart, std::int64_t from,
                 std::int64_t to)
    {
        for (const std::unique_ptr<Piece>& piece : m_pieces) {
            if (piece->inputComplete || piece->encoded)
                continue;
            const std::int64_t start = std::max(from, piece->begin + piece->filled);
            const std::int64_t end = std::min(to, piece->plannedEnd);
            if (start < end) {
                for (int c = 0; c < m_setup.format.channels; ++c)
                    std::copy(block[std::size_t(c)] + (start - blockStart),
                              block[std::size_t(c)] + (end - blockStart),
                              piece->planes[std::size_t(c)] + (start - piece->begin));
                piece->filled = end - piece->begin;
            }
            if (piece->begin + piece->filled >= piece->plannedEnd)
                piece->inputComplete = true;
        }
    }

    void readSound()
    {
        const WavFormat& format = m_setup.format;
        const std::size_t blockAlign = std::size_t(format.blockAlign);
        std::vector<unsigned char> bytes(kReadBytes + blockAlign);
        std::size_t carried = 0;
        const std::size_t blockFrames = bytes.size() / blockAlign;
        std::vector<float> blockSamples(blockFrames * std::size_t(format.channels));
        std::vector<float*> block;
        for (int c = 0; c < format.channels; ++c)
            block.push_back(blockSamples.data() + std::size_t(c) * blockFrames);

        std::int64_t position = 0;
        {
            std::unique_lock lock(m_mutex);
            if (!addPiece(lock))
                return;
        }
        for (;;) {
            const ssize_t n =
                m_input.read(bytes.data() + carried, bytes.size() - carried, m_cancellation);
            if (n < 0) {
                fail(m_input.error().empty() ? "reading the sound was cancelled" : m_input.error());
                return;
            }
            if (n == 0)
                break;
            const std::size_t have = carried + std::size_t(n);
            const std::size_t frames = have / blockAlign;
            toPlanarFloat(format, bytes.data(), frames, block.data(), 0);
            carried = have - frames * blockAlign;
            std::copy(bytes.begin() + std::ptrdiff_t(frames * blockAlign),
                      bytes.begin() + std::ptrdiff_t(have), bytes.begin());

            std::unique_lock lock(m_mutex);
            const std::int64_t end = position + std::int64_t(frames);
            std::int64_t at = position;
            while (at < end) {
                // A piece begins its input here: it must be there first.
                const std::int64_t nextBegin =
                    pieceSpan(m_setup.layout, m_created).inputBegin * kAacFrameSamples;
                if (nextBegin <= at) {
                    if (!addPiece(lock))
                        return;
                    continue;
                }
                const std::int64_t upTo = std::min(end, nextBegin);
                deliver(block, position, at, upTo);
                at = upTo;
            }
            position = end;
            m_changed.notify_all();
        }
        // The sound ends here: every piece's input is what it has.
        const std::lock_guard lock(m_mutex);
        for (const std::unique_ptr<Piece>& piece : m_pieces)
            piece->inputComplete = true;
        m_inputEnded = true;
        m_changed.notify_all();
    }

    void encodePieces()
    {
        for (;;) {
            Piece* piece = nullptr;
            {
                std::unique_lock lock(m_mutex);
                m_changed.wait(lock, [this] {
                    return failed() || alivePiece(m_nextToEncode) ||
                           (m_inputEnded && m_nextToEncode >= m_created);
                });
                piece = failed() ? nullptr : alivePiece(m_nextToEncode);
                if (!piece)
                    return;
                ++m_nextToEncode;
            }
            encodePiece(*piece);
            const std::lock_guard lock(m_mutex);
            piece->encoded = true;
            // The samples are done with. Their memory is kept for a later
            // piece while that stays within the allowance: new memory costs
            // a page fault every 4 KiB, a tenth of a second of processor
            // time on a ten-minute movie.
            piece->planes.clear();
            m_sampleBytes -= piece->samples.bytes;
            if (m_sampleBytes + m_spareBytes + piece->samples.bytes <= m_allowance) {
                m_spareBytes += piece->samples.bytes;
                m_spare.push_back(std::move(piece->samples));
            }
            piece->samples = {};
            m_changed.notify_all();
        }
    }

    void encodePiece(Piece& piece)
    {
        AacEncoder encoder;
        const std::string error = encoder.open(m_setup.encoder);
        if (!error.empty()) {
            fail(error);
            return;
        }
        const PacketRange kept = keptPackets(piece.span);
        std::int64_t frame = 0;
        std::int64_t packet = 0;
        const auto where = [&] {
            char seconds[32];
            std::snprintf(seconds, sizeof seconds, "%.3f",
                          double(piece.begin + frame * kAacFrameSamples) /
                              m_setup.encoder.sampleRate);
            return std::string(seconds) + " s";
        };
        // The piece's packets made since they were last handed to the
        // writer: handed over once per batch of frames, not one by one, so
        // the writer wakes less often.
        std::vector<PacketPtr> made;
        const auto handOver = [&] {
            if (made.empty())
                return;
            const std::lock_guard lock(m_mutex);
            for (PacketPtr& p : made)
                piece.packets.push_back(std::move(p));
            made.clear();
            m_changed.notify_all();
        };
        // Takes what the encoder hands out, keeping the piece's own packets.
        const auto collect = [&]() -> bool {
            for (;;) {
                int status = 0;
                PacketPtr next = encoder.receive(status);
                if (!next) {
                    if (status == AVERROR(EAGAIN) || status == AVERROR_EOF)
                        return true;
                    fail("cannot encode the sound at " + where() + ": " + libavError(status));
                    return false;
                }
                if (packet >= kept.begin && packet < kept.end)
                    made.push_back(std::move(next));
                ++packet;
            }
        };
        while (packet < kept.end) {
            std::int64_t available = 0;
            bool complete = false;
            {
                std::unique_lock lock(m_mutex);
                m_changed.wait(lock, [&] {
                    return failed() || piece.inputComplete ||
                           piece.filled >= (frame + 1) * kAacFrameSamples;
                });
                if (failed())
                    return;
                available = piece.filled;
                complete = piece.inputComplete;
            }
            // Samples below `filled` stay as they are: read without the lock.
            while (packet < kept.end && frame * kAacFrameSamples < available) {
                const std::int64_t samples =
                    std::min<std::int64_t>(kAacFrameSamples, available - frame * kAacFrameSamples);
                if (samples < kAacFrameSamples && !complete)
                    break;
                const int status = encoder.send(
                    piece.planes.data(), std::size_t(frame * kAacFrameSamples), int(samples));
                if (status < 0) {
                    fail("cannot encode the sound at " + where() + ": " + libavError(status));
                    return;
                }
                if (!collect())
                    return;
                ++frame;
                if (failed())
                    return;
            }
            handOver();
            if (complete && frame * kAacFrameSamples >= available) {
                // The sound ends within this piece's input: the encoder
                // hands out its last packets as a single run's does.
                if (packet < kept.end) {
                    const int status = encoder.sendEnd();
                    if (status < 0) {
                        fail("cannot encode the end of the sound: " + libavError(status));
                        return;
                    }
                    collect();
                    handOver();
                }
                return;
            }
        }
    }

    void writePieces()
    {
        for (;;) {
            std::vector<PacketPtr> ready;
            bool pieceDone = false;
            {
                std::unique_lock lock(m_mutex);
                m_changed.wait(lock, [this] {
                    return failed() || (m_inputEnded && m_pieces.empty()) ||
                           (!m_pieces.empty() &&
                            (!m_pieces.front()->packets.empty() || m_pieces.front()->encoded));
                });
                if (failed() || m_pieces.empty())
                    return;
                ready.swap(m_pieces.front()->packets);
                pieceDone = m_pieces.front()->encoded;
            }
            for (PacketPtr& packet : ready) {
                if (failed())
                    return;
                if (!m_output.write(*packet)) {
                    fail(m_output.error());
                    return;
                }
            }
            if (pieceDone) {
                const std::lock_guard lock(m_mutex);
                m_pieces.pop_front();
                m_changed.notify_all();
            }
        }
    }

    SoundInput& m_input;
    AdtsOutput& m_output;
    const PieceEncodingSetup& m_setup;
    Cancellation& m_cancellation;

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<std::unique_ptr<Piece>> m_pieces;
    std::int64_t m_created = 0;
    // What the samples of the pieces not yet encoded and the spare buffers
    // may hold together, and the bytes of each.
    const std::int64_t m_allowance;
    std::int64_t m_sampleBytes = 0;
    std::vector<SampleBuffer> m_spare;
    std::int64_t m_spareBytes = 0;
    std::int64_t m_nextToEncode = 0;
    bool m_inputEnded = false;
    std::string m_failure;
};

} // namespace

std::string encodeInPieces(SoundInput& input, AdtsOutput& output, const PieceEncodingSetup& setup,
                           Cancellation& cancellation)
{
    PieceEncoding encoding(input, output, setup, cancellation);
    return encoding.run();
}

} // namespace afconvert
