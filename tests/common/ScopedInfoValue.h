#pragma once

#include "foundation/HalvornLib.h"

#include <QString>
#include <optional>

// Overrides an information key of the application (HalvornLib) while the
// object lives, then puts back the value the key had before, so no override
// reaches the next test of the same process. Later overrides of the same key
// inside the scope are undone too.
class ScopedInfoValue final
{
public:
    ScopedInfoValue(const QString& key, const std::optional<QString>& value)
        : m_key(key), m_saved(appInfo().infoValue(key))
    {
        HalvornLib::overrideInfoValue(key, value);
    }
    ~ScopedInfoValue() { HalvornLib::overrideInfoValue(m_key, m_saved); }
    ScopedInfoValue(const ScopedInfoValue&) = delete;
    ScopedInfoValue& operator=(const ScopedInfoValue&) = delete;

private:
    QString m_key;
    std::optional<QString> m_saved;
};
