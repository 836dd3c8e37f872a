#include "shell/CoverBeside.h"

#include "inspection/CoverChoice.h"
#include "inspection/MKVFileInfo.h"
#include "shell/SubtitlePairing.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

void attachCoverBeside(MKVFileInfo& info, const QString& moviePath)
{
    QString note;
    if (coverPictureStream(info.attachedPictures(), note)) {
        info.setCoverNote(note);
        return;
    }
    const QFileInfo movie(moviePath);
    const QFileInfoList entries = movie.absoluteDir().entryInfoList(QDir::Files);
    int movies = 0;
    for (const QFileInfo& entry : entries)
        movies += isMovieFile(entry.fileName()) ? 1 : 0;
    // Names are matched in any case: "Poster.JPG" is a poster too.
    for (const QString& name : coverNamesBeside(movie.completeBaseName(), movies <= 1)) {
        for (const QFileInfo& entry : entries) {
            if (entry.fileName().compare(name, Qt::CaseInsensitive) != 0)
                continue;
            QFile file(entry.absoluteFilePath());
            const bool picture = file.open(QIODevice::ReadOnly) && isJpegOrPng(file.read(8));
            if (!picture || entry.size() > kMaxCoverBytes) {
                note = coverLeftOutNote(entry.fileName(), picture);
            } else {
                info.setCoverFile(entry.absoluteFilePath());
                info.setCoverNote(QString());
                return;
            }
        }
    }
    info.setCoverNote(note);
}
