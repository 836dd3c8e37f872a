#pragma once

#include <QString>
#include <QStringList>

// The output file name of a movie: its name without the last extension, then
// "mp4", or "m4v" when the DefaultExtension setting is not 0.
QString outputFileName(const QString& movieFileName, qint64 defaultExtension);
// The name in the folder made unique like uniqueFile, also passing over the
// destinations of jobs already queued (which do not exist on disk yet).
QString uniqueDestination(const QString& folder, const QString& name,
                          const QStringList& queuedDestinations);
