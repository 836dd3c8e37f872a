#pragma once

#include "foundation/PlatformServices.h"

// Opening links, revealing files and the Trash on a Linux desktop: reveal
// through org.freedesktop.FileManager1.ShowItems, falling back to opening
// the folder; links through xdg-open; the Trash through QFile::moveToTrash.
class LinuxWorkspace final : public Workspace
{
public:
    void openURL(const QUrl& url) override;
    void revealFile(const QString& path) override;
    bool moveToTrash(const QString& path) override;
};
