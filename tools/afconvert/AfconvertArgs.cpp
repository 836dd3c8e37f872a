#include "afconvert/AfconvertArgs.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

const char* const kAfconvertUsage =
    "Usage: afconvert INPUT -o OUTPUT [-f mp4f|adts] [-d aac] [-b BITS] [-w WORKERS]\n"
    "                 [-p PIECE_SECONDS] [-l LEAD_IN_FRAMES] [-e EXPECTED_SECONDS]";

namespace {

std::optional<std::uint32_t> parseBitRate(const std::string& text)
{
    if (text.empty() || text.size() > 10)
        return std::nullopt;
    std::uint64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + std::uint64_t(c - '0');
    }
    if (value == 0 || value > std::numeric_limits<std::uint32_t>::max())
        return std::nullopt;
    return std::uint32_t(value);
}

// A whole number from `low` to `high`, written in plain digits.
std::optional<unsigned> parseCount(const std::string& text, unsigned low, unsigned high)
{
    unsigned value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end || value < low || value > high)
        return std::nullopt;
    return value;
}

std::optional<double> parseSeconds(const std::string& text, double highest)
{
    double value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end || !std::isfinite(value) ||
        value < 0.1 || value > highest)
        return std::nullopt;
    return value;
}

AfconvertParse refuse(const std::string& why)
{
    return {std::nullopt, why};
}

} // namespace

AfconvertParse parseAfconvertArgs(const std::vector<std::string>& arguments)
{
    AfconvertArgs result;
    bool haveInput = false;
    bool haveOutput = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& arg = arguments[i];
        const bool isOption = arg.size() > 1 && arg[0] == '-';
        if (!isOption) {
            if (haveInput)
                return refuse("more than one input file (\"" + result.input + "\", \"" + arg +
                              "\")");
            if (arg.empty())
                return refuse("empty input file name");
            result.input = arg;
            haveInput = true;
            continue;
        }
        if (arg != "-o" && arg != "-f" && arg != "-d" && arg != "-b" && arg != "-w" &&
            arg != "-p" && arg != "-l" && arg != "-e")
            return refuse("unknown option " + arg);
        if (i + 1 >= arguments.size())
            return refuse("option " + arg + " needs a value");
        const std::string& value = arguments[++i];
        if (arg == "-o") {
            if (value.empty())
                return refuse("empty output file name");
            result.output = value;
            haveOutput = true;
        } else if (arg == "-f") {
            if (value == "adts")
                result.format = AfconvertArgs::Format::Adts;
            else if (value == "mp4f")
                result.format = AfconvertArgs::Format::Mp4;
            else
                return refuse("unsupported file format \"" + value + "\" (mp4f or adts)");
        } else if (arg == "-d") {
            if (value != "aac")
                return refuse("unsupported data format \"" + value + "\" (only aac)");
        } else if (arg == "-b") {
            result.bitRate = parseBitRate(value);
            if (!result.bitRate)
                return refuse("bad bit rate \"" + value + "\"");
        } else if (arg == "-w") {
            result.workers = parseCount(value, 1, kMaxWorkers);
            if (!result.workers)
                return refuse("bad number of workers \"" + value + "\" (1 to " +
                              std::to_string(kMaxWorkers) + ")");
        } else if (arg == "-p") {
            result.pieceSeconds = parseSeconds(value, kMaxPieceSeconds);
            if (!result.pieceSeconds)
                return refuse("bad piece length \"" + value + "\" (0.1 to " +
                              std::to_string(int(kMaxPieceSeconds)) + " seconds)");
        } else if (arg == "-e") {
            result.expectedSeconds = parseSeconds(value, kMaxExpectedSeconds);
            if (!result.expectedSeconds)
                return refuse("bad expected length \"" + value + "\" (0.1 to " +
                              std::to_string(std::int64_t(kMaxExpectedSeconds)) + " seconds)");
        } else {
            result.leadInFrames = parseCount(value, 2, 1000);
            if (!result.leadInFrames)
                return refuse("bad lead-in \"" + value + "\" (2 to 1000 frames)");
        }
    }
    if (!haveInput)
        return refuse("no input file");
    if (!haveOutput)
        return refuse("no output file (-o)");
    return {result, {}};
}

std::vector<std::string> ffmpegArguments(const AfconvertArgs& args, const std::string& ffmpegPath)
{
    std::vector<std::string> argv{ffmpegPath,           "-nostdin", "-hide_banner", "-nostats",
                                  "-loglevel",          "error",    "-y",           "-i",
                                  "file:" + args.input, "-vn",      "-c:a",         "aac"};
    if (args.bitRate) {
        argv.push_back("-b:a");
        argv.push_back(std::to_string(*args.bitRate));
    }
    if (args.format == AfconvertArgs::Format::Adts)
        // A stream another program reads as it comes (a FIFO): written in
        // whole buffers rather than flushed after every frame.
        argv.insert(argv.end(), {"-flush_packets", "0", "-f", "adts", "file:" + args.output});
    else
        argv.insert(argv.end(), {"-f", "mp4", "file:" + args.output});
    return argv;
}

unsigned effectiveWorkers(const AfconvertArgs& args, const char* environmentValue,
                          unsigned hardwareThreads)
{
    if (args.workers)
        return *args.workers;
    if (environmentValue) {
        if (const auto fromEnvironment = parseCount(environmentValue, 1, kMaxWorkers))
            return *fromEnvironment;
    }
    return std::clamp(hardwareThreads, 1u, kMaxWorkers);
}

std::vector<std::string> ffmpegCandidates(const char* toolsDir, const std::string& ownDir,
                                          const char* pathVariable)
{
    std::vector<std::string> candidates;
    if (toolsDir && *toolsDir)
        candidates.push_back(std::string(toolsDir) + "/ffmpeg");
    if (!ownDir.empty())
        candidates.push_back(ownDir + "/ffmpeg");
    if (pathVariable) {
        const std::string path(pathVariable);
        std::size_t start = 0;
        for (;;) {
            const std::size_t colon = path.find(':', start);
            const std::string entry =
                path.substr(start, colon == std::string::npos ? std::string::npos : colon - start);
            candidates.push_back((entry.empty() ? std::string(".") : entry) + "/ffmpeg");
            if (colon == std::string::npos)
                break;
            start = colon + 1;
        }
    }
    return candidates;
}
