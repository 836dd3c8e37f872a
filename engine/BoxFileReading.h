#pragma once

#include "mp4box/Mp4Boxes.h"

class QFile;

// Reads an open file for the box walkers, with a seek per read: only the
// headers and the small boxes they look for are read, never the media.
mp4::ReadAt readAtFile(QFile& file);
