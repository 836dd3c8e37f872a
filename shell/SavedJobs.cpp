#include "shell/SavedJobs.h"

#include "engine/ConversionJob.h"
#include "engine/JobFactory.h"
#include "engine/JobState.h"
#include "engine/RawNameLinks.h"
#include "foundation/PathHelpers.h"
#include "shell/FolderBookmarks.h"

namespace {

void rememberRawName(SavedJob& job, const QString& path)
{
    if (const std::optional<QByteArray> bytes = RawNameLinks::realPathBytes(path))
        job.rawNames.insert(path, *bytes);
}

QString usablePath(const SavedJob& job, const QString& path)
{
    const auto raw = job.rawNames.constFind(path);
    return raw == job.rawNames.constEnd() ? path : RawNameLinks::usablePath(*raw);
}

// What the list shows of a job whose movie is not probed.
MKVFileInfoPtr savedInfo(const SavedJob& saved)
{
    auto info = std::make_shared<MKVFileInfo>();
    info->setFileURL(QUrl::fromLocalFile(saved.moviePath));
    info->setFileName(saved.fileName.isEmpty() ? lastPathComponent(saved.moviePath)
                                               : saved.fileName);
    info->setInformationString(saved.summary);
    info->setAudioTrackInformation(saved.audioTracks);
    return info;
}

} // namespace

SavedJob savedJobFor(const ConversionJob& job)
{
    SavedJob saved;
    const MKVFileInfoPtr& info = job.fileInfo();
    saved.moviePath = job.sourcePath();
    saved.destinationPath = job.destinationPath();
    saved.audioTrackIndex = job.audioTrackIndex();
    saved.settings = job.settingsSnapshot();
    saved.subtitleChoice = job.subtitleChoice();
    saved.slowmode = job.slowmode();
    saved.fastmode = job.fastmode();
    if (info) {
        if (info->securityURL())
            saved.accessFolder = info->securityURL()->toLocalFile();
        saved.subtitleFiles = info->subtitleFiles();
        saved.pictureSubtitleFiles = info->pictureSubtitleFiles();
        saved.fileName = info->fileName();
        saved.summary = info->informationString();
        saved.audioTracks = info->audioTrackInformation();
    }
    rememberRawName(saved, saved.moviePath);
    for (const SubtitleFile& file : saved.subtitleFiles + saved.pictureSubtitleFiles)
        rememberRawName(saved, file.path);
    if (job.state() == JobFinished || job.state() == JobFailed) {
        saved.state = job.state();
        saved.outcome = job.outcome();
    } else {
        saved.state = JobQueued;
    }
    return saved;
}

SavedJob withUsablePaths(SavedJob job)
{
    if (job.rawNames.isEmpty())
        return job;
    job.moviePath = usablePath(job, job.moviePath);
    for (SubtitleFile& file : job.subtitleFiles)
        file.path = usablePath(job, file.path);
    for (SubtitleFile& file : job.pictureSubtitleFiles)
        file.path = usablePath(job, file.path);
    return job;
}

ConversionJob* restoredJob(const SavedJob& saved, const MKVFileInfoPtr& probed,
                           const QString& failure)
{
    const bool ended = saved.state == JobFinished || saved.state == JobFailed;
    const bool waiting = !ended && failure.isEmpty() && probed;
    const MKVFileInfoPtr info = waiting ? probed : savedInfo(saved);
    info->setDestinationURL(QUrl::fromLocalFile(saved.destinationPath));
    if (!saved.accessFolder.isEmpty() && startAccessingFolder(saved.accessFolder))
        info->setSecurityURL(QUrl::fromLocalFile(saved.accessFolder));
    const qsizetype files = saved.subtitleFiles.size() + saved.pictureSubtitleFiles.size();
    info->setSubtitleFiles(saved.subtitleFiles);
    info->setPictureSubtitleFiles(saved.pictureSubtitleFiles);
    // Every subtitle file counts as one more track, as when it was added.
    if (waiting && files > 0)
        info->setInformationString(
            QString(info->informationString()).replace(u')', QStringLiteral("+%1)").arg(files)));

    const int track = saved.audioTrackIndex <= qulonglong(INT_MAX) ? int(saved.audioTrackIndex) : 0;
    ConversionJob* job = makeConversionJob({info, track, saved.subtitleChoice, saved.settings});
    // A job that waits shows the speed of its method; an ended one what it
    // showed when it ended.
    if (!waiting) {
        job->setSlowmode(saved.slowmode);
        job->setFastmode(saved.fastmode);
    }
    if (ended) {
        job->restoreEnded(saved.state, saved.outcome);
    } else if (!waiting) {
        JobOutcome outcome;
        outcome.progress = 0;
        outcome.explanation = FailureExplanation{QStringLiteral("Conversion Failed"), failure,
                                                 QStringLiteral("OK"), QString(), false};
        job->restoreEnded(JobFailed, outcome);
    }
    return job;
}
