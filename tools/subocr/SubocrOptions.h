#pragma once

#include <optional>
#include <string>
#include <vector>

namespace subocr {

struct SubocrOptions
{
    std::string input;
    std::string output;
    std::string forcedOutput; // empty: none
    int stream = -1;          // -1: the first picture subtitle stream
    std::string languages = "eng";
    std::string tessdata; // empty: $TESSDATA_PREFIX, else Tesseract's own
    double offset = 0;    // seconds taken off every time
    int threads = 0;      // 0: one per core
    bool help = false;
};

struct ParsedOptions
{
    std::optional<SubocrOptions> options;
    std::string error; // why the command line is wrong, when options is empty
};

// The command line after the program name.
ParsedOptions parseSubocrOptions(const std::vector<std::string>& arguments);
std::string subocrUsage();

} // namespace subocr
