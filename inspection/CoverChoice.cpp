#include "inspection/CoverChoice.h"

#include <QCoreApplication>

namespace {

struct CoverTexts
{
    Q_DECLARE_TR_FUNCTIONS(CoverChoice)
};

bool heldPicture(const AttachedPicture& picture)
{
    return picture.codec == QLatin1String("mjpeg") || picture.codec == QLatin1String("png");
}

// The base name of an attachment, lowercase ("cover" for "Cover.JPG").
QString baseOf(const QString& fileName)
{
    const qsizetype dot = fileName.lastIndexOf(u'.');
    return (dot > 0 ? fileName.left(dot) : fileName).toLower();
}

} // namespace

std::optional<int> coverPictureStream(const QList<AttachedPicture>& pictures, QString& note)
{
    note.clear();
    const AttachedPicture* chosen = nullptr;
    for (const char* name : {"cover", "small_cover", "cover_land"}) {
        for (const AttachedPicture& picture : pictures)
            if (!chosen && baseOf(picture.fileName) == QLatin1String(name))
                chosen = &picture;
    }
    // An MP4's own cover has no name; a lone picture is the cover too.
    if (!chosen && pictures.size() == 1)
        chosen = &pictures.first();
    if (!chosen)
        for (const AttachedPicture& picture : pictures)
            if (!chosen && picture.fileName.isEmpty())
                chosen = &picture;
    if (!chosen)
        return std::nullopt;
    if (!heldPicture(*chosen)) {
        note =
            coverLeftOutNote(chosen->fileName.isEmpty() ? chosen->codec : chosen->fileName, false);
        return std::nullopt;
    }
    return chosen->stream;
}

QStringList coverNamesBeside(const QString& movieBaseName, bool onlyMovieInFolder)
{
    QStringList bases{movieBaseName, movieBaseName + QStringLiteral("-poster")};
    if (onlyMovieInFolder)
        bases << QStringLiteral("poster") << QStringLiteral("folder") << QStringLiteral("cover");
    QStringList names;
    for (const QString& base : bases)
        for (const char* extension : {".jpg", ".jpeg", ".png"})
            names.append(base + QLatin1String(extension));
    return names;
}

QString coverLeftOutNote(const QString& name, bool tooLarge)
{
    return tooLarge ? CoverTexts::tr("cover %1 left out: it is larger than 10 MB").arg(name)
                    : CoverTexts::tr("cover %1 left out: it is neither JPEG nor PNG").arg(name);
}

bool isJpegOrPng(const QByteArray& head)
{
    return head.startsWith(QByteArray("\xFF\xD8\xFF", 3)) ||
           head.startsWith(QByteArray("\x89PNG\r\n\x1A\n", 8));
}
