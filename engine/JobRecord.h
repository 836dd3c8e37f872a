#pragma once

#include "engine/CommandLines.h"
#include "engine/FileJournal.h"
#include "engine/OutputFiles.h"
#include "engine/ProgressFileReader.h"
#include "engine/SubtitleReading.h"
#include "inspection/MKVFileInfo.h"
#include "inspection/StreamEnds.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>
#include <utility>

// What one conversion of a job knows and leaves behind: the movie, the
// files it writes, the command line shown when it fails, the tool output and
// what the check of the written file found. The job owns it; each stage of
// the conversion is handed it and reads and writes only this.
struct JobRecord
{
    MKVFileInfoPtr fileInfo;
    qulonglong audioTrackIndex = 0;
    // The conversion settings as they were when the job was queued; absent
    // for a job never queued, which reads the settings store at each use.
    std::optional<ConversionSettings> settingsSnapshot;
    // The FileJournal key of the files below (the job).
    const void* owner = nullptr;
    // The subtitle tracks chosen for this movie alone (SubtitleTrack keys);
    // absent: the settings choose.
    std::optional<QStringList> subtitleChoice;

    // The temporary files live in the cache folder, each reserved under a
    // name of its own (reserveTemporaryFile).
    QString progressFile;
    // The hidden file ffmpeg writes beside the destination until Finished.
    QString partialFile;
    // The FIFOs of the AAC method's three tools, which run at once: the
    // extraction hands the decoded audio to the encoder through the first,
    // the encoder its AAC to the mux through the second.
    QString audioFile;
    QString aacFile;
    // The AAC trial's second of movie, while the trial runs.
    QString trialFile;
    // The picture subtitle tracks read as text: SRT files in the cache
    // folder, written as subtitle files after those beside the movie.
    QList<SubtitleFile> readSubtitles;
    // Every file the reading wrote (the forced-only ones included).
    QStringList readingFiles;
    // The picture tracks being read, in order, and what the reading left
    // out, one note each ("subtitle track 4 (eng) left out: ..."), shown
    // when the job ends.
    QList<PictureReading> readings;
    QStringList subtitleNotes;
    // While the subtitles are read: which reading runs, of how many, and the
    // share of the progress bar they take.
    int readingIndex = -1;
    int readingCount = 0;
    float readingShare = 0;

    // The conversion method, chosen when the job starts.
    int method = 0;

    // The arguments of the latest conversion process.
    QStringList arguments;
    // What the tools said, without ffmpeg's running statistics.
    QString output;
    int conversionStage = 0;
    bool multiConversion = false;
    bool addedSurround = false;
    // Audio tracks kept for the user's languages in the last command line.
    int furtherAudioTracks = 0;
    // Of those, the ones ffmpeg encodes; known from the start.
    int encodedFurtherTracks = 0;
    // The AAC trial's answer: it runs at most once per movie.
    std::optional<bool> needsFixup;
    // The subtitle files' -sub_charenc by path, read once per file: every
    // command line of a run asks for them, and detecting reads the file.
    mutable QHash<QString, QString> subtitleEncodings;
    QString verificationProblem;
    QString completionWarning;
    // A tool of this run said the source ends before its stated end.
    bool inputEndedEarly = false;
    // Where the source's audio streams end, by stream number, read from its
    // last packets once the movie is written; empty when unknown.
    QHash<int, StreamEnd> sourceEnds;
    // Streamable output: the room reserved for the movie's index
    // (-moov_size) proved too small (Due), so the run that writes the movie
    // is made once more with ffmpeg's rewrite, +faststart (Done).
    enum class IndexRewrite { None, Due, Done };
    IndexRewrite indexRewrite = IndexRewrite::None;

    // Forgets the previous run (the movie, its track, its settings and the
    // trial's answer stay), names this run's partial file and reserves its
    // progress file.
    // Whatever is at the destination stays untouched: ffmpeg writes a hidden
    // partial file beside it, which becomes the destination only once the
    // job is Finished.
    void restart();
    // Reserves a temporary file named after the movie plus `suffix` and
    // records it in the journal; empty when none could be made, with the
    // reason in verificationProblem and the output.
    QString reserveTemporary(const QString& suffix, TemporaryKind kind = TemporaryKind::File);
    // The settings this job converts with: its snapshot, else the store's.
    ConversionSettings settings() const;
    QString sourcePath() const;
    QString destinationPath() const;
    // The movie's tracks and the choice made for it, as the probe found them.
    ConversionInputs movieInputs() const;
    // What the command lines are built from: the movie's inputs with the
    // subtitle files chosen and the tracks read from pictures.
    ConversionInputs conversionInputs() const;
    // The job's progress now, from the progress file of the ffmpeg run that
    // writes the movie; absent when there is no news.
    std::optional<float> progress(ProgressFileReader& reader) const;
    // Records the partial and temporary files (and `extra`) in the journal;
    // called before every process that writes them.
    void journalFiles(const QStringList& extra = {},
                      FileJournal::Flush flush = FileJournal::Flush::BeforeTool) const;
    // Deletes the partial file and the temporary files (the progress file
    // aside), and forgets them.
    void deleteUnfinishedFiles();
    // The run's progress file goes (and leaves the journal): the run ended.
    void discardProgressFile();
};

void deleteFileIfAny(const QString& path);
