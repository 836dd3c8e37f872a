#pragma once

#include <QString>

// Warnings the user can silence with "Don't warn again". The answer is kept
// per application version ("_%@_%@_asked") or for ever ("_%@_asked"). Called
// from any thread: off the main thread they queue themselves there and return.
void alert_dontwarnagain_version(const QString& identifier, const QString& title,
                                 const QString& message, const QString& defaultButton,
                                 const QString& dontWarnButton);
void alert_dontwarnagain_ever(const QString& identifier, const QString& title,
                              const QString& message, const QString& defaultButton,
                              const QString& dontWarnButton);
QString dontWarnAgainVersionKey(const QString& identifier);
QString dontWarnAgainEverKey(const QString& identifier);
