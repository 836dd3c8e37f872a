#pragma once

#include <QByteArray>
#include <QString>

// The lines a conversion run prints, as plain values.

// "#####---------------" for 25 %: twenty places, filled by progress.
QString progressBar(float progress);
// One line of the report for scripts: a compact JSON object per movie with
// its path, output, state ("finished", "failed", "skipped") and explanation.
QByteArray reportLine(const QString& path, const QString& output, const char* state,
                      const QString& explanation);
