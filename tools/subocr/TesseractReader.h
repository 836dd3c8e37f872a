#pragma once

#include "subocr/GreyImage.h"

#include <memory>
#include <string>

// The C API names the C++ class (its header says so when compiled as C++).
namespace tesseract {
class TessBaseAPI;
class ETEXT_DESC;
} // namespace tesseract

namespace subocr {

// One Tesseract instance, set up once, reading prepared pictures as blocks
// of lines. Not for use from two threads at once.
class TesseractReader
{
public:
    // An empty folder: Tesseract's own choice ($TESSDATA_PREFIX, else its
    // built-in folder).
    TesseractReader(const std::string& tessdata, const std::string& languages);
    ~TesseractReader();
    TesseractReader(const TesseractReader&) = delete;
    TesseractReader& operator=(const TesseractReader&) = delete;

    bool isReady() const { return m_ready; }
    // The folder Tesseract looked in for the trained data.
    std::string folder() const;
    // The picture's text, lines ended by "\n"; empty when it reads as nothing.
    // Reading stops after kCpuBudgetSeconds of this thread's processor time
    // (time stopped by a signal does not count) with what was read so far.
    std::string read(const GreyImage& image);

    static constexpr double kCpuBudgetSeconds = 5;

private:
    struct ApiDeleter
    {
        void operator()(tesseract::TessBaseAPI* api) const;
    };
    struct MonitorDeleter
    {
        void operator()(tesseract::ETEXT_DESC* monitor) const;
    };
    std::unique_ptr<tesseract::TessBaseAPI, ApiDeleter> m_api;
    std::unique_ptr<tesseract::ETEXT_DESC, MonitorDeleter> m_monitor;
    bool m_ready = false;
};

// The first of the '+'-joined languages without its trained data in the
// folder; empty when all are there.
std::string missingLanguage(const std::string& folder, const std::string& languages);

} // namespace subocr
