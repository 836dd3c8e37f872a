#pragma once

#include "afconvert/AacEncoder.h"
#include "afconvert/AdtsOutput.h"
#include "afconvert/Cancellation.h"
#include "afconvert/PiecePlan.h"
#include "afconvert/SoundInput.h"
#include "afconvert/WavHeader.h"

#include <string>

namespace afconvert {

struct PieceEncodingSetup
{
    WavFormat format;
    EncoderSettings encoder;
    PieceLayout layout;
    unsigned workers = 1;
};

// Encodes one sound in pieces, `workers` of them at once, each in a thread
// of its own with an encoder of its own, and writes their packets joined in
// order as one ADTS stream (see PiecePlan.h for the cut and the join).
//
// The calling thread reads the input and hands each sample to the pieces
// whose input holds it; a worker encodes its piece's frames as they come;
// a writer thread writes the oldest piece's packets as they are made, then
// the next piece's. The pieces not yet encoded hold at most as many samples
// as workers + 1 of the longest pieces (the reading waits for room), each
// holding its samples as floats until it is encoded and its packets until
// they are written; at most 2 * workers + 2 pieces are in memory at once.
//
// The first failure (reading, encoding, writing) ends every thread and is
// answered; nothing is written after it. Empty on success.
std::string encodeInPieces(SoundInput& input, AdtsOutput& output, const PieceEncodingSetup& setup,
                           Cancellation& cancellation);

} // namespace afconvert
