#include "platform/InstallPlatformServices.h"

#include "platform/DBusNotifier.h"
#include "platform/LinuxWorkspace.h"
#include "platform/Login1SleepInhibitor.h"

void installPlatformServices()
{
    setWorkspaceService(std::make_unique<LinuxWorkspace>());
    setSleepInhibitor(std::make_unique<Login1SleepInhibitor>());
    setUserNotifier(std::make_unique<DBusNotifier>());
}
