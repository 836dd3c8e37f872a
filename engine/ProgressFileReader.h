#pragma once

#include <QString>

// Reads the progress file ffmpeg appends to, a little at a time: every call
// answers only the complete lines written since the previous call, so the cost
// does not grow with the length of the movie. A line still being written (no
// line end yet) is left for the next call, so "out_time_ms=12" is never read
// while ffmpeg is writing "out_time_ms=1234567".
class ProgressFileReader final
{
public:
    QString readNew(const QString& path);
    // Bytes of the file consumed so far.
    quint64 offset() const { return m_offset; }
    void setOffset(quint64 offset) { m_offset = offset; }
    void reset() { m_offset = 0; }

private:
    quint64 m_offset = 0;
};
