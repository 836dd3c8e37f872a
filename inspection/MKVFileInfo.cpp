#include "inspection/MKVFileInfo.h"

#include "foundation/BoundedTask.h"
#include "foundation/Dispatch.h"
#include "foundation/MakeString.h"
#include "foundation/PathHelpers.h"
#include "foundation/RememberedWarnings.h"
#include "foundation/SettingsAccess.h"
#include "foundation/SettingsKeys.h"
#include "foundation/ToolLocator.h"
#include "inspection/CountedLength.h"
#include "inspection/MatroskaTags.h"
#include "inspection/ProbeListing.h"
#include "inspection/VideoCodecs.h"

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
        return makeString(MKVFileInfo::tr("%@ was stopped because Vantreo is quitting."), tool);
    if (run.timedOut)
        return makeString(MKVFileInfo::tr("%@ did not answer within %i s."), tool, timeoutSeconds);
    return QString();
}

// What the tools told about one movie.
struct Readings
{
    QString unreadable;
    ProbeResult probe;
    std::optional<int> referenceFrames;
    StreamTimings timings;
};

QString pathOf(const QUrl& url)
{
    return url.isLocalFile() ? url.toLocalFile() : url.path();
}

// A FIFO, socket or device would keep ffmpeg waiting for ever.
bool probeable(const QString& path)
{
    return !fileExists(path) || isRegularFile(path);
}

// Reads the listing of one input and, when it shows a resolution, the
// reference frames mediainfo counted; a mediainfo that failed to answer
// makes the movie unreadable.
Readings readingsOf(const QString& listing, const BoundedTaskResult* mediainfo,
                    const QString& mediainfoXml, int timeout)
{
    Readings r;
    r.probe = parseFfmpegListing(listing);
    if (r.probe.resolutionText && mediainfo) {
        r.unreadable = failedRun(QStringLiteral("mediainfo"), *mediainfo, timeout);
        if (r.unreadable.isEmpty())
            r.referenceFrames = referenceFramesFromMediainfoXml(mediainfoXml);
        else
            r.probe = ProbeResult{};
    }
    return r;
}

// Counts the length of each movie whose container clock is not to be
// believed (lengthNeedsCounting), all at once; a count that fails or runs
// out of time leaves the listing's length.
void countLengths(const QString& ffprobe, const QStringList& paths, QList<Readings>& readings,
                  int timeout)
{
    QList<QStringList> commands;
    QList<qsizetype> counted;
    for (qsizetype i = 0; i < readings.size() && i < paths.size(); ++i) {
        if (readings.at(i).unreadable.isEmpty() &&
            lengthNeedsCounting(readings.at(i).probe, sizeOfItem(paths.at(i)))) {
            commands.append(QStringList{ffprobe} + packetDurationsArguments(paths.at(i)));
            counted.append(i);
        }
    }
    if (commands.isEmpty())
        return;
    const QList<BoundedTaskResult> runs = runBoundedTasks(commands, timeout * 1000);
    for (qsizetype k = 0; k < runs.size() && k < counted.size(); ++k) {
        if (runs.at(k).status != 0)
            continue;
        const qsizetype i = counted.at(k);
        if (const auto seconds = summedPacketSeconds(runs.at(k).output))
            applyCountedLength(readings[i].probe, *seconds, sizeOfItem(paths.at(i)));
    }
}

