#include "inspection/MKVFileInfo.h"

#include "foundation/BoundedTask.h"
#include "foundation/Dispatch.h"
#include "foundation/MakeString.h"
#include "foundation/PathHelpers.h"
#include "foundation/RememberedWarnings.h"
#include "foundation/SettingsAccess.h"
#include "foundation/SettingsKeys.h"
#include "foundation/ToolLocator.h"
#include "inspection/ProbeListing.h"

#include <QFile>
#include <sys/stat.h>

namespace {

constexpr int kDefaultProbeTimeoutSeconds = 30;

int probeTimeoutSeconds()
{
    const qint64 seconds = defaultInt(kProbeTimeoutKey);
    return seconds > 0 && seconds <= 86400 ? int(seconds) : kDefaultProbeTimeoutSeconds;
}

// The size of the movie that ffmpeg reads, so a link to a movie answers the
// movie's size (the free-space check relies on it); absent when the
// attributes cannot be read.
std::optional<quint64> sizeOfItem(const QString& path)
{
    struct stat attributes
    {
    };
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &attributes) != 0)
        return std::nullopt;
    return quint64(attributes.st_size);
}

void showWarning(const QString& key, const QString& fileName)
{
    alert_dontwarnagain_version(key, QStringLiteral("Warning"), warningMessage(key, fileName),
                                QStringLiteral("OK"), QStringLiteral("Don't warn again"));
}

void scheduleWarning(const QString& key, const QString& fileName)
{
    dispatch_after_main([key, fileName] { showWarning(key, fileName); }, 0.1f);
}

// Why a tool's run gives nothing to read, or empty when it ran.
QString failedRun(const QString& tool, const BoundedTaskResult& run, int timeoutSeconds)
{
    if (run.cancelled)
        return makeString("%@ was stopped because Vantreo is quitting.", tool);
    if (run.timedOut)
        return makeString("%@ did not answer within %i s.", tool, timeoutSeconds);
    return QString();
}

} // namespace

std::shared_ptr<MKVFileInfo> MKVFileInfo::initWithURL(const QUrl& url, Warnings warnings)
{
    auto info = std::make_shared<MKVFileInfo>();
    const QString path = url.isLocalFile() ? url.toLocalFile() : url.path();
    const QString name = lastPathComponent(path);
    const bool show = warnings == Warnings::Shown;

    QString unreadable;
    ProbeResult probe;
    std::optional<int> referenceFrames;
    if (fileExists(path) && !isRegularFile(path)) {
        // A FIFO, socket or device would keep ffmpeg waiting for ever.
        unreadable = QStringLiteral("It is not a regular file.");
    } else {
        const QString ffmpeg = ToolLocator::find(QStringLiteral("ffmpeg"));
        const QString mediainfo = ToolLocator::find(QStringLiteral("mediainfo"));
        QList<QStringList> commands{{ffmpeg, QStringLiteral("-i"), path}};
        // mediainfo reads only the headers; its count of reference frames is
        // the same as after reading the whole movie.
        if (!mediainfo.isEmpty())
            commands.append({mediainfo, QStringLiteral("--ParseSpeed=0"),
                             QStringLiteral("--Output=XML"), path});
        const int timeout = probeTimeoutSeconds();
        const QList<BoundedTaskResult> runs = ffmpeg.isEmpty()
                                                  ? QList<BoundedTaskResult>{}
                                                  : runBoundedTasks(commands, timeout * 1000);
        if (!runs.isEmpty()) {
            unreadable = failedRun(QStringLiteral("ffmpeg"), runs.at(0), timeout);
            if (unreadable.isEmpty())
                probe = parseFfmpegListing(runs.at(0).output);
        }
        if (probe.resolutionText && runs.size() > 1) {
            unreadable = failedRun(QStringLiteral("mediainfo"), runs.at(1), timeout);
            if (unreadable.isEmpty())
                referenceFrames = referenceFramesFromMediainfoXml(runs.at(1).output);
            else
                probe = ProbeResult{};
        }
    }

    QStringList raised;
    for (const QString& key : probe.warnings) {
        raised.append(key);
        if (show)
            showWarning(key, name);
    }

    info->m_subtitleTrackIDs = probe.textSubtitleStreams;
    info->m_subtitleTrackLanguages = probe.textSubtitleLanguages;
    info->m_nameTaggedStreams = probe.nameTaggedStreams;
    info->m_fileName = name;
    info->m_fileURL = url;
    info->m_fileSize = sizeOfItem(path);
    info->m_audioTrackInformation = probe.descriptors;
    info->m_videoTrackID = probe.videoStream;
    info->m_videoCodec = probe.videoStream ? probe.videoCodec : QString();
    info->m_runtimeSeconds = probe.runtimeSeconds;
    info->m_streamSeconds = probe.streamSeconds;
    info->m_informationString = summaryLine(probe);
    info->m_unreadableReason = unreadable;

    if (probe.resolutionText) {
        const auto [width, height] = dimensionsOfResolution(*probe.resolutionText);
        if (isResolutionTooHigh(width)) {
            raised.append(kTooHighResWarning);
            if (show)
                scheduleWarning(kTooHighResWarning, name);
        }
        if (referenceFrames && hasTooManyReferenceFrames(*referenceFrames, width, height)) {
            raised.append(kTooManyRefFramesWarning);
            if (show)
                scheduleWarning(kTooManyRefFramesWarning, name);
        }
    }
    info->m_raisedWarnings = raised;
    return info;
}
