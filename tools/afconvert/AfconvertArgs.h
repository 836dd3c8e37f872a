#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The command line of our afconvert: IN.wav -o OUT -f mp4f -d aac -b BITS
// [-w WORKERS] [-p SECONDS] [-l FRAMES] [-e SECONDS], options in any order, and the ffmpeg
// command of a single encoding run. The file format is an MP4 file (mp4f) or,
// for a reader that takes the sound as it comes through a FIFO, an ADTS
// stream (adts). An ADTS stream is encoded in pieces by several workers at
// once (-w, by default one a core); one worker, and every MP4 file, is the
// single ffmpeg run.

struct AfconvertArgs
{
    std::string input;
    std::string output;
    // Bits per second; absent lets the encoder choose.
    std::optional<std::uint32_t> bitRate;
    enum class Format { Mp4, Adts };
    Format format = Format::Mp4;
    // Encoders at work at once (-w); absent: VANTREO_AAC_WORKERS, else one a
    // core (effectiveWorkers).
    std::optional<unsigned> workers;
    // Length of the pieces encoded at once, in seconds (-p).
    std::optional<double> pieceSeconds;
    // Frames each piece's encoder runs before its piece (-l).
    std::optional<unsigned> leadInFrames;
    // How long the sound is expected to last, in seconds (-e): the pieces
    // shrink toward its end so that the workers finish together.
    std::optional<double> expectedSeconds;
};

constexpr unsigned kMaxWorkers = 64;
// A lead-in of 96 frames (2 s at 48 kHz). The encoder's rate control keeps a
// long memory: with a lead-in of 2 to 32 frames its signal-to-noise ratio
// after a join is measurably lower than a single run's, from about 96 frames
// on the difference is within the single run's own spread (the same run
// begun with another rate-control state). A new encoder's first frames cost
// about twice a frame later on (its rate control is still far off), so the
// lead-in and lead-out cost about 20 % more encoding with pieces of 20 s,
// 3.5 % with pieces of 120 s (see PiecePlan.h for the pieces' lengths).
constexpr unsigned kDefaultLeadInFrames = 96;
constexpr double kMaxPieceSeconds = 600;
// Any length a movie may claim (31 years): the length only shapes the pieces.
constexpr double kMaxExpectedSeconds = 1e9;

struct AfconvertParse
{
    std::optional<AfconvertArgs> args;
    // Why the command line was refused (empty when args is set).
    std::string error;
};

// Parses the arguments after the program name.
AfconvertParse parseAfconvertArgs(const std::vector<std::string>& arguments);

// The full ffmpeg argument vector (element 0 the executable path). The paths
// get the "file:" prefix so that names with a colon or a leading dash are
// never read as protocols or options.
std::vector<std::string> ffmpegArguments(const AfconvertArgs& args, const std::string& ffmpegPath);

// The number of workers: -w, else the environment's VANTREO_AAC_WORKERS (a
// number from 1 to kMaxWorkers; anything else is ignored), else one for each
// of the machine's threads.
unsigned effectiveWorkers(const AfconvertArgs& args, const char* environmentValue,
                          unsigned hardwareThreads);

// The places to look for ffmpeg, in order: the tools folder named by the
// environment, the folder of this executable, then each entry of PATH (an
// empty entry means the current folder).
std::vector<std::string> ffmpegCandidates(const char* toolsDir, const std::string& ownDir,
                                          const char* pathVariable);

extern const char* const kAfconvertUsage;
