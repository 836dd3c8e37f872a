#include "inspection/StreamEnds.h"

#include "foundation/StringHelpers.h"

#include <cmath>
#include <optional>

namespace {

std::optional<double> numberAfter(const QString& line, QLatin1String key)
{
    const qsizetype at = line.indexOf(key);
    if (at < 0)
        return std::nullopt;
    const qsizetype from = at + key.size();
    qsizetype to = line.indexOf(u'|', from);
    if (to < 0)
        to = line.size();
    bool ok = false;
    const double value = line.mid(from, to - from).trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace

QStringList streamEndsArguments(const QString& path)
{
    return {QStringLiteral("-v"),
            QStringLiteral("error"),
            QStringLiteral("-read_intervals"),
            QStringLiteral("999999%"),
            QStringLiteral("-show_entries"),
            QStringLiteral("packet=stream_index,pts_time,duration_time:format=start_time,duration"),
            QStringLiteral("-of"),
            QStringLiteral("compact"),
            QStringLiteral("-i"),
            path};
}

QHash<int, StreamEnd> parseStreamEnds(const QString& text)
{
    QHash<int, StreamEnd> ends;
    std::optional<double> containerEnd;
    for (const QString& line : lines(text)) {
        if (line.startsWith(QLatin1String("format|"))) {
            const auto start = numberAfter(line, QLatin1String("|start_time="));
            const auto duration = numberAfter(line, QLatin1String("|duration="));
            if (duration && *duration > 0)
                containerEnd = start.value_or(0) + *duration;
            continue;
        }
        if (!line.startsWith(QLatin1String("packet|")))
            continue;
        const std::optional<double> stream = numberAfter(line, QLatin1String("|stream_index="));
        const std::optional<double> pts = numberAfter(line, QLatin1String("|pts_time="));
        if (!stream || *stream < 0 || !pts)
            continue;
        const double duration =
            std::max(0.0, numberAfter(line, QLatin1String("|duration_time=")).value_or(0));
        const int index = int(*stream);
        const double end = *pts + duration;
        if (!ends.contains(index) || end >= ends.value(index).seconds)
            ends.insert(index, StreamEnd{end, duration});
    }
    if (containerEnd)
        for (StreamEnd& end : ends)
            end.seconds = std::min(end.seconds, *containerEnd + end.frameSeconds);
    return ends;
}
