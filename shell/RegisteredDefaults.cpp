#include "shell/RegisteredDefaults.h"

#include "foundation/Setting.h"
#include "foundation/SettingsStore.h"

#include <mutex>

QVariantHash registeredDefaultsTable()
{
    return registeredSettingDefaults();
}

void registerDefaultSettings()
{
    static std::once_flag once;
    std::call_once(once,
                   [] { SettingsStore::instance().registerDefaults(registeredDefaultsTable()); });
}

QStringList allSettingsKeys()
{
    QStringList keys;
    for (const DeclaredSetting& s : declaredSettings())
        keys.append(s.key);
    return keys;
}
