#include "shell/SubtitlePairing.h"

#include "foundation/PathHelpers.h"
#include "inspection/MKVFileInfo.h"
#include "inspection/SubtitleFileNames.h"

#include <QFileInfo>

bool isMovieFile(const QString& path)
{
    return kMovieFileTypes.contains(pathExtension(path).toLower());
}

bool isMovieCandidate(const QString& path)
{
    if (isMovieFile(path))
        return true;
    // What sits beside movies in a release folder and is never one.
    static const QStringList others{
        "jpg",    "jpeg", "png", "gif", "bmp",  "webp",    "tif",  "tiff", "heic", "svg", "nfo",
        "txt",    "md",   "pdf", "htm", "html", "xml",     "json", "nzb",  "sfv",  "md5", "sha1",
        "sha256", "url",  "log", "ini", "cfg",  "db",      "zip",  "rar",  "7z",   "tar", "gz",
        "xz",     "exe",  "iso", "doc", "docx", "torrent", "part", "srr",  "sub",  "idx", "sup"};
    return isRegularFile(path) && !isSubtitleFile(path) &&
           !others.contains(pathExtension(path).toLower());
}

bool isSubtitleFile(const QString& path)
{
    return subtitleFileKind(path) == SubtitleFileKind::Text || isPictureSubtitleFile(path);
}

bool isPictureSubtitleFile(const QString& path)
{
    return subtitleFileKind(path) == SubtitleFileKind::Image &&
           pathExtension(path).toLower() != QLatin1String("sub");
}

bool subtitleBelongsToMovie(const QString& moviePath, const QString& subtitlePath)
{
    const QFileInfo movie(moviePath);
    const QFileInfo subtitle(subtitlePath);
    if (movie.absolutePath() != subtitle.absolutePath())
        return false;
    // As the subtitle files beside a movie are found: the base name alone
    // or followed by ".", "_" or " ", in any case.
    const QString base = movie.completeBaseName();
    const QString name = subtitle.completeBaseName();
    if (name.compare(base, Qt::CaseInsensitive) == 0)
        return true;
    if (!name.startsWith(base, Qt::CaseInsensitive) || name.size() <= base.size())
        return false;
    const QChar next = name.at(base.size());
    return next == u'.' || next == u'_' || next == u' ';
}

QStringList sortIntakeFiles(const QStringList& files, QStringList& subtitles)
{
    QStringList movies;
    for (const QString& path : files) {
        if (isMovieCandidate(path))
            movies.append(path);
        else if (isSubtitleFile(path) && !subtitles.contains(path))
            subtitles.append(path);
    }
    return movies;
}

QStringList subtitlesForMovie(const QString& moviePath, const QStringList& subtitles)
{
    QStringList found;
    for (const QString& path : subtitles)
        if (subtitleBelongsToMovie(moviePath, path))
            found.append(path);
    return found;
}

void attachSubtitleFiles(MKVFileInfo& info, const QString& moviePath, const QStringList& given,
                         bool besideMovie, const QStringList& languages)
{
    QList<SubtitleFile> files, pictures;
    for (const QString& path : given)
        (isPictureSubtitleFile(path) ? pictures : files).append(subtitleFileFor(moviePath, path));
    if (besideMovie) {
        const SubtitleFilesBeside beside = subtitleFilesBeside(moviePath);
        files += beside.text;
        pictures += beside.picture;
        info.setSkippedSubtitleFiles(beside.unreadable);
    }
    files = orderedSubtitleFiles(files, languages);
    pictures = orderedSubtitleFiles(pictures, languages);
    info.setPictureSubtitleFiles(pictures);
    if (files.isEmpty() && pictures.isEmpty())
        return;
    info.setSubtitleFiles(files);
    // Every subtitle file counts as one more track.
    info.setInformationString(
        QString(info.informationString())
            .replace(u')', QStringLiteral("+%1)").arg(files.size() + pictures.size())));
}
