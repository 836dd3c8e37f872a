#include "foundation/LogSink.h"

#include <syslog.h>

void SyslogSink::write(int level, const QString& text)
{
    // The text goes through a fixed "%s": a percent sign in it stays literal.
    syslog(level, "%s", text.toUtf8().constData());
}

void CapturingLogSink::write(int level, const QString& text)
{
    std::lock_guard lock(m_mutex);
    m_entries.append(text);
    m_levels.append(level);
}

QStringList CapturingLogSink::entries() const
{
    std::lock_guard lock(m_mutex);
    return m_entries;
}

QList<int> CapturingLogSink::levels() const
{
    std::lock_guard lock(m_mutex);
    return m_levels;
}
