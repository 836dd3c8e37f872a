#pragma once

#include "engine/CommandLines.h"

// The cover picture and the tags media centres read, added to a run that
// writes the movie when WriteTags is on: the picture mapped as the second
// video stream, marked as attached (which ffmpeg's MP4 muxer writes as the
// cover, covr, not as a track), and each tag as an output "-metadata".
void addCoverAndTags(FfmpegCommand& command, const ConversionInputs& in,
                     const ConversionSettings& s);
