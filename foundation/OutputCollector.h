#pragma once

#include "foundation/LineSplitter.h"

#include <QByteArray>
#include <QString>

// ffmpeg's running statistics: a line with both "frame=" and "bitrate=".
// Audio-only runs print no "frame=", so their statistics are kept.
bool isStatisticsLine(const QString& line);

// The tool output a job keeps: every non-empty line except the statistics,
// each with a line feed after it.
class OutputCollector final
{
public:
    void feed(const QByteArray& chunk);
    // The process has ended: keeps its unterminated last line too.
    void finish();
    const QString& text() const { return m_text; }
    void clear();
    void setText(const QString& text) { m_text = text; }

private:
    void take(const QString& line);

    LineSplitter m_splitter;
    QString m_text;
};
