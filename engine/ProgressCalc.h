#pragma once

#include <QString>
#include <optional>

// The position ffmpeg reports in newly read progress-file text: the last line
// beginning "out_time_ms=" (microseconds despite the name), in seconds.
// Absent when there is no such line or its value is not a number.
std::optional<double> latestOutTimeSeconds(const QString& newText);

// The job's percentage for a reported position t. Absent means "leave the
// progress as it is": t not positive, or no usable running time.
// In the AAC method the extraction and the encoder run together (stages 0
// and 1, the encoder as fast as the extraction feeds it), so the
// extraction's position covers their shares, 75 and 17 of 100; the mux
// (stage 2) has the last 8. `encodedTracks` further audio tracks encoded in
// the mux make it weigh more (each as much as the encoding), so the shares
// become 75, 17 and 8 + 17n of 100 + 17n. A position beyond the running
// time counts as the stage's end.
std::optional<float> progressFromOutTime(double t, std::optional<qint64> runtimeSeconds,
                                         bool multiConversion, int conversionStage,
                                         int encodedTracks = 0);
