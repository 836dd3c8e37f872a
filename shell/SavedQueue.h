#pragma once

#include "engine/ConversionSettings.h"
#include "engine/JobOutcome.h"
#include "engine/JobState.h"
#include "inspection/SubtitleFileNames.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// One job of a saved queue: what makes the job again in the next run, and
// what the list shows of it once it has ended.
struct SavedJob
{
    QString moviePath;
    QString destinationPath;
    // The saved destination folder the job holds access to; empty for none.
    QString accessFolder;
    qulonglong audioTrackIndex = 0;
    QList<SubtitleFile> subtitleFiles;
    // The picture subtitle files, read as text, and the subtitle tracks
    // chosen for the movie (absent: the settings chose).
    QList<SubtitleFile> pictureSubtitleFiles;
    std::optional<QStringList> subtitleChoice;
    // The settings the job was queued with.
    std::optional<ConversionSettings> settings;
    // A JobState. Only Queued, Finished and Failed are kept: a job that was
    // converting or paused has lost its tools and starts again.
    JobState state = JobState::Queued;
    // The paths above that are our links to items whose names are not UTF-8,
    // with the real items' bytes: the links of a run do not outlive it.
    QHash<QString, QByteArray> rawNames;

    // What the list shows of the job; an ended job comes back with these
    // alone (its movie may be gone by now, deleted after the conversion).
    QString fileName;
    QString summary;
    QStringList audioTracks;
    bool slowmode = false;
    bool fastmode = false;
    JobOutcome outcome;
};

// The text of a saved queue, and the jobs back from it; absent for a text
// that is not a saved queue (not JSON, values of the wrong type, a job
// without its movie or destination, an unknown state).
QByteArray savedQueueText(const QList<SavedJob>& jobs);
std::optional<QList<SavedJob>> parseSavedQueue(const QByteArray& text);

// The saved queue of the desktop program, in the application's data folder.
QString savedQueuePath();
// The jobs saved at `path`; none when there is no such file. A file that
// cannot be read as a saved queue is set aside, renamed with ".bad"
// appended (replacing an older one), and gives none.
QList<SavedJob> loadSavedQueue(const QString& path);
// Replaces the file in one step: a crash leaves the old or the new queue,
// never part of one. False when it could not be written.
bool writeSavedQueue(const QString& path, const QList<SavedJob>& jobs);
