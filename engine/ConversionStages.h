#pragma once

#include "engine/JobRecord.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

// A tool by name (found by ToolLocator when it runs) and its arguments.
struct ToolCommand
{
    QString tool;
    QStringList arguments;
    // A run still going this long after its start is ended (0: no limit).
    int timeLimitMs = 0;
};

// How one of a stage's tool runs ended.
struct ToolResult
{
    QStringList arguments;
    int status = 0;
    QString output;
    // Told to end because another run of its stage failed first.
    bool stopped = false;
};

// Of tool runs that ran at the same time (in the order they started), the one
// whose failure explains the stage's: a run told to end because another
// failed, or one that only lost its reader ("Broken pipe"), yields to a run
// that failed of itself. Absent when every run ended well.
std::optional<qsizetype> failingRun(const QList<ToolResult>& results);

// One step of a conversion, begun once the step before it succeeded. It runs
// tools (one after another, each judged as it ends), works on files, or both;
// every step is handed the job's record and changes nothing else.
struct ConversionStage
{
    // A conversion process (ffmpeg or afconvert writing the movie or its
    // audio): its arguments are the job's, its output the job's output, the
    // progress timer follows it and the conversion stage counts it.
    bool conversionProcess = false;
    // The stage's tools run at the same time rather than one after another
    // (the extraction writing into the FIFO the encoder reads, the encoder
    // into the one the mux reads): started together, paused and continued
    // together; the first to fail ends the others. The stage fails when one
    // failed (failingRun), with that run's command line and output. Each of
    // them counts as a conversion stage. The last run writes the movie.
    bool concurrent = false;
    // The tool runs, built when the stage begins from what the stages before
    // it left; none for a step on files only.
    std::function<QList<ToolCommand>(JobRecord&)> commands;
    // One tool run ended with `status` and `output`; false fails the job.
    // For a concurrent stage, asked once, for its last run, when all of
    // them ended well.
    std::function<bool(JobRecord&, int status, const QString& output)> toolEnded;
    // After the stage's tools ended well: true makes the stage again, its
    // tool runs built anew from the record (a run to be redone another way).
    std::function<bool(const JobRecord&)> again;
    // After the stage's tools; false fails the job.
    std::function<bool(JobRecord&)> finish;
    // Work that waits for the disk (a flush, a rename), done on the thread
    // pool so that the window never waits: made on the main thread from the
    // record, it must not touch the record itself. What it answers is then
    // done on the main thread, before `finish`: handed the record it applies
    // the work's result (false fails the job); handed none, the stage was
    // abandoned meanwhile and it takes back what the work left.
    using ApplyResult = std::function<bool(JobRecord*)>;
    std::function<std::function<ApplyResult()>(const JobRecord&)> background;
    // A reading of the source that writes nothing (its one tool run): begun
    // with the first stage, beside the stages before it, so that the job
    // never waits for it alone; once the stages before it are done it is
    // judged by `toolEnded` as it ended, or waited for first. Paused,
    // continued and ended with the job's other tools.
    bool startsEarly = false;
};

// The bytes to reserve for the index of the movie an ffmpeg run with these
// arguments writes (-moov_size); absent when no reserve can be sized.
using MoovReserveFor =
    std::function<std::optional<qint64>(const JobRecord&, const QStringList& arguments)>;
// The reserve sized from the probe's facts about the mapped tracks.
std::optional<qint64> estimatedMoovReserve(const JobRecord& record, const QStringList& arguments);

// The steps of a conversion by the job's method, in order: the AAC trial and
// the one ffmpeg run, or the extraction, the encoder and the mux streaming
// into each other, then the steps after the last process (temporary audio gone, track flags, Dolby
// Vision sample entry, read-back check, move into place). With StreamableOutput the runs that write
// the movie put its index first, in the room `reserve` sizes.
QList<ConversionStage> conversionStages(int method,
                                        const MoovReserveFor& reserve = estimatedMoovReserve);
