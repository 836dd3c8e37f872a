#pragma once

#include "engine/JobState.h"

#include <QtGlobal>

class ConversionJob;
class QObject;

// What a job needs of the queue that holds it. The queue implements it and
// hands itself to every job it takes.
class JobHost
{
public:
    virtual ~JobHost() = default;
    // Without a sender: refreshes the queue's controls after a job started
    // or continued on its own; never pauses.
    virtual void pauseContinueClicked(QObject* sender) = 0;
    virtual void removeJob(ConversionJob* job) = 0;
    virtual qint64 jobCountWithState(JobState state) const = 0;
    virtual void startNextJobInQueue() = 0;
    // Asks the application to quit (after the last conversion, when the user
    // asked for that).
    virtual void terminateApplication() = 0;
};
