#pragma once

#include <QCoreApplication>
#include <QString>

// Finds the external tools (ffmpeg, mediainfo, MP4Box, afconvert): first in
// the folder named by VANTREO_TOOLS_DIR, then in our own tools folder, then
// in the resources folder, then on PATH. Empty when a tool is nowhere.
class ToolLocator final
{
    Q_DECLARE_TR_FUNCTIONS(ToolLocator)

public:
    static QString find(const QString& name);
    // The application's resources folder: ../share/vantreo beside the
    // program when installed, ../resources in the build tree, or the folder
    // named by VANTREO_RESOURCES_DIR.
    static QString resourcesDir();
    // Where our own MP4Box and afconvert live: ../lib/vantreo beside the
    // program when installed (executables belong under lib, not share),
    // else the resources folder (the build tree builds them there).
    static QString toolsDir();
    // How to get a missing tool on Debian.
    static QString installHint(const QString& name);
};
