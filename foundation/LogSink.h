#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <mutex>

// Where log entries go: the system log, or a capture in tests. One entry per
// call; the text is never read as a format.
class LogSink
{
public:
    virtual ~LogSink() = default;
    virtual void write(int level, const QString& text) = 0;
};

class SyslogSink final : public LogSink
{
public:
    void write(int level, const QString& text) override;
};

class CapturingLogSink final : public LogSink
{
public:
    void write(int level, const QString& text) override;
    QStringList entries() const;
    QList<int> levels() const;

private:
    mutable std::mutex m_mutex;
    QStringList m_entries;
    QList<int> m_levels;
};
