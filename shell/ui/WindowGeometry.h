#pragma once

class QWidget;

// The windows' places and sizes, kept in the settings file under keys of
// their own (QWidget::saveGeometry, which includes the maximised state) so
// they come back at the next start.

inline constexpr const char* kMainWindowGeometryKey = "MainWindowGeometry";
inline constexpr const char* kPreferencesWindowGeometryKey = "PreferencesWindowGeometry";
inline constexpr const char* kHelpWindowGeometryKey = "HelpWindowGeometry";

// False when nothing usable was stored (the window keeps its own size).
bool restoreWindowGeometry(QWidget& window, const char* key);
void saveWindowGeometry(const QWidget& window, const char* key);
