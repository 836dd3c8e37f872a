#pragma once

#include <QString>

class MKVFileInfo;

// Gives a probed movie the cover picture found beside it (NAME.jpg,
// NAME-poster.jpg, and poster, folder or cover when the folder holds this
// one movie) unless the movie carries one; a picture that is neither JPEG
// nor PNG, or larger than an MP4 cover may be, is passed over with a note.
// Looks in the folder: call it where file-system work may block.
void attachCoverBeside(MKVFileInfo& info, const QString& moviePath);
