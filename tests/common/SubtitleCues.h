#pragma once

#include <QList>
#include <QString>

// The cues of a written file's subtitle track, as ffmpeg reads them back.
struct Cue
{
    double start = 0;
    QString text;
};

// The cues of the file's subtitle track `track` (0 the first) that hold
// text; the empty samples between cues of an MP4 text track are left out.
QList<Cue> subtitleCues(const QString& path, int track);
