#pragma once

#include "engine/FailureExplanation.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>

// How a Finished or Failed job ended, as far as its row and its failure
// alert show it: what a saved queue keeps of an ended job for the next run.
struct JobOutcome
{
    float progress = 100;
    QDateTime startDate, stopDate;
    // What a Finished job warns of (a movie that ends early).
    QString completionWarning;
    // The last process's arguments and what the tools said, for the problem
    // report a failure alert offers.
    QStringList arguments;
    QString output;
    // The alert a Failed job shows when revealed.
    std::optional<FailureExplanation> explanation;
};
