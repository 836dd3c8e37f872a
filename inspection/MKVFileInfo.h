#pragma once

#include "inspection/AudioTrack.h"
#include "inspection/ProbeListing.h"
#include "inspection/StreamTimings.h"
#include "inspection/SubtitleFileNames.h"

#include <QCoreApplication>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <memory>
#include <optional>

// What a movie holds, as the probe found it, plus what the shell adds on the
// way to the queue (destination, access folder, subtitle file). Shared
// between the add panel and the job made from it; written by the probe on
// its thread before it is handed over, afterwards only on the main thread.
class MKVFileInfo final
{
    Q_DECLARE_TR_FUNCTIONS(MKVFileInfo)

public:
    // How the playability warnings reach the user: as alerts (the parse
    // warnings at once, the others on the main thread 0.1 s later), or only
    // in raisedWarnings, for a caller that reports them itself at once.
    enum class Warnings { Shown, Collected };

    // Probes the movie with ffmpeg and mediainfo, started together; what
    // mediainfo says counts only when ffmpeg found a resolution. Blocks
    // while the tools run (each for at most ProbeTimeout seconds): call it
    // off the main thread. Never fails for a bad movie: unreadable input
    // gives empty lists and absent values, and unreadableReason says why
    // when the cause is known.
    static std::shared_ptr<MKVFileInfo> initWithURL(const QUrl& url,
                                                    Warnings warnings = Warnings::Shown);
    // The same for several movies at once, answered in the order given:
    // ffmpeg and mediainfo each start once for all of them (every start of
    // ffmpeg costs a noticeable part of a second), which reads the same
    // listing for each movie as a probe of its own.
    static QList<std::shared_ptr<MKVFileInfo>> initWithURLs(const QList<QUrl>& urls,
                                                            Warnings warnings = Warnings::Shown);

    // The audio tracks as the probe found them.
    const QList<AudioTrack>& audioTracks() const { return m_audioTracks; }
    void setAudioTracks(const QList<AudioTrack>& v) { m_audioTracks = v; }
    // Their descriptor lines ("#1: eng (ac3) [5.1]"), as the audio pop-up and
    // the probe command show them.
    QStringList audioTrackInformation() const { return descriptorsOf(m_audioTracks); }
    // Tracks kept as descriptor lines by an earlier run (a saved queue).
    void setAudioTrackInformation(const QStringList& v)
    {
        m_audioTracks = audioTracksFromDescriptors(v);
    }
    const QString& informationString() const { return m_informationString; }
    void setInformationString(const QString& v) { m_informationString = v; }
    const QString& fileName() const { return m_fileName; }
    void setFileName(const QString& v) { m_fileName = v; }
    const QUrl& fileURL() const { return m_fileURL; }
    void setFileURL(const QUrl& v) { m_fileURL = v; }
    const QUrl& destinationURL() const { return m_destinationURL; }
    void setDestinationURL(const QUrl& v) { m_destinationURL = v; }
    std::optional<int> videoTrackID() const { return m_videoTrackID; }
    void setVideoTrackID(std::optional<int> v) { m_videoTrackID = v; }
    // The codec word of the video track ("h264", "hevc", …); empty without one.
    const QString& videoCodec() const { return m_videoCodec; }
    void setVideoCodec(const QString& v) { m_videoCodec = v; }
    // The names ffmpeg gives the movie's format ("matroska", "webm").
    const QStringList& containerFormats() const { return m_containerFormats; }
    void setContainerFormats(const QStringList& v) { m_containerFormats = v; }
    // Where the video does not play ("its VP9 video plays on computers and
    // Android, not on iPhone or Apple TV."); empty when it plays everywhere.
    const QString& playbackNote() const { return m_playbackNote; }
    void setPlaybackNote(const QString& v) { m_playbackNote = v; }
    // The movie's own tags as ffmpeg lists them (ProbeResult::movieTags).
    const QHash<QString, QString>& movieTags() const { return m_movieTags; }
    void setMovieTags(const QHash<QString, QString>& v) { m_movieTags = v; }
    // The pictures the movie carries (attachments, an MP4's cover).
    const QList<AttachedPicture>& attachedPictures() const { return m_attachedPictures; }
    void setAttachedPictures(const QList<AttachedPicture>& v) { m_attachedPictures = v; }
    // A cover picture found beside the movie (poster.jpg); empty without.
    const QString& coverFile() const { return m_coverFile; }
    void setCoverFile(const QString& v) { m_coverFile = v; }
    // Why a cover picture was left out ("poster.bmp is neither JPEG nor
    // PNG"); empty when none was.
    const QString& coverNote() const { return m_coverNote; }
    void setCoverNote(const QString& v) { m_coverNote = v; }
    // The video's height in lines; absent without a video track.
    std::optional<int> videoHeight() const { return m_videoHeight; }
    void setVideoHeight(std::optional<int> v) { m_videoHeight = v; }
    // Why the movie cannot be converted though it was read: it is no movie
    // container, or an MP4 cannot hold its video. Empty when it can.
    QString refusalReason() const;
    // The Dolby Vision profile of the video track (5, 8, …); absent when the
    // track carries no Dolby Vision configuration.
    std::optional<int> dolbyVisionProfile() const { return m_dolbyVisionProfile; }
    void setDolbyVisionProfile(std::optional<int> v) { m_dolbyVisionProfile = v; }
    std::optional<qint64> runtimeSeconds() const { return m_runtimeSeconds; }
    void setRuntimeSeconds(std::optional<qint64> v) { m_runtimeSeconds = v; }
    // Each stream's own length in seconds, by stream number, where the movie
    // names it (Matroska files do); a subtitle may outlast the movie.
    const QHash<int, double>& streamSeconds() const { return m_streamSeconds; }
    void setStreamSeconds(const QHash<int, double>& v) { m_streamSeconds = v; }
    // When each stream starts (ffprobe's reading); empty when unknown.
    const StreamTimings& streamTimings() const { return m_streamTimings; }
    void setStreamTimings(const StreamTimings& v) { m_streamTimings = v; }
    std::optional<quint64> fileSize() const { return m_fileSize; }
    void setFileSize(std::optional<quint64> v) { m_fileSize = v; }
    const QList<int>& subtitleTrackIDs() const { return m_subtitleTrackIDs; }
    void setSubtitleTrackIDs(const QList<int>& v) { m_subtitleTrackIDs = v; }
    // The language word of each of those streams, in the same order ("unk"
    // when untagged).
    const QStringList& subtitleTrackLanguages() const { return m_subtitleTrackLanguages; }
    void setSubtitleTrackLanguages(const QStringList& v) { m_subtitleTrackLanguages = v; }
    // The subtitle streams in a picture format (read as text) and their
    // language words, in the same order.
    const QList<int>& pictureSubtitleTrackIDs() const { return m_pictureSubtitleTrackIDs; }
    void setPictureSubtitleTrackIDs(const QList<int>& v) { m_pictureSubtitleTrackIDs = v; }
    const QStringList& pictureSubtitleLanguages() const { return m_pictureSubtitleLanguages; }
    void setPictureSubtitleLanguages(const QStringList& v) { m_pictureSubtitleLanguages = v; }
    // The subtitle streams the movie marks forced.
    const QList<int>& forcedSubtitleStreams() const { return m_forcedSubtitleStreams; }
    void setForcedSubtitleStreams(const QList<int>& v) { m_forcedSubtitleStreams = v; }
    // The streams whose language the probe read from a name ("English").
    const QList<int>& nameTaggedStreams() const { return m_nameTaggedStreams; }
    void setNameTaggedStreams(const QList<int>& v) { m_nameTaggedStreams = v; }
    // The subtitle files written as subtitle tracks, in order: given with
    // the movie or found beside it.
    const QList<SubtitleFile>& subtitleFiles() const { return m_subtitleFiles; }
    void setSubtitleFiles(const QList<SubtitleFile>& v) { m_subtitleFiles = v; }
    // The first of them; absent without any.
    std::optional<QUrl> subtitleFileURL() const;
    // Sets that one file alone, with what its name says.
    void setSubtitleFileURL(const std::optional<QUrl>& v);
    // Picture subtitle files beside the movie or given with it (a PGS
    // .sup, a VobSub .idx with its .sub), read as text like the picture
    // streams, with what their names say.
    const QList<SubtitleFile>& pictureSubtitleFiles() const { return m_pictureSubtitleFiles; }
    void setPictureSubtitleFiles(const QList<SubtitleFile>& v) { m_pictureSubtitleFiles = v; }
    // Subtitle files beside the movie that cannot be read (a VobSub .sub
    // without its .idx), for a note.
    const QStringList& skippedSubtitleFiles() const { return m_skippedSubtitleFiles; }
    void setSkippedSubtitleFiles(const QStringList& v) { m_skippedSubtitleFiles = v; }
    const std::optional<QUrl>& securityURL() const { return m_securityURL; }
    void setSecurityURL(const std::optional<QUrl>& v) { m_securityURL = v; }

