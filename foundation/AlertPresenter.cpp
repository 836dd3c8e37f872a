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