// Lists every path with ffprobe, one run a movie, all at once, which prints
// ffmpeg's listing and the streams' timings together; mediainfo runs
// beside them, once for every path. Without ffprobe one ffmpeg lists them
// all (one "-i" each) and the timings stay unknown. Answers the readings of
// the paths listed, in order; fewer than given when that ffmpeg stopped at a
// path it could not open. Absent when a tool ran out of time on several
// movies: one stalled movie must not cost the others, so the caller asks for
// each alone.
std::optional<QList<Readings>> readTools(const QStringList& paths)
{
    const QString ffmpeg = ToolLocator::find(QStringLiteral("ffmpeg"));
    if (ffmpeg.isEmpty()) {
        QList<Readings> none(paths.size());
        return none;
    }
    const QString mediainfo = ToolLocator::find(QStringLiteral("mediainfo"));
    const QString ffprobe = ToolLocator::find(QStringLiteral("ffprobe"));
    // One ffprobe run reads a movie's headers once for both the listing and
    // the timings; a separate ffmpeg listing would read every movie again.
    const bool perMovie = !ffprobe.isEmpty();
    QList<QStringList> commands;
    if (perMovie) {
        for (const QString& path : paths)
            commands.append(QStringList{ffprobe} + listingAndTimingsArguments(path));
    } else {
        QStringList ffmpegCommand{ffmpeg};
        for (const QString& path : paths)
            ffmpegCommand << QStringLiteral("-i") << path;
        commands.append(ffmpegCommand);
    }
    const qsizetype listingRuns = commands.size();
    // mediainfo reads only the headers; its count of reference frames is the
    // same as after reading the whole movie.
    if (!mediainfo.isEmpty())
        commands.append(QStringList{mediainfo, QStringLiteral("--ParseSpeed=0"),
                                    QStringLiteral("--Output=XML")} +
                        paths);
    const int timeout = probeTimeoutSeconds();
    const QList<BoundedTaskResult> runs = runBoundedTasks(commands, timeout * 1000);
    const BoundedTaskResult* mediainfoRun =
        !mediainfo.isEmpty() && runs.size() > listingRuns ? &runs.at(listingRuns) : nullptr;

    const auto ranOut = [](const BoundedTaskResult& run) { return run.timedOut && !run.cancelled; };
    if (paths.size() > 1) {
        for (qsizetype i = 0; i < listingRuns; ++i)
            if (ranOut(runs.at(i)))
                return std::nullopt;
        if (mediainfoRun && ranOut(*mediainfoRun))
            return std::nullopt;
    }

    const QString listingTool = perMovie ? QStringLiteral("ffprobe") : QStringLiteral("ffmpeg");
    QList<Readings> readings;
    QStringList listings;
    if (!perMovie) {
        if (const QString failed = failedRun(listingTool, runs.at(0), timeout); !failed.isEmpty()) {
            for (qsizetype i = 0; i < paths.size(); ++i)
                readings.append(Readings{failed, {}, {}, {}});
            return readings;
        }
        listings =
            paths.size() == 1 ? QStringList{runs.at(0).output} : listingsByInput(runs.at(0).output);
    }
    const QHash<QString, QString> xml = mediainfoRun && paths.size() > 1
                                            ? mediainfoXmlByFile(mediainfoRun->output)
                                            : QHash<QString, QString>{};
    const qsizetype listed = perMovie ? paths.size() : qMin(listings.size(), paths.size());
    for (qsizetype i = 0; i < listed; ++i) {
        QString listing = perMovie ? QString() : listings.at(i);
        if (perMovie) {
            const QString failed = failedRun(listingTool, runs.at(i), timeout);
            if (!failed.isEmpty()) {
                readings.append(Readings{failed, {}, {}, {}});
                continue;
            }
            listing = listingPart(runs.at(i).output);
        }
        const QString movieXml =
            paths.size() == 1 && mediainfoRun ? mediainfoRun->output : xml.value(paths.at(i));
        readings.append(readingsOf(listing, mediainfoRun, movieXml, timeout));
        if (perMovie && runs.at(i).status == 0)
            readings.last().timings = parseStreamTimings(runs.at(i).output);
    }
    if (perMovie)
        countLengths(ffprobe, paths, readings, timeout);
    return readings;
}

// A Matroska episode's show and season, which ffmpeg does not list: the
// title of level 70 and the part number of level 60, as "show" and
// "season_number" where the listing has none.
QHash<QString, QString> withShowTags(QHash<QString, QString> listed, const QStringList& formats,
                                     const QString& path)
{
    if (!formats.contains(QStringLiteral("matroska")))
        return listed;
    const QHash<int, QHash<QString, QString>> levels = matroskaMovieTags(path);
    const QString show = levels.value(70).value(QStringLiteral("TITLE"));
    const QString season = levels.value(60).value(QStringLiteral("PART_NUMBER"));
    if (!show.isEmpty() && !listed.contains(QStringLiteral("show")))
        listed.insert(QStringLiteral("show"), show);
    if (!season.isEmpty() && !listed.contains(QStringLiteral("season_number")))
        listed.insert(QStringLiteral("season_number"), season);
    return listed;
}

