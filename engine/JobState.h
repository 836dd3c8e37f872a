#pragma once

#include <QCoreApplication>
#include <QString>
#include <optional>

// The life of a job. The numbers are shared with the saved queue and the
// status value transformers.
enum class JobState : int { Queued = 0, Converting = 1, Paused = 2, Finished = 3, Failed = 4 };

// The short names the queue, the shell and the tests use.
inline constexpr JobState JobQueued = JobState::Queued;
inline constexpr JobState JobConverting = JobState::Converting;
inline constexpr JobState JobPaused = JobState::Paused;
inline constexpr JobState JobFinished = JobState::Finished;
inline constexpr JobState JobFailed = JobState::Failed;

// The state a stored number names; absent for any other number.
inline std::optional<JobState> jobStateFromNumber(qint64 number)
{
    if (number < int(JobState::Queued) || number > int(JobState::Failed))
        return std::nullopt;
    return JobState(number);
}

// The label the status line shows for a state.
inline QString jobStateLabel(JobState state)
{
    switch (state) {
    case JobState::Queued:
        return QCoreApplication::translate("JobState", "Queued");
    case JobState::Converting:
        return QCoreApplication::translate("JobState", "Converting");
    case JobState::Paused:
        return QCoreApplication::translate("JobState", "Paused");
    case JobState::Finished:
        return QCoreApplication::translate("JobState", "Finished");
    case JobState::Failed:
        return QCoreApplication::translate("JobState", "Failed");
    }
    return {};
}

// How a job treats the audio of its movie. The custom-style settings store
// these numbers.
enum ConversionMethod : int {
    MethodAACViaWAV = 0,   // decoded to WAV, encoded to AAC, joined with the video
    MethodAC3Stereo = 1,   // transcoded by ffmpeg to 2-channel AC3
    MethodAC3Surround = 2, // transcoded by ffmpeg to 6-channel AC3
    MethodCopy = 3         // copied unchanged
};
