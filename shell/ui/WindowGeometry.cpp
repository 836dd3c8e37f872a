#include "shell/ui/WindowGeometry.h"

#include "foundation/SettingsStore.h"

#include <QGuiApplication>
#include <QWidget>

namespace {

// Wayland lets no client place its own window: the compositor does.
bool windowsArePlacedByCompositor()
{
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

} // namespace

bool restoreWindowGeometry(QWidget& window, const char* key)
{
    const QVariant stored = SettingsStore::instance().value(QString::fromLatin1(key));
    if (stored.typeId() != QMetaType::QByteArray)
        return false;
    if (!windowsArePlacedByCompositor())
        return window.restoreGeometry(stored.toByteArray());
    // Only the size and the maximised state come back; the stored geometry
    // is read through a window that is never shown.
    QWidget reader;
    if (!reader.restoreGeometry(stored.toByteArray()))
        return false;
    window.resize(reader.normalGeometry().isValid() ? reader.normalGeometry().size()
                                                    : reader.size());
    if (reader.windowState() & Qt::WindowMaximized)
        window.setWindowState(window.windowState() | Qt::WindowMaximized);
    return true;
}

void saveWindowGeometry(const QWidget& window, const char* key)
{
    SettingsStore& store = SettingsStore::instance();
    store.setValue(QString::fromLatin1(key), window.saveGeometry());
    store.synchronize();
}
