#pragma once

#include "foundation/AlertPresenter.h"
#include "foundation/LogSink.h"
#include "foundation/MakeString.h"

#include <QStringList>

// Modal alerts. The message is shown as given: it is never read as a format.
int alert(const QString& title, const QString& message, const QString& defaultButton,
          const QString& alternateButton = {}, const QString& otherButton = {});
// The same with the kind of alert given (the box's icon).
int alert(AlertKind kind, const QString& title, const QString& message,
          const QString& defaultButton, const QString& alternateButton = {},
          const QString& otherButton = {});
int alert_apptitled(const QString& message, const QString& defaultButton,
                    const QString& alternateButton = {}, const QString& otherButton = {});
// An alert with a text field; `text` receives what the user typed.
int input(const QString& prompt, const QStringList& buttons, QString& text);
// Last-resort error: offers a report mail to support, then ends the process
// with exit status 1.
[[noreturn]] void alertfeedbackfatal(const QString& message, const QString& details);
// The fatal alert's message and report mail text, for the function above and tests.
QString fatalAlertMessage(const QString& message, const QString& details);
QString fatalReportMail(const QString& details);

// The log connection; a syslog sink unless another is installed.
std::shared_ptr<LogSink> logSink();
void setLogSink(std::shared_ptr<LogSink> sink);

template <typename... Args> void asl_NSLog(int level, const char* format, const Args&... args)
{
    logSink()->write(level, makeString(format, args...));
}

// Marks debugging points; emits nothing unless VANTREO_DEBUG is set, then it
// writes to standard error.
void debugLogText(const QString& text);
bool debugLogEnabled();
template <typename... Args> void asl_NSLog_debug(const char* format, const Args&... args)
{
    if (debugLogEnabled())
        debugLogText(makeString(format, args...));
}
