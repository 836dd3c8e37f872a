#include "engine/FileWriteback.h"

#include <QFile>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Often enough that what a fast copy writes between two rounds (about
// 100 MB at 1 GB/s) takes the disk a fraction of the run to flush.
constexpr std::chrono::milliseconds kRound(100);
// The end of a file that its writer is still appending to is left for the
// next round: a page under write-out that is written again can make the
// writer wait for the disk.
constexpr off_t kTailBytes = 1 << 20;
// Every this many rounds (half a second) the files are also flushed to the
// disk itself (fdatasync), not only handed to it: a disk or a virtual
// machine's host that keeps written data in a cache of its own writes it
// for good only when told, and the final flush would wait for all of it.
// Rarer than the rounds, as each one also flushes the disk's cache.
constexpr int kRoundsPerFlush = 5;

// Starts write-out of what is written of the file, less its growing end, or
// with `flush` writes all of it to the disk and waits for that. The file is
// opened for the moment only: a long-held descriptor would keep
// a deleted partial file's space in use and may stand in the way of its
// rename on a network share.
void startWriteOut(const QByteArray& path, bool flush)
{
    // Only regular files: opening a FIFO, even for a moment, would stand in
    // for its reader and cost its writer a broken pipe.
    struct stat before
    {
    };
    if (::stat(path.constData(), &before) != 0 || !S_ISREG(before.st_mode))
        return;
    int fd = -1;
    do
        fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return;
    struct stat info
    {
    };
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > kTailBytes) {
        if (flush)
            ::fdatasync(fd);
        else
            ::sync_file_range(fd, 0, info.st_size - kTailBytes, SYNC_FILE_RANGE_WRITE);
    }
    ::close(fd);
}

} // namespace

FileWriteback& FileWriteback::instance()
{
    static FileWriteback writeback;
    return writeback;
}

FileWriteback::~FileWriteback()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
        m_files.clear();
    }
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void FileWriteback::follow(const QStringList& files)
{
    std::vector<QByteArray> paths;
    for (const QString& file : files)
        if (!file.isEmpty())
            paths.push_back(QFile::encodeName(file));
    {
        const std::lock_guard lock(m_mutex);
        // A job ended while the program's statics go: no thread is started.
        if (m_stopping)
            return;
        m_files = std::move(paths);
        if (!m_thread.joinable() && !m_files.empty())
            m_thread = std::thread([this] { run(); });
    }
    m_wake.notify_all();
}

void FileWriteback::run()
{
    std::unique_lock lock(m_mutex);
    int round = 0;
    while (!m_stopping) {
        if (m_files.empty()) {
            m_wake.wait(lock, [this] { return m_stopping || !m_files.empty(); });
            continue;
        }
        const std::vector<QByteArray> files = m_files;
        lock.unlock();
        const bool flush = ++round % kRoundsPerFlush == 0;
        for (const QByteArray& path : files)
            startWriteOut(path, flush);
        lock.lock();
        m_wake.wait_for(lock, kRound, [this] { return m_stopping; });
    }
}
