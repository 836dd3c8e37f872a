#pragma once

#include <QString>
#include <optional>

// The position ffmpeg reports in newly read progress-file text: the last line
// beginning "out_time_ms=" (microseconds despite the name), in seconds.
// Absent when there is no such line or its value is not a number.
std::optional<double> latestOutTimeSeconds(const QString& newText);

// The job's percentage for a reported position t. Absent means "leave the
// progress as it is": t not positive, or no usable running time.
// `encodedTracks` further audio tracks encoded in the mux stage of the AAC
// method make that stage weigh more (each as much as the encoding stage), so
// its shares of 75, 17 and 8 of 100 become 75, 17 and 8 + 17n of 100 + 17n.
std::optional<float> progressFromOutTime(double t, std::optional<qint64> runtimeSeconds,
                                         bool multiConversion, int conversionStage,
                                         int encodedTracks = 0);

// The encoding stage reports nothing, so its share (75 to 92) is estimated from
// the size of the AAC file written so far. Absent without a usable running time.
std::optional<float> encodingStageProgress(quint64 aacBytes, std::optional<qint64> runtimeSeconds,
                                           int encodedTracks = 0);
