#include "engine/JobRecord.h"

#include "engine/FileJournal.h"
#include "engine/KeptTracks.h"
#include "engine/OutputFiles.h"
#include "engine/ProgressCalc.h"
#include "engine/SubtitleEncoding.h"
#include "foundation/PathHelpers.h"
#include "inspection/Languages.h"

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
    *this = fresh;
    progressFile = documentsFile(fileInfo->fileName(), QStringLiteral(".log"));
    deleteFileIfAny(progressFile);
    partialFile = uniqueFile(partialPathFor(destinationPath()));
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

ConversionInputs JobRecord::conversionInputs() const
{
    ConversionInputs in =
        movieTrackInputs(*fileInfo, int(qMin<qulonglong>(audioTrackIndex, qulonglong(INT_MAX))),
                         preferredLanguages3Letter());
    in.sourcePath = sourcePath();
    in.outputPath = partialFile;
    in.progressFile = progressFile;
    for (const SubtitleFile& file : in.subtitleFiles) {
        auto known = subtitleEncodings.constFind(file.path);
        if (known == subtitleEncodings.constEnd())
            known = subtitleEncodings.insert(file.path,
                                             subtitleFileEncoding(file.path).value_or(QString()));
        in.subtitleFileEncodings.append(*known);
    }
    return in;
}

std::optional<float> JobRecord::progress(ProgressFileReader& reader, float current) const
{
    if (!fileInfo)
        return std::nullopt;
    if (multiConversion && conversionStage == 1) {
        // The encoder writes no progress: the growing AAC file tells, and
        // the bar moves a little either way.
        return encodingStageProgress(fileSize(aacFile), fileInfo->runtimeSeconds(),
                                     encodedFurtherTracks)
            .value_or(current + 0.001f);
    }
    const auto t = latestOutTimeSeconds(reader.readNew(progressFile));
    if (!t)
        return std::nullopt;
    return progressFromOutTime(*t, fileInfo->runtimeSeconds(), multiConversion, conversionStage,
                               encodedFurtherTracks);
}

void JobRecord::journalFiles(const QStringList& extra) const
{
    FileJournal::instance().record(
        owner, QStringList{partialFile, progressFile, audioFile, aacFile} + extra);
}

void JobRecord::deleteUnfinishedFiles()
{
    deleteFileIfAny(partialFile);
    partialFile.clear();
    deleteFileIfAny(audioFile);
    deleteFileIfAny(aacFile);
    deleteFileIfAny(trialFile);
    trialFile.clear();
    FileJournal::instance().record(owner, {});
}
