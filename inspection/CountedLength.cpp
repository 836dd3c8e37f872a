#include "inspection/CountedLength.h"

#include "inspection/ProbeListing.h"
#include "inspection/VideoCodecs.h"

#include <cmath>

namespace {

// Half the wrap of the 33-bit, 90 kHz clock: no recording is that long, a
// jump back across the wrap always reads so.
constexpr double kHalfClockWrapSeconds = 8589934592.0 / 90000.0 / 2.0;
constexpr double kLeastBitsPerSecond = 32000.0;

} // namespace

bool lengthNeedsCounting(const ProbeResult& probe, std::optional<quint64> fileSize)
{
    if (!probe.runtimeSeconds || !probe.videoStream ||
        !hasDiscontinuousClock(probe.containerFormats))
        return false;
    const double seconds = double(*probe.runtimeSeconds);
    if (seconds > kHalfClockWrapSeconds)
        return true;
    return fileSize && seconds > 0 && double(*fileSize) * 8.0 / seconds < kLeastBitsPerSecond;
}

QStringList packetDurationsArguments(const QString& path)
{
    return {QStringLiteral("-v"),
            QStringLiteral("error"),
            QStringLiteral("-select_streams"),
            QStringLiteral("v:0"),
            QStringLiteral("-show_entries"),
            QStringLiteral("packet=duration_time"),
            QStringLiteral("-of"),
            QStringLiteral("csv=p=0"),
            path};
}

std::optional<double> summedPacketSeconds(const QString& output)
{
    double sum = 0;
    bool any = false;
    for (const QStringView line : QStringView(output).split(u'\n')) {
        bool ok = false;
        // ffprobe ends each line with a comma where a packet has side data.
        const double seconds = line.split(u',').first().trimmed().toDouble(&ok);
        // One frame lasts less than a minute; anything else is no duration.
        if (ok && seconds > 0 && seconds < 60) {
            sum += seconds;
            any = true;
        }
    }
    return any ? std::optional<double>(sum) : std::nullopt;
}

void applyCountedLength(ProbeResult& probe, double seconds, std::optional<quint64> fileSize)
{
    const qint64 whole = qint64(std::floor(seconds));
    probe.runtimeSeconds = whole;
    probe.durationText = QStringLiteral("%1:%2:%3")
                             .arg(whole / 3600, 2, 10, QChar(u'0'))
                             .arg(whole / 60 % 60, 2, 10, QChar(u'0'))
                             .arg(whole % 60, 2, 10, QChar(u'0'));
    if (fileSize && seconds > 0)
        probe.bitrateText =
            QStringLiteral("%1 kb/s").arg(qint64(double(*fileSize) * 8.0 / seconds / 1000.0));
}