    // The warning keys the probe raised, in the order raised, whether or not
    // the "Don't warn again" memory showed them.
    const QStringList& raisedWarnings() const { return m_raisedWarnings; }
    void setRaisedWarnings(const QStringList& v) { m_raisedWarnings = v; }

    // Why the movie could not be read at all (a tool that did not answer in
    // time, a file that is not a regular file); empty when the probe ran.
    const QString& unreadableReason() const { return m_unreadableReason; }
    void setUnreadableReason(const QString& v) { m_unreadableReason = v; }

private:
    QList<AudioTrack> m_audioTracks;
    QString m_informationString;
    QString m_fileName;
    QUrl m_fileURL;
    QUrl m_destinationURL;
    std::optional<int> m_videoTrackID;
    QString m_videoCodec;
    QStringList m_containerFormats;
    QHash<QString, QString> m_movieTags;
    QList<AttachedPicture> m_attachedPictures;
    QString m_coverFile;
    QString m_coverNote;
    std::optional<int> m_videoHeight;
    QString m_playbackNote;
    std::optional<int> m_dolbyVisionProfile;
    std::optional<qint64> m_runtimeSeconds;
    QHash<int, double> m_streamSeconds;
    StreamTimings m_streamTimings;
    std::optional<quint64> m_fileSize;
    QList<int> m_subtitleTrackIDs;
    QStringList m_subtitleTrackLanguages;
    QList<int> m_pictureSubtitleTrackIDs;
    QStringList m_pictureSubtitleLanguages;
    QList<int> m_forcedSubtitleStreams;
    QList<SubtitleFile> m_pictureSubtitleFiles;
    QList<int> m_nameTaggedStreams;
    QList<SubtitleFile> m_subtitleFiles;
    QStringList m_skippedSubtitleFiles;
    std::optional<QUrl> m_securityURL;
    QStringList m_raisedWarnings;
    QString m_unreadableReason;
};

using MKVFileInfoPtr = std::shared_ptr<MKVFileInfo>;
