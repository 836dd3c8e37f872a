#pragma once

#include <QString>

// Finds the external tools (ffmpeg, mediainfo, MP4Box, afconvert): first in
// the folder named by VANTREO_TOOLS_DIR, then in the resources folder, then
// on PATH. Empty when a tool is nowhere.
class ToolLocator final
{
public:
    static QString find(const QString& name);
    // The application's resources folder: ../share/vantreo beside the
    // program when installed, ../resources in the build tree, or the folder
    // named by VANTREO_RESOURCES_DIR.
    static QString resourcesDir();
    // How to get a missing tool on Debian.
    static QString installHint(const QString& name);
};
