#pragma once

#include "subocr/OcrPool.h"
#include "subocr/SubPicture.h"
#include "subocr/SubocrOptions.h"

#include <cstdint>
#include <string>
#include <vector>

namespace subocr {

class SubpictureDecoder;
class SubtitleInput;

// One run of the tool: reads the stream, has its events read, writes the
// SRT files and reports on standard output (progress lines while it runs,
// one summary line or an "Error:" line at the end).
class SubocrRun
{
public:
    explicit SubocrRun(SubocrOptions options);

    // The exit status: 0 done (also when nothing read as text), 1 failed.
    int run();

private:
    // An event handed to the workers, by its number.
    struct EventRecord
    {
        std::int64_t start = 0;
        std::int64_t end = 0;
        double position = 0;      // how far into the input it was decoded
        std::vector<bool> forced; // per picture, top to bottom
    };
    struct Tally
    {
        std::size_t subtitles = 0;
        std::size_t damaged = 0;
    };

    bool openOutputs(std::string& error);
    Tally decodeAll(SubtitleInput& input, SubpictureDecoder& decoder, OcrPool& pool);
    void submit(std::vector<SubtitleEvent> events, OcrPool& pool);
    void waitForReading(OcrPool& pool);
    int writeOutputs(const std::vector<OcrTexts>& texts, const Tally& tally);
    int fail(const std::string& reason);
    void reportProgress(double fraction);

    SubocrOptions m_options;
    std::int64_t m_offset = 0; // microseconds
    std::vector<EventRecord> m_events;
    int m_progress = -1;
    std::vector<std::string> m_created; // outputs to remove when the run fails
};

} // namespace subocr
