#pragma once

#include "engine/ConversionSettings.h"
#include "engine/JobState.h"

#include <QString>

// The ConversionMethod for an audio track's codec word ("ac3", "dts", ...,
// compared exactly) and layout under the given settings.
int calculateConversionMethod(const QString& codec, bool audioIsSurround,
                              const ConversionSettings& s);
