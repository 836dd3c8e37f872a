#pragma once

#include <QList>
#include <functional>

class ConversionJob;
class JobHost;

// What follows the end of a job: small actions that a front end installs on
// its queue, which hands them to every job it takes. The job runs them in
// order once it is Finished or Failed and the queue has been asked for the
// next job. Each reads the settings the job was queued with, not the ones
// of the moment.
using AfterJobAction = std::function<void(ConversionJob& job, JobHost& host)>;
using AfterJobActions = QList<AfterJobAction>;

// AutoClean: a finished job leaves the list.
void removeFinishedJob(ConversionJob& job, JobHost& host);
// AutoRemove: a finished movie's source goes to the trash, or is deleted
// (AutoRemoveType 1).
void disposeOfSource(ConversionJob& job, JobHost& host);
// The desktop notification of the finished or failed conversion.
void notifyEnd(ConversionJob& job, JobHost& host);
// QuitAfterConversion: the application is asked to quit once nothing
// converts any more.
void quitWhenIdle(ConversionJob& job, JobHost& host);

// The desktop program's: all four, in that order.
AfterJobActions desktopAfterJobActions();
// The command line's: all but quitting, which it does by itself when its
// movies are done.
AfterJobActions commandLineAfterJobActions();
