#include "engine/ProgressCalc.h"

#include "foundation/StringHelpers.h"

#include <algorithm>
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

// The shares of the three stages of the AAC method, out of 100 in all.
struct StageShares
{
    double extraction, encoding, mux;
};

StageShares stageShares(int encodedTracks)
{
    const double extra = 17.0 * std::max(0, encodedTracks);
    const double scale = 100.0 / (100.0 + extra);
    return {75.0 * scale, 17.0 * scale, (8.0 + extra) * scale};
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
                                         bool multiConversion, int conversionStage,
                                         int encodedTracks)
{
    const std::optional<double> r = usableRuntime(runtimeSeconds);
    if (!(t > 0) || !r)
        return std::nullopt;
    const StageShares shares = stageShares(encodedTracks);
    if (multiConversion && conversionStage == 0)
        return float(t / *r * shares.extraction);
    if (multiConversion && conversionStage == 2)
        return float(shares.extraction + shares.encoding + t / *r * shares.mux);
    return float(t / *r * 100.0);
}

std::optional<float> encodingStageProgress(quint64 aacBytes, std::optional<qint64> runtimeSeconds,
                                           int encodedTracks)
{
    const std::optional<double> r = usableRuntime(runtimeSeconds);
    if (!r)
        return std::nullopt;
    const StageShares shares = stageShares(encodedTracks);
    return float(shares.extraction +
                 shares.encoding * double(aacBytes) / (*r * kAACBytesPerSecond));
}
