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

std::optional<float> progressFromOutTime(double t, std::optional<qint64> runtimeSeconds)
{
    const std::optional<double> r = usableRuntime(runtimeSeconds);
    if (!(t > 0) || !r)
        return std::nullopt;
    // A position past the stated running time (a longer track, a rounded
    // duration) stops at the end: the bar never goes back.
    return float(std::min(t / *r, 1.0) * 100.0);
}
