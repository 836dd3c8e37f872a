#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The command line of our afconvert: IN.wav -o OUT -f mp4f -d aac -b BITS,
// options in any order, and the ffmpeg command that does the work. The file
// format is an MP4 file (mp4f) or, for a reader that takes the sound as it
// comes through a FIFO, an ADTS stream (adts).

struct AfconvertArgs
{
    std::string input;
    std::string output;
    // Bits per second; absent lets the encoder choose.
    std::optional<std::uint32_t> bitRate;
    enum class Format { Mp4, Adts };
    Format format = Format::Mp4;
};

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

// The places to look for ffmpeg, in order: the tools folder named by the
// environment, the folder of this executable, then each entry of PATH (an
// empty entry means the current folder).
std::vector<std::string> ffmpegCandidates(const char* toolsDir, const std::string& ownDir,
                                          const char* pathVariable);

extern const char* const kAfconvertUsage;
