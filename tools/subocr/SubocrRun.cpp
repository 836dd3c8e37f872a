#include "subocr/SubocrRun.h"

#include "subocr/EventTimeline.h"
#include "subocr/SrtWriter.h"
#include "subocr/SubpictureDecoder.h"
#include "subocr/SubtitleInput.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <numeric>
#include <thread>
#include <unistd.h>

namespace subocr {

namespace {

struct FileCloser
{
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// Progress stays below 100 until the files are written.
constexpr double kBeforeWriting = 0.99;

// The texts of the event's pictures (all, or the forced ones) top to bottom.
std::string joinTexts(const OcrTexts& texts, const std::vector<bool>& forced, bool forcedOnly)
{
    std::string out;
    for (std::size_t i = 0; i < texts.size() && i < forced.size(); ++i) {
        if (texts[i].empty() || (forcedOnly && !forced[i]))
            continue;
        if (!out.empty())
            out += '\n';
        out += texts[i];
    }
    return out;
}

bool writeFile(const std::string& path, const std::string& text, std::string& error)
{
    FilePtr file(std::fopen(path.c_str(), "wb"));
    bool written = file && std::fwrite(text.data(), 1, text.size(), file.get()) == text.size() &&
                   std::fflush(file.get()) == 0;
    if (file && std::fclose(file.release()) != 0)
        written = false;
    if (!written)
        error = "cannot write " + path + ": " + std::strerror(errno);
    return written;
}

} // namespace

SubocrRun::SubocrRun(SubocrOptions options)
    : m_options(std::move(options)), m_offset(std::llround(m_options.offset * 1e6))
{
}

int SubocrRun::run()
{
    SubtitleInput input;
    if (!input.openFile(m_options.input) || !input.selectStream(m_options.stream))
        return fail(input.error());
    SubpictureDecoder decoder(*input.stream()->codecpar, input.stream()->time_base);
    if (!decoder.isOpen())
        return fail(decoder.error());

    std::string error;
    if (!openOutputs(error))
        return fail(error);

    std::string tessdata = m_options.tessdata;
    if (tessdata.empty() && std::getenv("TESSDATA_PREFIX") != nullptr)
        tessdata = std::getenv("TESSDATA_PREFIX");
    while (tessdata.size() > 1 && tessdata.back() == '/')
        tessdata.pop_back();
    // A folder given is looked into before Tesseract loads anything; its own
    // default folder is known once it has tried.
    std::string missing = tessdata.empty() ? "" : missingLanguage(tessdata, m_options.languages);
    if (!missing.empty())
        return fail("no trained data for " + missing + " in " + tessdata);
    auto reader = std::make_unique<TesseractReader>(tessdata, m_options.languages);
    const std::string folder = reader->folder();
    missing = missingLanguage(folder, m_options.languages);
    if (!missing.empty())
        return fail("no trained data for " + missing + " in " + folder);
    if (!reader->isReady())
        return fail("Tesseract cannot load " + m_options.languages + " from " + folder);

    reportProgress(0);
    const int workers = m_options.threads > 0
                            ? m_options.threads
                            : int(std::max(1u, std::thread::hardware_concurrency()));
    OcrPool pool(std::move(reader), tessdata, m_options.languages, workers,
                 mendingRulesFor(m_options.languages));
    const Tally tally = decodeAll(input, decoder, pool);
    if (tally.subtitles == 0 && tally.damaged > 0) {
        return fail("nothing in stream " + std::to_string(input.stream()->index) + " of " +
                    m_options.input + " could be decoded");
    }
    waitForReading(pool);
    return writeOutputs(pool.finish(), tally);
}

// The outputs are made before the work, so that one that cannot be written
// fails the run at once.
bool SubocrRun::openOutputs(std::string& error)
{
    for (const std::string& path : {m_options.output, m_options.forcedOutput}) {
        if (path.empty())
            continue;
        const bool existed = ::access(path.c_str(), F_OK) == 0;
        const FilePtr file(std::fopen(path.c_str(), "ab"));
        if (!file) {
            error = "cannot write " + path + ": " + std::strerror(errno);
            return false;
        }
        if (!existed)
            m_created.push_back(path);
    }
    return true;
}

SubocrRun::Tally SubocrRun::decodeAll(SubtitleInput& input, SubpictureDecoder& decoder,
                                      OcrPool& pool)
{
    Tally tally;
    EventTimeline timeline;
    const PacketPtr packet(av_packet_alloc());
    DecodedSubtitle decoded;
    while (packet && m_events.size() < kMaxEvents) {
        const SubtitleInput::Read status = input.read(*packet);
        if (status == SubtitleInput::Read::End)
            break;
        if (status == SubtitleInput::Read::Damaged) {
            ++tally.damaged;
            continue;
        }
        const double position = input.position(*packet);
        switch (decoder.decode(*packet, decoded)) {
        case SubpictureDecoder::Result::Damaged:
            ++tally.damaged;
            break;
        case SubpictureDecoder::Result::Subtitle:
            ++tally.subtitles;
            decoded.position = position;
            submit(timeline.push(std::move(decoded)), pool);
            break;
        case SubpictureDecoder::Result::Nothing:
            break;
        }
        // Done up to the first event still being read, else up to here.
        const std::size_t read = pool.readInOrder();
        reportProgress(
            std::min(kBeforeWriting, read < m_events.size() ? m_events[read].position : position));
    }
    // A decoder holding a subtitle back answers it to an empty packet.
    if (packet) {
        av_packet_unref(packet.get());
        if (decoder.decode(*packet, decoded) == SubpictureDecoder::Result::Subtitle) {
            ++tally.subtitles;
            decoded.position = 1;
            submit(timeline.push(std::move(decoded)), pool);
        }
    }
    submit(timeline.finish(), pool);
    return tally;
}

// Moves the events onto the output's time line (those over before it
// starts go) and hands them to the workers, pictures top to bottom.
void SubocrRun::submit(std::vector<SubtitleEvent> events, OcrPool& pool)
{
    for (SubtitleEvent& event : events) {
        event.start -= m_offset;
        event.end -= m_offset;
        if (event.end <= 0 || m_events.size() >= kMaxEvents)
            continue;
        std::stable_sort(
            event.rects.begin(), event.rects.end(),
            [](const Bitmap& a, const Bitmap& b) { return a.y != b.y ? a.y < b.y : a.x < b.x; });
        EventRecord record{std::max<std::int64_t>(event.start, 0), event.end, event.position, {}};
        for (const Bitmap& rect : event.rects)
            record.forced.push_back(rect.forced);
        m_events.push_back(std::move(record));
        pool.submit(OcrJob{m_events.size() - 1, std::move(event.rects)});
    }
}

void SubocrRun::waitForReading(OcrPool& pool)
{
    for (std::size_t read = pool.readInOrder(); read < m_events.size();) {
        reportProgress(std::min(kBeforeWriting, m_events[read].position));
        read = pool.waitBeyond(read);
    }
}

int SubocrRun::writeOutputs(const std::vector<OcrTexts>& texts, const Tally& tally)
{
    std::vector<std::size_t> order(m_events.size());
    std::iota(order.begin(), order.end(), std::size_t(0));
    std::stable_sort(order.begin(), order.end(), [this](std::size_t a, std::size_t b) {
        return m_events[a].start < m_events[b].start;
    });
    std::vector<SrtEntry> all, forcedOnly;
    std::size_t empty = 0;
    for (const std::size_t i : order) {
        const EventRecord& event = m_events[i];
        const OcrTexts& eventTexts = i < texts.size() ? texts[i] : OcrTexts();
        const std::string text = joinTexts(eventTexts, event.forced, false);
        if (text.empty()) {
            ++empty;
            continue;
        }
        all.push_back({event.start, event.end, text});
        const std::string forcedText = joinTexts(eventTexts, event.forced, true);
        if (!forcedText.empty())
            forcedOnly.push_back({event.start, event.end, forcedText});
    }
    std::string error;
    if (!writeFile(m_options.output, srtDocument(all), error) ||
        (!m_options.forcedOutput.empty() &&
         !writeFile(m_options.forcedOutput, srtDocument(forcedOnly), error)))
        return fail(error);

    reportProgress(1.0);
    std::printf("events: %zu read: %zu forced: %zu empty: %zu", m_events.size(), all.size(),
                forcedOnly.size(), empty);
    if (tally.damaged > 0)
        std::printf(" damaged: %zu", tally.damaged);
    std::printf("\n");
    std::fflush(stdout);
    return 0;
}

int SubocrRun::fail(const std::string& reason)
{
    for (const std::string& path : m_created)
        ::unlink(path.c_str());
    std::printf("Error: %s\n", reason.c_str());
    std::fflush(stdout);
    return 1;
}

void SubocrRun::reportProgress(double fraction)
{
    const int percent = std::clamp(int(std::floor(fraction * 100.0)), 0, 100);
    if (percent == m_progress)
        return;
    m_progress = percent;
    std::printf("progress: %d\n", percent);
    std::fflush(stdout);
}

} // namespace subocr
