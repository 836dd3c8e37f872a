#include "engine/AfterJobActions.h"

#include "engine/ConversionJob.h"
#include "engine/JobEnding.h"
#include "engine/JobHost.h"

void removeFinishedJob(ConversionJob& job, JobHost&)
{
    if (job.state() == JobFinished && job.settings().autoClean != 0)
        job.remove();
}

void disposeOfSource(ConversionJob& job, JobHost&)
{
    const ConversionSettings s = job.settings();
    if (job.state() == JobFinished && s.autoRemove != 0)
        disposeOfSourceMovie(job.sourcePath(), s.autoRemoveType != 0);
}

void notifyEnd(ConversionJob& job, JobHost&)
{
    const QString name = job.fileInfo() ? job.fileInfo()->fileName() : QString();
    notifyJobEnd(job.state() == JobFailed, name, job.destinationPath());
}

void quitWhenIdle(ConversionJob& job, JobHost& host)
{
    if (job.settings().quitAfterConversion != 0 && host.jobCountWithState(JobConverting) == 0)
        host.terminateApplication();
}

AfterJobActions desktopAfterJobActions()
{
    return {removeFinishedJob, disposeOfSource, notifyEnd, quitWhenIdle};
}

AfterJobActions commandLineAfterJobActions()
{
    return {removeFinishedJob, disposeOfSource, notifyEnd};
}
