#pragma once

#include <QCoreApplication>
#include <QString>

// The life of a job. The numbers are shared with the queue and the status
// value transformers.
enum JobState : int {
    JobQueued = 0,
    JobConverting = 1,
    JobPaused = 2,
    JobFinished = 3,
    JobFailed = 4
};

// The label the status line shows for a state; empty for an unknown number.
inline QString jobStateLabel(int state)
{
    switch (state) {
    case JobQueued:
        return QCoreApplication::translate("JobState", "Queued");
    case JobConverting:
        return QCoreApplication::translate("JobState", "Converting");
    case JobPaused:
        return QCoreApplication::translate("JobState", "Paused");
    case JobFinished:
        return QCoreApplication::translate("JobState", "Finished");
    case JobFailed:
        return QCoreApplication::translate("JobState", "Failed");
    default:
        return {};
    }
}

// How a job treats the audio of its movie. The custom-style settings store
// these numbers.
enum ConversionMethod : int {
    MethodAACViaWAV = 0,   // decoded to WAV, encoded to AAC, joined with the video
    MethodAC3Stereo = 1,   // transcoded by ffmpeg to 2-channel AC3
    MethodAC3Surround = 2, // transcoded by ffmpeg to 6-channel AC3
    MethodCopy = 3         // copied unchanged
};
