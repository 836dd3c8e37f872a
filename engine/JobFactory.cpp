#include "engine/JobFactory.h"

#include "engine/ConversionJob.h"

ConversionJob* makeConversionJob(const JobRequest& request)
{
    auto* job = new ConversionJob;
    job->setFileInfo(request.fileInfo);
    const qsizetype tracks = request.fileInfo ? request.fileInfo->audioTracks().size() : 0;
    const bool inside = request.audioTrackIndex >= 0 && request.audioTrackIndex < tracks;
    job->setAudioTrackIndex(qulonglong(inside ? request.audioTrackIndex : 0));
    if (request.settings)
        job->setSettingsSnapshot(*request.settings);
    job->setSubtitleChoice(request.subtitleChoice);
    job->presetSpeedInfo();
    return job;
}
