#pragma once

#include "inspection/MKVFileInfo.h"
#include "shell/SavedQueue.h"

#include <QString>

class ConversionJob;

// The jobs of the queue as a saved queue keeps them, and back.

// The job as it is saved: a converting or paused job as Queued (its tools
// end with the run).
SavedJob savedJobFor(const ConversionJob& job);
// The saved paths that are our links made usable in this run: the links of
// the run that saved them are gone, so they are made again from the real
// items' bytes.
SavedJob withUsablePaths(SavedJob job);
// A job of the new run, not started: a Finished or Failed one as it ended;
// a waiting one Queued with its movie as `probed` found it, its destination,
// track, subtitle files and settings, unless `failure` says why its movie
// cannot be converted any more: then it is Failed with that explanation.
ConversionJob* restoredJob(const SavedJob& saved, const MKVFileInfoPtr& probed,
                           const QString& failure);
