#include "inspection/MKVFileInfo.h"

#include "foundation/Dispatch.h"
#include "foundation/PathHelpers.h"
#include "foundation/ProcessRunner.h"
#include "foundation/RememberedWarnings.h"
#include "foundation/ToolLocator.h"
#include "inspection/ProbeListing.h"

#include <QFile>
#include <sys/stat.h>

namespace {

// The tool's combined output; empty when the tool is missing, cannot run or
// prints something that is not UTF-8.
QString toolOutput(const QString& tool, const QStringList& arguments)
{
    const QString executable = ToolLocator::find(tool);
    if (executable.isEmpty())
        return QString();
    return runAsTask(QStringList{executable} + arguments).value_or(QString());
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

} // namespace

std::shared_ptr<MKVFileInfo> MKVFileInfo::initWithURL(const QUrl& url)
{
    auto info = std::make_shared<MKVFileInfo>();
    const QString path = url.isLocalFile() ? url.toLocalFile() : url.path();
    const QString name = lastPathComponent(path);

    const ProbeResult probe =
        parseFfmpegListing(toolOutput(QStringLiteral("ffmpeg"), {QStringLiteral("-i"), path}));
    QStringList raised;
    for (const QString& key : probe.warnings) {
        raised.append(key);
        showWarning(key, name);
    }

    info->m_subtitleTrackIDs = probe.textSubtitleStreams;
    info->m_fileName = name;
    info->m_fileURL = url;
    info->m_fileSize = sizeOfItem(path);
    info->m_audioTrackInformation = probe.descriptors;
    info->m_videoTrackID = probe.videoStream;
    info->m_videoCodec = probe.videoStream ? probe.videoCodec : QString();
    info->m_runtimeSeconds = probe.runtimeSeconds;
    info->m_informationString = summaryLine(probe);

    if (probe.resolutionText) {
        const auto [width, height] = dimensionsOfResolution(*probe.resolutionText);
        if (isResolutionTooHigh(width)) {
            raised.append(kTooHighResWarning);
            scheduleWarning(kTooHighResWarning, name);
        }
        const std::optional<int> referenceFrames = referenceFramesFromMediainfoXml(
            toolOutput(QStringLiteral("mediainfo"), {QStringLiteral("--Output=XML"), path}));
        if (referenceFrames && hasTooManyReferenceFrames(*referenceFrames, width, height)) {
            raised.append(kTooManyRefFramesWarning);
            scheduleWarning(kTooManyRefFramesWarning, name);
        }
    }
    info->m_raisedWarnings = raised;
    return info;
}
