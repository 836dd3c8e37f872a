#pragma once

#include "engine/ConversionSettings.h"
#include "inspection/MKVFileInfo.h"

#include <QStringList>
#include <optional>

class ConversionJob;

// What a new job is made of, whichever front end makes it: the add panel,
// the command line, a saved queue.
struct JobRequest
{
    MKVFileInfoPtr fileInfo; // with its destination set
    int audioTrackIndex = 0; // a track outside the movie's list reads as 0
    // The subtitle tracks chosen for this movie (SubtitleTrack keys);
    // absent: the settings choose.
    std::optional<QStringList> subtitleChoice;
    // The settings it converts with; absent: the queue snapshots the
    // settings of the moment when it takes the job.
    std::optional<ConversionSettings> settings;
};

// The one way jobs are made: the movie and its track, the subtitle choice
// and settings, and the speed icons of the conversion method. The caller
// owns the job until a queue takes it.
ConversionJob* makeConversionJob(const JobRequest& request);
