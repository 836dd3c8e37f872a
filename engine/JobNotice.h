#pragma once

#include "foundation/AlertPresenter.h"

#include <QString>

// What a job has to tell the user: a start it refuses (a destination that
// cannot be written, no free space, a source gone), a run that ran out of
// room, or why a failed job failed. The engine only says it; the desktop
// shows it as an alert and the command line prints it.
struct JobNotice
{
    AlertKind kind = AlertKind::Automatic;
    QString title;
    QString text;
    QString defaultButton = QStringLiteral("OK");
    QString alternateButton;
    // The default button sends the failed run to support.
    bool offersSupportMail = false;
};

// A warning with the one button "OK".
inline JobNotice warningNotice(const QString& title, const QString& text)
{
    JobNotice n;
    n.kind = AlertKind::Warning;
    n.title = title;
    n.text = text;
    return n;
}
