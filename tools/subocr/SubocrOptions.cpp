#include "subocr/SubocrOptions.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace subocr {

namespace {

constexpr int kMaxThreads = 64;

std::optional<int> parseCount(const std::string& text, int least, int most)
{
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < least || value > most)
        return std::nullopt;
    return value;
}

std::optional<double> parseSeconds(const std::string& text)
{
    if (text.empty())
        return std::nullopt;
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size() || !std::isfinite(value) || std::abs(value) > 1e9)
        return std::nullopt;
    return value;
}

// Tesseract's language names joined by '+': letters, digits and '_'.
bool validLanguages(const std::string& text)
{
    if (text.empty() || text.front() == '+' || text.back() == '+' ||
        text.find("++") != std::string::npos)
        return false;
    for (const char c : text) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                        (c >= '0' && c <= '9') || c == '_' || c == '+';
        if (!ok)
            return false;
    }
    return true;
}

ParsedOptions failure(const std::string& reason)
{
    return {std::nullopt, reason};
}

} // namespace

ParsedOptions parseSubocrOptions(const std::vector<std::string>& arguments)
{
    SubocrOptions options;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (!optionsEnded && argument == "--") {
            optionsEnded = true;
            continue;
        }
        if (optionsEnded) {
            if (!options.input.empty())
                return failure("more than one input");
            options.input = argument;
            continue;
        }
        if (argument == "-h" || argument == "--help") {
            options.help = true;
            return {options, {}};
        }
        const bool takesValue = argument == "-o" || argument == "--forced-output" ||
                                argument == "--stream" || argument == "--lang" ||
                                argument == "--tessdata" || argument == "--offset" ||
                                argument == "--threads";
        if (!takesValue) {
            if (argument.size() > 1 && argument[0] == '-')
                return failure("unknown option " + argument);
            if (!options.input.empty())
                return failure("more than one input");
            options.input = argument;
            continue;
        }
        if (i + 1 >= arguments.size())
            return failure(argument + " needs a value");
        const std::string& value = arguments[++i];
        if (argument == "-o") {
            options.output = value;
        } else if (argument == "--forced-output") {
            options.forcedOutput = value;
        } else if (argument == "--tessdata") {
            options.tessdata = value;
        } else if (argument == "--lang") {
            if (!validLanguages(value))
                return failure("bad language list " + value);
            options.languages = value;
        } else if (argument == "--stream") {
            const std::optional<int> stream = parseCount(value, 0, 1 << 20);
            if (!stream)
                return failure("bad stream index " + value);
            options.stream = *stream;
        } else if (argument == "--threads") {
            const std::optional<int> threads = parseCount(value, 1, kMaxThreads);
            if (!threads)
                return failure("bad thread count " + value);
            options.threads = *threads;
        } else {
            const std::optional<double> offset = parseSeconds(value);
            if (!offset)
                return failure("bad offset " + value);
            options.offset = *offset;
        }
    }
    if (options.input.empty())
        return failure("no input");
    if (options.output.empty())
        return failure("no output (-o)");
    return {options, {}};
}

std::string subocrUsage()
{
    return "Usage: subocr [options] INPUT -o OUT.srt\n"
           "Reads one picture subtitle stream (PGS, VobSub, DVB) and writes it as SRT text.\n"
           "  INPUT                a movie, a PGS .sup file or a VobSub .idx (with its .sub)\n"
           "  --stream N           the stream's index in INPUT (default: the first picture\n"
           "                       subtitle stream)\n"
           "  --lang L             Tesseract language(s), e.g. eng or deu+eng (default eng)\n"
           "  --tessdata DIR       the folder of L.traineddata (default: $TESSDATA_PREFIX,\n"
           "                       else Tesseract's own)\n"
           "  --offset SECONDS     taken off every time written (default 0)\n"
           "  --threads N          OCR workers (default: one per core)\n"
           "  -o FILE              the SRT of every event that reads as text\n"
           "  --forced-output FILE also an SRT of the forced events only\n";
}

} // namespace subocr
