#include "shell/ui/WindowGeometry.h"

#include "foundation/SettingsStore.h"

#include <QWidget>

bool restoreWindowGeometry(QWidget& window, const char* key)
{
    const QVariant stored = SettingsStore::instance().value(QString::fromLatin1(key));
    if (stored.typeId() != QMetaType::QByteArray)
        return false;
    return window.restoreGeometry(stored.toByteArray());
}

void saveWindowGeometry(const QWidget& window, const char* key)
{
    SettingsStore& store = SettingsStore::instance();
    store.setValue(QString::fromLatin1(key), window.saveGeometry());
    store.synchronize();
}
