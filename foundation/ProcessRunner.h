#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// Runs a command (element 0 the executable, the rest its arguments, passed as
// they are: no shell) and answers its standard output and standard error
// together, decoded as UTF-8. Absent when the output is not valid UTF-8 or
// the executable cannot be started. The child reads /dev/null as input.
// Blocks the calling thread until the child has exited; safe on any thread.
std::optional<QString> runAsTask(const QStringList& command);

// As runAsTask; `status`, when given, receives the exit status, the signal
// number for a child killed by a signal, or 127 when it could not be started.
std::optional<QString> runAsTaskWithTerminationStatus(const QStringList& command, qint64* status);
