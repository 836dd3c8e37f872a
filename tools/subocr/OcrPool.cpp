#include "subocr/OcrPool.h"

#include "subocr/PicturePreparation.h"

namespace subocr {

OcrPool::OcrPool(std::unique_ptr<TesseractReader> first, const std::string& tessdata,
                 const std::string& languages, int workers, MendingRules rules)
    : m_rules(rules), m_queue(std::size_t(std::max(workers, 1)) * 2)
{
    m_workers.emplace_back(&OcrPool::work, this, std::move(first), tessdata, languages);
    for (int i = 1; i < workers; ++i)
        m_workers.emplace_back(&OcrPool::work, this, nullptr, tessdata, languages);
}

OcrPool::~OcrPool()
{
    m_queue.close();
    for (std::thread& worker : m_workers) {
        if (worker.joinable())
            worker.join();
    }
}

void OcrPool::submit(OcrJob job)
{
    {
        std::lock_guard lock(m_mutex);
        if (job.index >= m_texts.size()) {
            m_texts.resize(job.index + 1);
            m_done.resize(job.index + 1, false);
        }
    }
    m_queue.push(std::move(job));
}

std::size_t OcrPool::readInOrder() const
{
    std::lock_guard lock(m_mutex);
    return m_inOrder;
}

std::size_t OcrPool::waitBeyond(std::size_t known)
{
    std::unique_lock lock(m_mutex);
    m_stored.wait(lock, [&] { return m_inOrder > known || m_inOrder == m_done.size(); });
    return m_inOrder;
}

std::vector<OcrTexts> OcrPool::finish()
{
    m_queue.close();
    for (std::thread& worker : m_workers) {
        if (worker.joinable())
            worker.join();
    }
    std::lock_guard lock(m_mutex);
    return std::move(m_texts);
}

void OcrPool::work(std::unique_ptr<TesseractReader> reader, const std::string& tessdata,
                   const std::string& languages)
{
    if (!reader)
        reader = std::make_unique<TesseractReader>(tessdata, languages);
    // A worker that cannot set up leaves the jobs to the others; the first
    // one always can.
    if (!reader->isReady())
        return;
    while (std::optional<OcrJob> job = m_queue.pop()) {
        OcrTexts texts;
        for (const Bitmap& rect : job->rects) {
            const GreyImage picture = prepareForOcr(rect);
            texts.push_back(picture.empty() ? std::string()
                                            : mendText(reader->read(picture), m_rules));
        }
        store(job->index, std::move(texts));
    }
}

void OcrPool::store(std::size_t index, OcrTexts texts)
{
    std::lock_guard lock(m_mutex);
    m_texts[index] = std::move(texts);
    m_done[index] = true;
    while (m_inOrder < m_done.size() && m_done[m_inOrder])
        ++m_inOrder;
    m_stored.notify_all();
}

} // namespace subocr
