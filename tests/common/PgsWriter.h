#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Blu-ray picture subtitles (PGS) made at test time: every event's lines are
// drawn with a system font, white with a black outline and one grey for the
// anti-aliasing, on a transparent background, centred near the bottom of the
// video, and stored as a .sup file (one display set at the event's start, one
// that clears the screen at its end).

struct PgsEvent
{
    double start = 0; // seconds
    double end = 0;
    QStringList lines;
    bool forced = false; // the composition object's forced flag
};

struct PgsStyle
{
    int width = 1920; // the video size the compositions name
    int height = 1080;
    QString family = QStringLiteral("DejaVu Sans");
    int pixelSize = 48;
    bool bold = false;
};

// Writes the events (in any order) as a .sup file; false when a font could
// not be drawn or the file could not be written. Drawing text needs a
// QGuiApplication: in a program without one (the test programs run a
// QCoreApplication) the program is run again as a helper that draws and
// writes the file.
bool writePgs(const QString& path, const QList<PgsEvent>& events, const PgsStyle& style = {});
