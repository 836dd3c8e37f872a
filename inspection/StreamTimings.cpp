#include "inspection/StreamTimings.h"

#include "foundation/StringHelpers.h"

#include <cmath>

namespace {

// The value of `key` among the "key=value" fields of a compact line.
std::optional<QString> fieldValue(const QStringList& fields, const QString& key)
{
    const QString prefix = key + u'=';
    for (const QString& f : fields)
        if (f.startsWith(prefix))
            return f.mid(prefix.size());
    return std::nullopt;
}

std::optional<double> secondsOf(const std::optional<QString>& value)
{
    if (!value)
        return std::nullopt;
    bool ok = false;
    const double seconds = value->toDouble(&ok);
    // A start past a day is no start a movie has; "N/A" does not parse.
    if (!ok || !std::isfinite(seconds) || std::fabs(seconds) > 86400)
        return std::nullopt;
    return seconds;
}

} // namespace

QStringList streamTimingsArguments(const QString& path)
{
    return {QStringLiteral("-v"),
            QStringLiteral("error"),
            QStringLiteral("-show_entries"),
            QStringLiteral("stream=index,start_time,sample_rate:format=start_time"),
            QStringLiteral("-of"),
            QStringLiteral("compact"),
            QStringLiteral("-i"),
            path};
}

StreamTimings parseStreamTimings(const QString& text)
{
    StreamTimings timings;
    for (const QString& line : lines(text)) {
        const QStringList fields = line.trimmed().split(u'|');
        if (fields.isEmpty())
            continue;
        if (fields.first() == QLatin1String("format")) {
            timings.inputStart = secondsOf(fieldValue(fields, QStringLiteral("start_time")));
            continue;
        }
        if (fields.first() != QLatin1String("stream"))
            continue;
        bool ok = false;
        const int index =
            fieldValue(fields, QStringLiteral("index")).value_or(QString()).toInt(&ok);
        if (!ok || index < 0)
            continue;
        if (const auto start = secondsOf(fieldValue(fields, QStringLiteral("start_time"))))
            timings.starts.insert(index, *start);
        const int rate =
            fieldValue(fields, QStringLiteral("sample_rate")).value_or(QString()).toInt();
        if (rate > 0)
            timings.sampleRates.insert(index, rate);
    }
    return timings;
}
