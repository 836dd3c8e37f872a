#include "foundation/OutputCollector.h"

bool isStatisticsLine(const QString& line)
{
    return line.contains(QStringLiteral("frame=")) && line.contains(QStringLiteral("bitrate="));
}

void OutputCollector::feed(const QByteArray& chunk)
{
    for (const QString& line : m_splitter.feed(chunk))
        take(line);
}

void OutputCollector::finish()
{
    take(m_splitter.takeRemainder());
}

void OutputCollector::clear()
{
    m_splitter.takeRemainder();
    m_text.clear();
}

void OutputCollector::take(const QString& line)
{
    // Each kept line keeps its end, so the output reads (and is shown) as
    // the tool wrote it, one line per line.
    if (!line.isEmpty() && !isStatisticsLine(line))
        m_text += line + u'\n';
}
