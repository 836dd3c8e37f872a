#pragma once

#include <QStringList>
#include <QVariantHash>

// The 18 registered defaults of the settings.
QVariantHash registeredDefaultsTable();
// Registers them with the settings store; once per process.
void registerDefaultSettings();
// Every key the program reads or writes, in a stable order (the command
// line's settings listing).
QStringList allSettingsKeys();
