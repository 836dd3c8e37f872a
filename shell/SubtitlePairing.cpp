#include "shell/SubtitlePairing.h"

#include "foundation/PathHelpers.h"

#include <QFile>

namespace {
QString lowerExtension(const QString& path)
{
    return pathExtension(path).toLower();
}
} // namespace

bool isMovieFile(const QString& path)
{
    return kMovieFileTypes.contains(lowerExtension(path));
}

bool isSubtitleFile(const QString& path)
{
    const QString extension = lowerExtension(path);
    if (kTextSubtitleTypes.contains(extension))
        return true;
    if (extension != QLatin1String("sub"))
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return true; // cannot be read: not known to be an image subtitle
    // A file shorter than four bytes reads as zeros for the missing bytes.
    return quint32(readInt(file)) != 0xBA010000u;
}

void rememberSubtitle(QHash<QString, QString>& subtitlesByBase, const QString& subtitlePath)
{
    const QString once = stringByDeletingPathExtension(subtitlePath);
    subtitlesByBase.insert(once, subtitlePath);
    subtitlesByBase.insert(stringByDeletingPathExtension(once), subtitlePath);
}

QStringList sortIntakeFiles(const QStringList& files, QHash<QString, QString>& subtitlesByBase)
{
    for (const QString& path : files)
        if (kTextSubtitleTypes.contains(lowerExtension(path)))
            rememberSubtitle(subtitlesByBase, path);
    for (const QString& path : files)
        if (lowerExtension(path) == QLatin1String("sub") && isSubtitleFile(path))
            rememberSubtitle(subtitlesByBase, path);
    QStringList movies;
    for (const QString& path : files)
        if (isMovieFile(path))
            movies.append(path);
    return movies;
}

QString subtitleKeyForMovie(const QString& moviePath)
{
    return stringByDeletingPathExtension(moviePath);
}
