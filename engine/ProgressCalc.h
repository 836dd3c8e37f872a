#pragma once

#include <QString>
#include <optional>

// The position ffmpeg reports in newly read progress-file text: the last line
// beginning "out_time_ms=" (microseconds despite the name), in seconds.
// Absent when there is no such line or its value is not a number.
std::optional<double> latestOutTimeSeconds(const QString& newText);

// The job's percentage for a reported position t of the run that writes the
// movie. In the AAC method that run is the mux, which takes the AAC as the
// encoder makes it, so its position covers the extraction and the encoding
// too: one bar from 0 to 100 for every method. Absent means "leave the
// progress as it is": t not positive, or no usable running time. A position
// beyond the running time counts as the end.
std::optional<float> progressFromOutTime(double t, std::optional<qint64> runtimeSeconds);
