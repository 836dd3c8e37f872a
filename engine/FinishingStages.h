#pragma once

#include "engine/ConversionStages.h"

// The stages after the conversion runs, in their order: the written file is
// there, its track flags, its Dolby Vision entry, where the source's sound
// ends, the read-back check, the flush to the disk and the move into place.
ConversionStage outputPresentStage();
ConversionStage trackFlagsStage();
ConversionStage dolbyVisionStage();
ConversionStage sourceEndsStage();
ConversionStage verifyStage();
ConversionStage flushStage();
ConversionStage moveIntoPlaceStage();
