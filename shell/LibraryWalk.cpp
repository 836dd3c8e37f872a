#include "shell/LibraryWalk.h"

#include "engine/FinishedMarker.h"
#include "foundation/PathHelpers.h"
#include "shell/OutputName.h"
#include "shell/SubtitlePairing.h"

#include <QDir>
#include <QFileInfo>

namespace {

constexpr auto kEntrySort = QDir::Name | QDir::IgnoreCase;

bool insideTree(const QString& path, const QString& canonicalRoot)
{
    return path == canonicalRoot || path.startsWith(canonicalRoot + u'/');
}

// The tree's folders, depth first in name order, never through a link.
void collectFolders(const QString& folder, QStringList& out)
{
    out.append(folder);
    const QFileInfoList children = QDir(folder).entryInfoList(
        QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks, kEntrySort);
    for (const QFileInfo& child : children)
        collectFolders(child.absoluteFilePath(), out);
}

} // namespace

bool isLibraryMovie(const QString& path)
{
    if (!isMovieFile(path))
        return false;
    // Only files of the MP4 family can be outputs; reading their tag costs
    // a few box headers.
    static const QStringList outputs{"mp4", "m4v", "mov", "3gp", "3g2"};
    return !outputs.contains(pathExtension(path).toLower()) || !finishedMarkerOf(path);
}

QStringList foldersUnder(const QString& root)
{
    QStringList folders;
    const QFileInfo info(root);
    if (info.isDir())
        collectFolders(info.absoluteFilePath(), folders);
    return folders;
}

QStringList movieFilesIn(const QString& folder, const QString& root)
{
    const QString canonicalRoot = QFileInfo(root).canonicalFilePath();
    QStringList movies;
    const QFileInfoList files = QDir(folder).entryInfoList(QDir::Files, kEntrySort);
    for (const QFileInfo& file : files) {
        if (!isMovieFile(file.fileName()))
            continue;
        if (file.isSymLink() && !insideTree(file.canonicalFilePath(), canonicalRoot))
            continue;
        movies.append(file.absoluteFilePath());
    }
    return movies;
}

QStringList moviesUnder(const QString& root)
{
    QStringList movies;
    for (const QString& folder : foldersUnder(root))
        for (const QString& movie : movieFilesIn(folder, root))
            if (isLibraryMovie(movie))
                movies.append(movie);
    return movies;
}

QString libraryOutputFolder(const QString& movie, const QString& root, const QString& destination)
{
    const QString folder = QFileInfo(movie).absolutePath();
    if (destination.isEmpty())
        return folder;
    const QString relative = QDir(QFileInfo(root).absoluteFilePath()).relativeFilePath(folder);
    const QString base = QFileInfo(destination).absoluteFilePath();
    return relative == QLatin1String(".") || relative.startsWith(QLatin1String(".."))
               ? base
               : QDir::cleanPath(base + u'/' + relative);
}

std::optional<QString> convertedOutput(const QString& movie, const QString& outputFolder)
{
    const auto stamp = sourceStampOf(movie);
    if (!stamp)
        return std::nullopt;
    const QString self = QFileInfo(movie).absoluteFilePath();
    for (const qint64 extension : {0, 1}) {
        const QString plain =
            stringByAppendingPathComponent(outputFolder, outputFileName(stamp->name, extension));
        const QString base = stringByDeletingPathExtension(plain);
        const QString suffix = pathExtension(plain);
        // The plain name, then the numbered ones uniqueDestination gives, as
        // long as they exist.
        for (int n = -1; n < 1000; ++n) {
            const QString candidate =
                n < 0 ? plain : QStringLiteral("%1-%2.%3").arg(base).arg(n).arg(suffix);
            if (!fileExists(candidate)) {
                if (n < 0)
                    continue;
                break;
            }
            if (candidate != self && finishedMarkerOf(candidate) == stamp)
                return candidate;
        }
    }
    return std::nullopt;
}
