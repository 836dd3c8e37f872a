#pragma once

#include "inspection/SubtitleFileNames.h"

// A subtitle file whose name says nothing of language or kind.
inline SubtitleFile subtitleFileAt(const QString& path)
{
    SubtitleFile file;
    file.path = path;
    return file;
}
