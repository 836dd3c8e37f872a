#pragma once

// Installs the desktop services of a Linux session (notifications, sleep
// inhibition, file manager, Trash); each does nothing where the desktop
// lacks it.
void installPlatformServices();
