#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class MKVFileInfo;

// The lines a conversion run prints, as plain values.

// "#####---------------" for 25 %: twenty places, filled by progress.
QString progressBar(float progress);
// One line of the report for scripts: a compact JSON object per movie with
// its path, output, state ("finished", "failed", "skipped") and explanation.
QByteArray reportLine(const QString& path, const QString& output, const char* state,
                      const QString& explanation);

// What the run says of a movie before converting it: its playability
// warnings as the desktop would show them (minus those the user silenced)
// and its notes (where it plays, a cover left out, subtitle files passed
// over), one line each.
QStringList movieNoteLines(const MKVFileInfo& info);
