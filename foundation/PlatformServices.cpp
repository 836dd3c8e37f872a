#include "foundation/PlatformServices.h"

#include <mutex>

namespace {
std::mutex servicesMutex;

template <typename T> std::unique_ptr<T>& storage()
{
    static std::unique_ptr<T> service = std::make_unique<T>();
    return service;
}

template <typename T> T& get()
{
    std::lock_guard lock(servicesMutex);
    return *storage<T>();
}

template <typename T> void put(std::unique_ptr<T> service)
{
    std::lock_guard lock(servicesMutex);
    if (service)
        storage<T>() = std::move(service);
}
} // namespace

Workspace& workspaceService()
{
    return get<Workspace>();
}
void setWorkspaceService(std::unique_ptr<Workspace> service)
{
    put(std::move(service));
}
UserNotifier& userNotifier()
{
    return get<UserNotifier>();
}
void setUserNotifier(std::unique_ptr<UserNotifier> service)
{
    put(std::move(service));
}
SleepInhibitor& sleepInhibitor()
{
    return get<SleepInhibitor>();
}
void setSleepInhibitor(std::unique_ptr<SleepInhibitor> service)
{
    put(std::move(service));
}
