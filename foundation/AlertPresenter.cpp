#include "foundation/AlertPresenter.h"

#include "foundation/TerminalAlertPresenter.h"

#include <mutex>

namespace {
std::mutex presenterMutex;
std::unique_ptr<AlertPresenter>& presenterStorage()
{
    static std::unique_ptr<AlertPresenter> presenter = std::make_unique<TerminalAlertPresenter>();
    return presenter;
}
} // namespace

AlertKind alertKindFor(const AlertRequest& request)
{
    if (request.kind != AlertKind::Automatic)
        return request.kind;
    if (request.title == QLatin1String("Conversion Failed") ||
        request.title == QLatin1String("Fatal Error") ||
        !alertParts(request.message).details.isEmpty())
        return AlertKind::Critical;
    if (request.title == QLatin1String("Warning"))
        return AlertKind::Warning;
    return AlertKind::Information;
}

AlertParts alertParts(const QString& message)
{
    static const QString marker = QStringLiteral("\n\nCommand-line: ");
    const qsizetype at = message.indexOf(marker);
    if (at < 0)
        return {message, {}};
    return {message.left(at).trimmed(), message.mid(at + 2)};
}

AlertPresenter& alertPresenter()
{
    std::lock_guard lock(presenterMutex);
    return *presenterStorage();
}

void setAlertPresenter(std::unique_ptr<AlertPresenter> presenter)
{
    std::lock_guard lock(presenterMutex);
    if (presenter)
        presenterStorage() = std::move(presenter);
}
