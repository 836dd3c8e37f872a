#include "engine/SourceMovie.h"

#include "engine/RawNameLinks.h"
#include "foundation/Alerts.h"
#include "foundation/PathBytes.h"
#include "foundation/PathHelpers.h"
#include "foundation/PlatformServices.h"

#include <QFile>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Renames without replacing anything already at the new name.
bool renameNoReplace(const QByteArray& from, const QByteArray& to)
{
    return ::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0;
}

} // namespace

void deleteSourceMovie(const QString& path)
{
    if (const auto real = RawNameLinks::realPathBytes(path)) {
        if (::unlink(real->constData()) == 0)
            RawNameLinks::removeLink(path);
        return;
    }
    if (!path.isEmpty())
        QFile::remove(path);
}

void trashSourceMovie(const QString& path)
{
    const auto real = RawNameLinks::realPathBytes(path);
    if (!real) {
        workspaceService().moveToTrash(path);
        return;
    }
    // The Trash takes QString paths: the movie goes under its clean name,
    // given beside it for the move and given back when the move fails.
    const QByteArray folder = folderBytes(*real);
    if (!roundTripsAsName(folder)) {
        asl_NSLog(3, "Not moved to the Trash (its folder's name is not UTF-8): %@",
                  RawNameLinks::displayPath(path));
        return;
    }
    const QString clean =
        uniqueFile(QFile::decodeName(folder) + u'/' + cleanFileName(nameBytes(*real)));
    if (!renameNoReplace(*real, QFile::encodeName(clean)))
        return;
    if (workspaceService().moveToTrash(clean)) {
        RawNameLinks::removeLink(path);
        return;
    }
    renameNoReplace(QFile::encodeName(clean), *real);
}

void revealSourceMovie(const QString& path)
{
    if (const auto real = RawNameLinks::realPathBytes(path)) {
        // No QString names the movie for the file manager to select; its
        // folder's URL can carry the bytes.
        workspaceService().openURL(fileURLFromBytes(folderBytes(*real)));
        return;
    }
    workspaceService().revealFile(path);
}
