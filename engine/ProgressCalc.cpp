#include "engine/ProgressCalc.h"

#include "foundation/StringHelpers.h"

#include <algorithm>
#include <cmath>

namespace {

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
    // A position past the stated running time (a longer track, a rounded
    // duration) stops at the stage's end: the bar never goes back.
    const double done = std::min(t / *r, 1.0);
    const StageShares shares = stageShares(encodedTracks);
    if (multiConversion && conversionStage < 2)
        return float(done * (shares.extraction + shares.encoding));
    if (multiConversion && conversionStage == 2)
        return float(shares.extraction + shares.encoding + done * shares.mux);
    return float(done * 100.0);
}
