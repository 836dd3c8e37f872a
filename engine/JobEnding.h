#pragma once

#include "engine/JobNotice.h"

#include <QString>
#include <QStringList>

// What the user is told and what happens to the source once a job has
// ended, kept apart from the job's state and controls.

// The desktop notification of a finished or failed conversion.
void notifyJobEnd(bool failed, const QString& fileName, const QString& destination);
// The notice of a conversion that ran out of room on the destination.
JobNotice freeSpaceFailureNotice();
// The notice of a source movie gone before its conversion could start.
JobNotice sourceGoneNotice(const QString& sourcePath);
// The source of a finished movie deleted, or moved to the trash.
void disposeOfSourceMovie(const QString& sourcePath, bool deleteIt);
// Opens a mail to support with the failed run's command line and output.
void offerSupportMail(const QStringList& arguments, const QString& output);
