#pragma once

#include <QString>

// Keys of the four playability warnings (also the "Don't warn again" names).
inline constexpr const char* kWrongVideoWarning = "wrongvideowarning";
inline constexpr const char* k10BitVideoWarning = "10bitvideowarning";
inline constexpr const char* kTooHighResWarning = "warningtoohighres";
inline constexpr const char* kTooManyRefFramesWarning = "warningtoomanyrefframes";

// The text of a playability warning for the given movie file name.
QString warningMessage(const QString& key, const QString& fileName);
