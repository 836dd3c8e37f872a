#pragma once

#include <QString>
#include <optional>

class ConversionJob;

// What happens when a job's process ends: for the three-process method the
// next stage starts at once; after the last process MP4Box sets the surround
// track, the written file is read back and checked, and only a good one is
// moved to the destination before the job says Finished. Then the
// after-conversion settings, the next job, the notification and the optional
// quit. The job keeps its state and controls; this is its ending.
class CompletionPipeline final
{
public:
    explicit CompletionPipeline(ConversionJob& job) : m_job(job) {}
    CompletionPipeline(const CompletionPipeline&) = delete;
    CompletionPipeline& operator=(const CompletionPipeline&) = delete;

    // Called by the job once the common steps at the end of every process
    // (timer, output, progress file) are done; `status` is the exit status.
    void processEnded(int status);

private:
    void startNextStage();
    void endStageFailure(bool noSpace);
    void endLastProcess(bool success);
    // MP4Box -enable or -disable on track 3, the surround track.
    void setSurroundTrackEnabled(bool enabled);
    // MP4Box -enable or -disable on one track; its output, absent when it
    // could not run (either is logged as an error).
    std::optional<QString> setTrackEnabled(int trackId, bool enabled);
    // Reads the written file back; false (with the reason kept on the job)
    // when it lacks what the command line mapped.
    bool verifyWrittenFile();
    bool moveToDestination();
    void fail();
    void finishJob();
    void notifyEnd();
    void showFreeSpaceFailureAlert();

    ConversionJob& m_job;
};
