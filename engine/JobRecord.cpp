#include "engine/JobRecord.h"

#include "engine/FileJournal.h"
#include "engine/KeptTracks.h"
#include "engine/OutputFiles.h"
#include "engine/ProgressCalc.h"
#include "engine/SubtitleEncoding.h"
#include "engine/SubtitleTracks.h"
#include "foundation/HalvornLib.h"
#include "foundation/MakeString.h"
#include "foundation/PathHelpers.h"
#include "inspection/Languages.h"

#include <QCoreApplication>
#include <QFile>
#include <climits>

void deleteFileIfAny(const QString& path)
{
    if (!path.isEmpty())
        QFile::remove(path);
}

void JobRecord::restart()
{
    JobRecord fresh;
    fresh.fileInfo = fileInfo;
    fresh.audioTrackIndex = audioTrackIndex;
    fresh.settingsSnapshot = settingsSnapshot;
    fresh.owner = owner;
    fresh.needsFixup = needsFixup;
    fresh.subtitleChoice = subtitleChoice;
    *this = fresh;
    // Reserved as the temporary files are; none in a destination folder that
    // takes no file, which the start refuses.
    partialFile = reserveUniqueFile(partialPathFor(destinationPath()));
    // Kept for the whole run (each process starts it anew), so no other job
    // can take its name between two processes.
    progressFile = reserveTemporary(QStringLiteral(".log"));
}

QString JobRecord::reserveTemporary(const QString& suffix, TemporaryKind kind)
{
    QString error;
    const QString path = reserveTemporaryFile(fileInfo->fileName(), suffix, kind, &error);
    if (path.isEmpty()) {
        verificationProblem = makeString(
            QCoreApplication::translate(
                "JobRecord", "A temporary file could not be created in the cache folder %@."),
            appInfo().cacheDir());
        output += makeString("%@ (%@)", verificationProblem, error);
        return path;
    }
    // In the journal from the moment it exists; on the disk before a tool
    // runs (journalFiles before each process).
    journalFiles({path}, FileJournal::Flush::Later);
    return path;
}

ConversionSettings JobRecord::settings() const
{
    return settingsSnapshot ? *settingsSnapshot : ConversionSettings::fromStore();
}

QString JobRecord::sourcePath() const
{
    return fileInfo ? fileInfo->fileURL().toLocalFile() : QString();
}

QString JobRecord::destinationPath() const
{
    return fileInfo ? fileInfo->destinationURL().toLocalFile() : QString();
}

ConversionInputs JobRecord::movieInputs() const
{
    ConversionInputs in =
        movieTrackInputs(*fileInfo, int(qMin<qulonglong>(audioTrackIndex, qulonglong(INT_MAX))),
                         preferredLanguages3Letter());
    in.chosenSubtitles = subtitleChoice;
    in.sourcePath = sourcePath();
    in.outputPath = partialFile;
    in.progressFile = progressFile;
    return in;
}

ConversionInputs JobRecord::conversionInputs() const
{
    ConversionInputs in = movieInputs();
    in.subtitleFiles = chosenSubtitleFiles(in.subtitleFiles, subtitleChoice) + readSubtitles;
    for (const SubtitleFile& file : in.subtitleFiles) {
        auto known = subtitleEncodings.constFind(file.path);
        if (known == subtitleEncodings.constEnd())
            known = subtitleEncodings.insert(file.path,
                                             subtitleFileEncoding(file.path).value_or(QString()));
        in.subtitleFileEncodings.append(*known);
    }
    return in;
}

std::optional<float> JobRecord::progress(ProgressFileReader& reader) const
{
    if (!fileInfo)
        return std::nullopt;
    const auto t = latestOutTimeSeconds(reader.readNew(progressFile));
    if (!t)
        return std::nullopt;
    const std::optional<float> p = progressFromOutTime(*t, fileInfo->runtimeSeconds());
    // The subtitles read before took the first part of the bar.
    if (p && readingShare > 0)
        return readingShare + (100 - readingShare) * *p / 100;
    return p;
}

void JobRecord::journalFiles(const QStringList& extra, FileJournal::Flush flush) const
{
    FileJournal::instance().record(
        owner,
        QStringList{partialFile, progressFile, audioFile, aacFile, trialFile} + readingFiles +
            extra,
        flush);
}

void JobRecord::discardProgressFile()
{
    deleteFileIfAny(progressFile);
    progressFile.clear();
    journalFiles();
}

void JobRecord::deleteUnfinishedFiles()
{
    deleteFileIfAny(partialFile);
    partialFile.clear();
    deleteFileIfAny(audioFile);
    audioFile.clear();
    deleteFileIfAny(aacFile);
    aacFile.clear();
    deleteFileIfAny(trialFile);
    trialFile.clear();
    for (const QString& file : std::as_const(readingFiles))
        deleteFileIfAny(file);
    readingFiles.clear();
    readSubtitles.clear();
    // The progress file stays the run's until it ends.
    journalFiles();
}
