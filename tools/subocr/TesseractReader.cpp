#include "subocr/TesseractReader.h"

#include <ctime>
#include <tesseract/capi.h>
#include <unistd.h>

namespace subocr {

namespace {

// The prepared pictures have letters of screen-text size at this density.
constexpr int kResolution = 300;

struct TextDeleter
{
    void operator()(char* text) const { TessDeleteText(text); }
};

double threadCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

// Asked by Tesseract between words: the processor time the thread may use
// up to is in `limit`.
bool overBudget(void* limit, int /*words*/)
{
    return threadCpuSeconds() > *static_cast<const double*>(limit);
}

} // namespace

void TesseractReader::MonitorDeleter::operator()(tesseract::ETEXT_DESC* monitor) const
{
    TessMonitorDelete(monitor);
}

void TesseractReader::ApiDeleter::operator()(TessBaseAPI* api) const
{
    TessBaseAPIEnd(api);
    TessBaseAPIDelete(api);
}

TesseractReader::TesseractReader(const std::string& tessdata, const std::string& languages)
    : m_api(TessBaseAPICreate()), m_monitor(TessMonitorCreate())
{
    if (!m_api || !m_monitor)
        return;
    m_ready = TessBaseAPIInit3(m_api.get(), tessdata.empty() ? nullptr : tessdata.c_str(),
                               languages.c_str()) == 0;
    if (!m_ready)
        return;
    // Lines of one picture stay lines of their own.
    TessBaseAPISetPageSegMode(m_api.get(), tesseract::PSM_SINGLE_BLOCK);
    // The text is dark on white by construction: no second look at
    // inverted lines.
    TessBaseAPISetVariable(m_api.get(), "tessedit_do_invert", "0");
}

TesseractReader::~TesseractReader() = default;

std::string TesseractReader::folder() const
{
    std::string path = m_api ? TessBaseAPIGetDatapath(m_api.get()) : "";
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

std::string TesseractReader::read(const GreyImage& image)
{
    if (!m_ready || image.empty())
        return {};
    TessBaseAPISetImage(m_api.get(), image.pixels.data(), image.width, image.height, 1,
                        image.width);
    TessBaseAPISetSourceResolution(m_api.get(), kResolution);
    double limit = threadCpuSeconds() + kCpuBudgetSeconds;
    TessMonitorSetCancelThis(m_monitor.get(), &limit);
    TessMonitorSetCancelFunc(m_monitor.get(), &overBudget);
    // A picture cut short still answers the words read before.
    TessBaseAPIRecognize(m_api.get(), m_monitor.get());
    const std::unique_ptr<char, TextDeleter> text(TessBaseAPIGetUTF8Text(m_api.get()));
    TessBaseAPIClear(m_api.get());
    return text ? std::string(text.get()) : std::string();
}

std::string missingLanguage(const std::string& folder, const std::string& languages)
{
    std::size_t start = 0;
    while (start < languages.size()) {
        std::size_t plus = languages.find('+', start);
        if (plus == std::string::npos)
            plus = languages.size();
        const std::string language = languages.substr(start, plus - start);
        const std::string file = folder + "/" + language + ".traineddata";
        if (!language.empty() && ::access(file.c_str(), R_OK) != 0)
            return language;
        start = plus + 1;
    }
    return {};
}

} // namespace subocr
