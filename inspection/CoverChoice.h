#pragma once

#include "inspection/ProbeListing.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

// Which picture becomes the MP4's cover: one the movie carries (a Matroska
// attachment named cover.*, then small_cover.*, then cover_land.*, then the
// only picture; an MP4's or MOV's own cover), else one beside the movie as
// media centres name them.

// An MP4 holds JPEG and PNG covers, up to this size.
inline constexpr qint64 kMaxCoverBytes = 10 * 1024 * 1024;

// The stream of the picture to use among those the movie carries; absent
// when none fits. `note` says why a picture that would have been chosen was
// left out (it is neither JPEG nor PNG).
std::optional<int> coverPictureStream(const QList<AttachedPicture>& pictures, QString& note);

// The names to look for beside the movie, in order: NAME.jpg,
// NAME-poster.jpg, then poster, folder and cover (those only when the folder
// holds this one movie), each as .jpg, .jpeg and .png.
QStringList coverNamesBeside(const QString& movieBaseName, bool onlyMovieInFolder);

// The note for a cover picture left out: neither JPEG nor PNG, or (with
// `tooLarge`) larger than kMaxCoverBytes.
QString coverLeftOutNote(const QString& name, bool tooLarge);

// Whether the first bytes of a file are those of a JPEG or a PNG picture.
bool isJpegOrPng(const QByteArray& head);
