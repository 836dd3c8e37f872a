#pragma once

#include "engine/ConversionSettings.h"
#include "engine/FfmpegCommand.h"
#include "inspection/AudioTrack.h"
#include "inspection/MovieTags.h"
#include "inspection/StreamTimings.h"
#include "inspection/SubtitleFileNames.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

// What the ffmpeg command lines of a job are built from.
struct ConversionInputs
{
    // outputPath is the file ffmpeg writes: the job's hidden partial file,
    // renamed to the destination only once the job is Finished.
    QString sourcePath, outputPath, progressFile;
    int videoTrackID = 0;          // 0 when the movie has none
    QString videoCodec;            // the probe's codec word: "hevc", "h264", ...
    QList<AudioTrack> audioTracks; // the probe's audio tracks
    int audioTrackIndex = 0;       // index of the chosen track in audioTracks
    // The video's Dolby Vision profile; absent without Dolby Vision.
    std::optional<int> dolbyVisionProfile;
    QList<int> subtitleTrackIDs;
    QStringList subtitleTrackLanguages; // parallel to subtitleTrackIDs, "unk" when untagged
    // The picture subtitle streams (read as text before the conversion) and
    // their languages, and the picture subtitle files given or beside.
    QList<int> pictureSubtitleTrackIDs;
    QStringList pictureSubtitleLanguages;
    QList<SubtitleFile> pictureSubtitleFiles;
    // The subtitle streams the movie marks forced.
    QList<int> forcedSubtitleStreams;
    // The subtitle tracks chosen for this movie alone, by key
    // (SubtitleTrack::key); absent: chosen by the settings.
    std::optional<QStringList> chosenSubtitles;
    // Streams whose language the probe read from a name ("English"): their
    // code is written into the MP4, which cannot store the name ffmpeg copies.
    QList<int> nameTaggedStreams;
    QStringList preferredLanguages; // the user's, three-letter codes, most preferred first
    // The subtitle files, each its own input and subtitle track, in order.
    QList<SubtitleFile> subtitleFiles;
    // When the source's streams start (the mux stage puts the new AAC track
    // where the chosen track starts) and the streams' titles.
    StreamTimings timings;
    // -sub_charenc of each subtitle file, by position; empty: none needed.
    QStringList subtitleFileEncodings;
    // What media centres read (with WriteTags): the tags, and the cover, a
    // picture stream of the source or a picture file beside it.
    MovieTags tags;
    std::optional<int> coverStream;
    QString coverFile;
};

struct BuiltArguments
{
    // The command by sections, to which the stages add output options, and
    // the list it renders.
    FfmpegCommand command;
    QStringList arguments;
    bool addedSurround = false;
    // Audio tracks kept for the user's languages, mapped after the main and
    // surround tracks.
    int furtherAudioTracks = 0;
};

// The second audio track of the compatible style with IncludeSurroundTrack:
// its stream and codec ("ac3").
struct SurroundTrack
{
    int stream = 0;
    QString codec;
};
// Absent unless the compatible style asks for one and the movie has one in
// the chosen track's language (or the chosen track is 5.1 in another codec).
std::optional<SurroundTrack> surroundTrackFor(const ConversionInputs& in,
                                              const ConversionSettings& s);

// The one-second trial that shows whether AAC audio needs the ADTS bitstream
// filter; it writes to `trialFile`, a temporary file of the job.
QStringList fixupTestArguments(const ConversionInputs& in, const QString& trialFile);

// The single ffmpeg run of the copy and AC3 methods. `needFixup` runs the
// trial; it is asked only when AAC audio is copied.
BuiltArguments singleProcessArguments(const ConversionInputs& in, int method,
                                      const ConversionSettings& s,
                                      const std::function<bool()>& needFixup);
// The AAC method runs three tools at once. The extraction: the chosen track
// as 2-channel 32-bit float WAV, written into `audioFile`, the FIFO the
// encoder reads (its name tells ffmpeg nothing, so the format is named).
// Float is what the AAC encoder works in: a 24-bit source keeps its
// resolution, and no 16-bit rounding noise is left for it to encode.
QStringList extractionArguments(const ConversionInputs& in, const QString& audioFile);
// Where the mux places the new AAC track (its -itsoffset): the chosen
// track's delay from the start of the source, less the 1024 samples of
// priming the AAC encoder puts before the sound, which an ADTS stream does
// not mark (the MP4's edit list then skips them); absent when there is
// nothing to move.
std::optional<double> encodedAudioOffset(const ConversionInputs& in);
// The encoder, beside the extraction: afconvert encodes the WAV it reads
// from that FIFO to AAC at the AACBitrate rate, as an ADTS stream into the
// FIFO `aacFile` that the mux reads. Knowing how long the movie lasts, the
// encoder shares the end of the sound evenly among its workers (-e).
QStringList afconvertArguments(const QString& audioFile, const QString& aacFile,
                               const ConversionSettings& s,
                               std::optional<qint64> expectedSeconds = std::nullopt);
// The mux, beside both: the video of the source joined with the new AAC
// track as it comes. Languages are written as ISO 639-2 codes; the probe's
// "unk" becomes "und".
BuiltArguments muxArguments(const ConversionInputs& in, const QString& aacFile,
                            const ConversionSettings& s);

// Whether the surround track with this codec word ("(truehd)") is written as
// AC3 5.1: a DTS track when IncludeSurroundTrackTranscoded asks, any codec an
// MP4 cannot hold always.
bool surroundNeedsAC3(const QString& codec, const ConversionSettings& s);
// The chosen audio track; a default one for a movie without sound.
AudioTrack chosenAudioTrack(const ConversionInputs& in);
// The subtitle track that is enabled (marked default) when there are
// several, by output position: a forced subtitle file in the chosen audio
// track's language, else the first subtitle file, else the movie's own first
// subtitle (mapped last). Absent without subtitles.
std::optional<int> enabledSubtitleTrack(const ConversionInputs& in, int subtitleTracks);
// Which of the output's subtitle tracks are forced, by output position: the
// subtitle files named forced (and the forced tracks read from pictures),
// then the movie's own text streams that it marks forced.
QList<bool> forcedSubtitleTracks(const ConversionInputs& in, const ConversionSettings& s);
