#include "shell/FolderBookmarks.h"

#include <QDir>
#include <QFileInfo>

std::optional<QByteArray> bookmarkForFolder(const QString& folder, QString* error)
{
    const QFileInfo info(folder);
    if (folder.isEmpty() || !info.isDir()) {
        if (error)
            *error = QStringLiteral("The folder \u201c%1\u201d does not exist.").arg(folder);
        return std::nullopt;
    }
    return QDir::cleanPath(info.absoluteFilePath()).toUtf8();
}

std::optional<QString> resolveBookmark(const QByteArray& bookmark)
{
    if (bookmark.isEmpty())
        return std::nullopt;
    const QString path = QString::fromUtf8(bookmark);
    if (!QDir::isAbsolutePath(path) || !QFileInfo(path).isDir())
        return std::nullopt;
    return path;
}

bool startAccessingFolder(const QString& folder)
{
    return !folder.isEmpty() && QFileInfo(folder).isDir();
}

void stopAccessingFolder(const QString&) {}

bool isUsableBookmark(const QByteArray& bookmark)
{
    const auto folder = resolveBookmark(bookmark);
    if (!folder)
        return false;
    const bool accessible = startAccessingFolder(*folder);
    stopAccessingFolder(*folder);
    return accessible;
}
