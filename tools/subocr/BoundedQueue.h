#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <optional>

namespace subocr {

// A queue between threads that holds at most `capacity` items: a producer
// waits while it is full, consumers while it is empty.
template <typename T> class BoundedQueue
{
public:
    explicit BoundedQueue(std::size_t capacity) : m_capacity(capacity > 0 ? capacity : 1) {}

    // False when the queue was closed (the item is dropped).
    bool push(T item)
    {
        std::unique_lock lock(m_mutex);
        m_notFull.wait(lock, [this] { return m_closed || m_items.size() < m_capacity; });
        if (m_closed)
            return false;
        m_items.push_back(std::move(item));
        m_notEmpty.notify_one();
        return true;
    }

    // The next item; none once the queue is closed and empty.
    std::optional<T> pop()
    {
        std::unique_lock lock(m_mutex);
        m_notEmpty.wait(lock, [this] { return m_closed || !m_items.empty(); });
        if (m_items.empty())
            return std::nullopt;
        T item = std::move(m_items.front());
        m_items.pop_front();
        m_notFull.notify_one();
        return item;
    }

    // No more items come; what is queued is still handed out.
    void close()
    {
        std::lock_guard lock(m_mutex);
        m_closed = true;
        m_notEmpty.notify_all();
        m_notFull.notify_all();
    }

private:
    const std::size_t m_capacity;
    std::mutex m_mutex;
    std::condition_variable m_notFull;
    std::condition_variable m_notEmpty;
    std::deque<T> m_items;
    bool m_closed = false;
};

} // namespace subocr
