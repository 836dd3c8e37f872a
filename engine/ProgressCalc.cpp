#include "engine/ProgressCalc.h"

#include "foundation/StringHelpers.h"

#include <cmath>

namespace {

// AAC bytes per second of running time, whatever the chosen bit rate.
constexpr double kAACBytesPerSecond = 15567.0;

std::optional<double> usableRuntime(std::optional<qint64> runtimeSeconds)
{
    if (!runtimeSeconds || *runtimeSeconds <= 0)
        return std::nullopt;
    return double(*runtimeSeconds);
}

} // namespace

std::optional<double> latestOutTimeSeconds(const QString& newText)
{
    static const QString key = QStringLiteral("out_time_ms=");
    const QStringList all = lines(newText);
    for (qsizetype i = all.size() - 1; i >= 0; --i) {
        if (!all[i].startsWith(key))
            continue;
        bool ok = false;
        const double micro = all[i].mid(key.size()).trimmed().toDouble(&ok);
        if (!ok || !std::isfinite(micro))
            return std::nullopt;
        return micro / 1000000.0;
    }
    return std::nullopt;
}

std::optional<float> progressFromOutTime(double t, std::optional<qint64> runtimeSeconds,
                                         bool multiConversion, int conversionStage)
{
    const std::optional<double> r = usableRuntime(runtimeSeconds);
    if (!(t > 0) || !r)
        return std::nullopt;
    if (multiConversion && conversionStage == 0)
        return float(t / *r * 75.0);
    if (multiConversion && conversionStage == 2)
        return float(92.0 + t / *r * 8.0);
    return float(t / *r * 100.0);
}

std::optional<float> encodingStageProgress(quint64 aacBytes, std::optional<qint64> runtimeSeconds)
{
    const std::optional<double> r = usableRuntime(runtimeSeconds);
    if (!r)
        return std::nullopt;
    return float(75.0 + 17.0 * double(aacBytes) / (*r * kAACBytesPerSecond));
}
