#pragma once

#include <QByteArray>
#include <QStringList>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

// Starts writing the files the running jobs write to the disk while they
// grow, so that flushing a finished movie before it gets its name (fsync)
// finds little left to write. Without it a 1 GB movie sits in the page cache
// until the end and its flush makes the job wait for all of it.
//
// Every half second the files are also flushed to the disk itself, so that
// a disk (or a virtual machine's host) that caches what it is handed holds
// little the final flush must wait for.
//
// The work runs on a thread of its own: starting write-out may wait for the
// disk's queue (a slow USB stick), and a flush for the disk, which must never
// stall the window. Errors are left to the final flush, which reports them.
class FileWriteback final
{
public:
    static FileWriteback& instance();
    ~FileWriteback();
    FileWriteback(const FileWriteback&) = delete;
    FileWriteback& operator=(const FileWriteback&) = delete;

    // Replaces the files followed; an empty list lets the thread sleep.
    void follow(const QStringList& files);

private:
    FileWriteback() = default;
    void run();

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::vector<QByteArray> m_files;
    bool m_stopping = false;
    std::thread m_thread;
};
