#pragma once

// Settings of the desktop front end alone.

// 1 once the user was told that closing the window keeps Vantreo in the tray.
inline constexpr const char* kTrayNoticeShownKey = "TrayNoticeShown";