std::shared_ptr<MKVFileInfo> makeInfo(const QUrl& url, const Readings& r,
                                      MKVFileInfo::Warnings warnings)
{
    auto info = std::make_shared<MKVFileInfo>();
    const QString path = pathOf(url);
    const QString name = lastPathComponent(path);
    const bool show = warnings == MKVFileInfo::Warnings::Shown;
    const ProbeResult& probe = r.probe;

    QStringList raised;
    for (const QString& key : probe.warnings) {
        raised.append(key);
        if (show)
            showWarning(key, name);
    }

    info->setSubtitleTrackIDs(probe.textSubtitleStreams);
    info->setSubtitleTrackLanguages(probe.textSubtitleLanguages);
    info->setPictureSubtitleTrackIDs(probe.pictureSubtitleStreams);
    info->setPictureSubtitleLanguages(probe.pictureSubtitleLanguages);
    info->setForcedSubtitleStreams(probe.forcedSubtitleStreams);
    info->setNameTaggedStreams(probe.nameTaggedStreams);
    info->setFileName(name);
    info->setFileURL(url);
    info->setFileSize(sizeOfItem(path));
    QList<AudioTrack> tracks = probe.audioTracks;
    for (AudioTrack& track : tracks)
        track.title = r.timings.titles.value(track.streamIndex);
    info->setAudioTracks(tracks);
    info->setVideoTrackID(probe.videoStream);
    info->setVideoCodec(probe.videoStream ? probe.videoCodec : QString());
    info->setContainerFormats(probe.containerFormats);
    info->setMovieTags(withShowTags(probe.movieTags, probe.containerFormats, path));
    info->setAttachedPictures(probe.attachedPictures);
    if (probe.videoStream && probe.resolutionText)
        info->setVideoHeight(dimensionsOfResolution(*probe.resolutionText).second);
    info->setPlaybackNote(probe.videoStream ? probe.playbackNote : QString());
    info->setDolbyVisionProfile(probe.videoStream ? probe.dolbyVisionProfile : std::nullopt);
    info->setRuntimeSeconds(probe.runtimeSeconds);
    info->setStreamSeconds(probe.streamSeconds);
    info->setStreamTimings(r.timings);
    info->setInformationString(summaryLine(probe));
    info->setUnreadableReason(r.unreadable);

    if (probe.resolutionText) {
        const auto [width, height] = dimensionsOfResolution(*probe.resolutionText);
        if (isResolutionTooHigh(width)) {
            raised.append(kTooHighResWarning);
            if (show)
                scheduleWarning(kTooHighResWarning, name);
        }
        if (r.referenceFrames && hasTooManyReferenceFrames(*r.referenceFrames, width, height)) {
            raised.append(kTooManyRefFramesWarning);
            if (show)
                scheduleWarning(kTooManyRefFramesWarning, name);
        }
    }
    info->setRaisedWarnings(raised);
    return info;
}

} // namespace

std::shared_ptr<MKVFileInfo> MKVFileInfo::initWithURL(const QUrl& url, Warnings warnings)
{
    const QString path = pathOf(url);
    if (!probeable(path))
        return makeInfo(url, Readings{tr("It is not a regular file."), {}, {}, {}}, warnings);
    const std::optional<QList<Readings>> readings = readTools({path});
    return makeInfo(url, readings && !readings->isEmpty() ? readings->first() : Readings{},
                    warnings);
}

QList<std::shared_ptr<MKVFileInfo>> MKVFileInfo::initWithURLs(const QList<QUrl>& urls,
                                                              Warnings warnings)
{
    QList<std::shared_ptr<MKVFileInfo>> infos;
    qsizetype next = 0;
    while (next < urls.size()) {
        // The movies up to the next one that must not be opened.
        QStringList paths;
        while (next + paths.size() < urls.size() && probeable(pathOf(urls.at(next + paths.size()))))
            paths.append(pathOf(urls.at(next + paths.size())));
        if (paths.size() <= 1) {
            infos.append(initWithURL(urls.at(next), warnings));
            ++next;
            continue;
        }
        const std::optional<QList<Readings>> batch = readTools(paths);
        if (!batch) {
            for (qsizetype i = 0; i < paths.size(); ++i)
                infos.append(initWithURL(urls.at(next++), warnings));
            continue;
        }
        const QList<Readings>& readings = *batch;
        for (const Readings& r : readings)
            infos.append(makeInfo(urls.at(next++), r, warnings));
        // ffmpeg stopped at a movie it could not open: that one alone, as
        // ffmpeg answers for it by itself, then the rest together again.
        if (readings.size() < paths.size()) {
            infos.append(initWithURL(urls.at(next), warnings));
            ++next;
        }
    }
    return infos;
}

std::optional<QUrl> MKVFileInfo::subtitleFileURL() const
{
    if (m_subtitleFiles.isEmpty())
        return std::nullopt;
    return QUrl::fromLocalFile(m_subtitleFiles.first().path);
}

void MKVFileInfo::setSubtitleFileURL(const std::optional<QUrl>& v)
{
    m_subtitleFiles.clear();
    if (v)
        m_subtitleFiles.append(subtitleFileFor(m_fileURL.toLocalFile(), v->toLocalFile()));
}

QString MKVFileInfo::refusalReason() const
{
    if (const QString reason = notAMovieContainerReason(m_containerFormats); !reason.isEmpty())
        return reason;
    return m_videoTrackID ? uncopyableVideoReason(m_videoCodec) : QString();
}
