#pragma once

#include "subocr/BoundedQueue.h"
#include "subocr/SubPicture.h"
#include "subocr/TesseractReader.h"
#include "subocr/TextMending.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace subocr {

// One event's pictures, top to bottom, to be read.
struct OcrJob
{
    std::size_t index = 0; // the event's number, from 0 in submission order
    std::vector<Bitmap> rects;
};

// The mended text of each of the job's pictures, in its order ("" for a
// picture that reads as nothing).
using OcrTexts = std::vector<std::string>;

// Workers that each own a Tesseract instance and read the events handed to
// them. A short queue keeps the pictures waiting to be read few, so memory
// stays bounded however long the track; the texts are kept by event number.
class OcrPool
{
public:
    // The first worker gets `first` (set up and checked by the caller); the
    // others set up their own alike.
    OcrPool(std::unique_ptr<TesseractReader> first, const std::string& tessdata,
            const std::string& languages, int workers, MendingRules rules);
    ~OcrPool();
    OcrPool(const OcrPool&) = delete;
    OcrPool& operator=(const OcrPool&) = delete;

    // Hands on the next event (numbered in order from 0); waits while the
    // queue is full.
    void submit(OcrJob job);
    // How many events from the first on are read.
    std::size_t readInOrder() const;
    // Waits until more than `known` events in order are read or until all
    // submitted are; answers readInOrder().
    std::size_t waitBeyond(std::size_t known);
    // After the last submit: waits for the workers to finish, then answers
    // the texts by event number.
    std::vector<OcrTexts> finish();

private:
    void work(std::unique_ptr<TesseractReader> reader, const std::string& tessdata,
              const std::string& languages);
    void store(std::size_t index, OcrTexts texts);

    const MendingRules m_rules;
    BoundedQueue<OcrJob> m_queue;
    mutable std::mutex m_mutex;
    std::condition_variable m_stored;
    std::vector<OcrTexts> m_texts;
    std::vector<bool> m_done;
    std::size_t m_inOrder = 0;
    std::vector<std::thread> m_workers;
};

} // namespace subocr
