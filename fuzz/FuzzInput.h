#pragma once

#include <QByteArray>
#include <QList>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// Shared by the fuzz targets: the first byte of an input seeds the choices a
// target makes (where to cut chunks, which variant to run), the rest is the
// payload. Seed files stay readable that way: one byte, then real tool output.
class FuzzInput final
{
public:
    FuzzInput(const std::uint8_t* data, std::size_t size)
    {
        if (size > 0) {
            m_seed = data[0];
            m_state ^= std::uint32_t(data[0]) * 0x01000193u;
            m_payload = QByteArray(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
        }
    }

    std::uint8_t seed() const { return m_seed; }
    const QByteArray& payload() const { return m_payload; }

    // A reproducible pseudo-random number (xorshift32) in [0, bound).
    std::uint32_t next(std::uint32_t bound)
    {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return bound == 0 ? 0 : m_state % bound;
    }

    // Cuts the payload into consecutive chunks of 0 to maxChunk bytes (empty
    // chunks included: a reader must cope with a read that brings nothing).
    QList<QByteArray> chunks(std::uint32_t maxChunk)
    {
        QList<QByteArray> out;
        qsizetype at = 0;
        while (at < m_payload.size()) {
            const qsizetype length = qMin<qsizetype>(next(maxChunk + 1), m_payload.size() - at);
            out.append(m_payload.mid(at, length));
            at += length;
        }
        return out;
    }

private:
    std::uint8_t m_seed = 0;
    std::uint32_t m_state = 0x9E3779B9u;
    QByteArray m_payload;
};

// A broken invariant is a finding: abort so that libFuzzer keeps the input and
// the corpus regression test fails.
inline void fuzzCheck(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "fuzz invariant broken: %s\n", what);
        std::abort();
    }
}
