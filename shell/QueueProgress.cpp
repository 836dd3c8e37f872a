#include "shell/QueueProgress.h"

#include "engine/ConversionJob.h"
#include "engine/JobState.h"

#include <algorithm>
#include <cmath>

QueueProgress queueProgress(const QList<JobProgressSample>& jobs)
{
    QueueProgress out;
    double sum = 0;
    for (const JobProgressSample& job : jobs) {
        if (job.state == JobFinished || job.state == JobFailed)
            continue;
        ++out.left;
        if (job.state == JobConverting)
            ++out.converting;
        // The progress of a job can pass 100 a little, or be NaN before the
        // first report.
        const double p = std::isfinite(job.progress) ? job.progress : 0.0;
        sum += std::clamp(p, 0.0, 100.0);
    }
    if (out.left > 0)
        out.percent = int(std::floor(sum / out.left));
    return out;
}

QueueProgress queueProgress(const QList<ConversionJob*>& jobs)
{
    QList<JobProgressSample> samples;
    for (const ConversionJob* job : jobs)
        samples.append({job->state(), job->progress()});
    return queueProgress(samples);
}

QString titleWithProgress(const QString& title, const QueueProgress& progress)
{
    if (progress.converting == 0)
        return title;
    return QStringLiteral("%1% \u2013 %2").arg(progress.percent).arg(title);
}
