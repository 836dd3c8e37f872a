// Fuzzes the sorting of handed-over files with random names and contents: a
// file is written under a fuzzed name (suffix and extension included) with
// fuzzed first bytes, then classified and sorted together with more names.

#include "foundation/PathHelpers.h"
#include "fuzz/FuzzInput.h"
#include "inspection/SubtitleFileNames.h"
#include "shell/SubtitlePairing.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace fuzz_subtitle_intake {

namespace {

// A file name from fuzzed bytes: no folder separators or NULs, short enough
// for any file system, never "." or "..".
QString safeName(const QByteArray& bytes)
{
    QByteArray name = bytes.left(60);
    name.replace('/', '_').replace('\0', '_');
    return QStringLiteral("f") + QString::fromUtf8(name);
}

const QStringList kExtensions = {"srt", "SUB", "sub", "ass", "mkv",
                                 "MP4", "ogm", "txt", "",    "en.srt"};

} // namespace

int fuzzOne(const std::uint8_t* data, std::size_t size)
{
    static QTemporaryDir dir;
    if (!dir.isValid())
        return 0;
    FuzzInput input(data, size);
    const QByteArray& payload = input.payload();

    // Payload: names separated by '|', then after a NUL the first file's bytes.
    const qsizetype nul = payload.indexOf('\0');
    const QByteArray namePart = nul < 0 ? payload : payload.left(nul);
    const QByteArray content = nul < 0 ? QByteArray() : payload.mid(nul + 1, 64);

    QStringList files;
    for (const QByteArray& piece : namePart.split('|').mid(0, 8)) {
        QString name = safeName(piece);
        // Half of the names get a known extension ("" leaves a bare dot) so
        // every branch is reached; the others keep whatever the bytes hold.
        const std::uint32_t pick = input.next(std::uint32_t(kExtensions.size()) * 2);
        if (pick < kExtensions.size())
            name += QStringLiteral(".") + kExtensions.at(pick);
        files.append(dir.filePath(name));
    }

    const QString first = files.first();
    QFile file(first);
    const bool written = file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
    file.close();

    const QString extension = pathExtension(first).toLower();
    const bool subtitle = isSubtitleFile(first);
    if (written && extension == QLatin1String("sub"))
        fuzzCheck(subtitle != content.startsWith(QByteArray("\x00\x00\x01\xBA", 4)),
                  "a sub file is a text subtitle unless it starts with a pack header");
    if (textSubtitleExtensions().contains(extension) && extension != QLatin1String("sub") &&
        extension != QLatin1String("stl"))
        fuzzCheck(subtitle, "text subtitle types are subtitles");

    QStringList subtitles;
    const QStringList movies = sortIntakeFiles(files, subtitles);
    for (const QString& movie : movies)
        fuzzCheck(files.contains(movie) && isMovieCandidate(movie), "movies come from the files");
    for (const QString& path : files) {
        if (!isMovieCandidate(path))
            fuzzCheck(!movies.contains(path), "only movies are movies");
        if (isSubtitleFile(path) && !isMovieFile(path))
            fuzzCheck(subtitles.contains(path), "a subtitle file is remembered");
    }
    for (const QString& movie : movies)
        for (const QString& subtitle : subtitlesForMovie(movie, subtitles))
            fuzzCheck(subtitles.contains(subtitle), "a movie's subtitles come from the files");

    QFile::remove(first);
    return 0;
}

} // namespace fuzz_subtitle_intake

#ifdef VANTREO_LIBFUZZER
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return fuzz_subtitle_intake::fuzzOne(data, size);
}
#endif
