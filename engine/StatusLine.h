#pragma once

#include "engine/JobState.h"
#include "inspection/AudioTrack.h"

#include <QString>
#include <QStringList>

// What a job's status line is made of.
struct StatusLineInputs
{
    JobState state = JobState::Queued;
    float progress = 0;
    double elapsedSeconds = 0; // since the job's first process started
    double tookSeconds = 0;    // from start to finish
    QList<AudioTrack> audioTracks;
    int audioTrackIndex = 0;
    bool multiConversion = false;
    // 1 when the job reads picture subtitles before it converts (a task of
    // its own), and whether it does so now.
    int readingTasks = 0;
    bool readingSubtitles = false;
    QString warning; // what a Finished job warns of, shown after its duration
};

// "Status: <label>", with the audio tracks, the remaining time and the task
// number while converting, the duration when finished, a hint when failed.
QString stateInfoString(const StatusLineInputs& in);
