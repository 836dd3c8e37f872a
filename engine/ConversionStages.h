#pragma once

#include "engine/JobRecord.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

// A tool by name (found by ToolLocator when it runs) and its arguments.
struct ToolCommand
{
    QString tool;
    QStringList arguments;
};

// One step of a conversion, begun once the step before it succeeded. It runs
// tools (one after another, each judged as it ends), works on files, or both;
// every step is handed the job's record and changes nothing else.
struct ConversionStage
{
    // A conversion process (ffmpeg or afconvert writing the movie or its
    // audio): its arguments are the job's, its output the job's output, the
    // progress timer follows it and the conversion stage counts it.
    bool conversionProcess = false;
    // The tool runs, built when the stage begins from what the stages before
    // it left; none for a step on files only.
    std::function<QList<ToolCommand>(JobRecord&)> commands;
    // One tool run ended with `status` and `output`; false fails the job.
    std::function<bool(JobRecord&, int status, const QString& output)> toolEnded;
    // After the stage's tools; false fails the job.
    std::function<bool(JobRecord&)> finish;
};

// The steps of a conversion by the job's method, in order: the AAC trial or
// the extract, encode and mux processes, then the steps after the last
// process (temporary audio gone, track flags, Dolby Vision sample entry,
// read-back check, move into place).
QList<ConversionStage> conversionStages(int method);
