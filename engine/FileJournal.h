#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

// Which process wrote a journal: a pid is reused, so its start time since
// boot and the boot it ran in name it for certain.
struct JournalOwner
{
    QString bootId;
    qint64 pid = 0;
    quint64 startTime = 0; // clock ticks after boot (/proc/PID/stat field 22)

    bool operator==(const JournalOwner&) const = default;
};

struct JournalEntry
{
    JournalOwner owner;
    QStringList files;
};

// The identity of the running process, and that of any living process
// (absent when there is no such process).
JournalOwner currentJournalOwner();
std::optional<JournalOwner> livingOwner(qint64 pid);

// The text of a journal file and back; absent for anything unreadable.
QByteArray journalText(const JournalEntry& entry);
std::optional<JournalEntry> parseJournal(const QByteArray& text);

// The files a dead run left behind: those its journals name, less every file
// a living journal names. `alive` answers whether an owner still runs.
QStringList leftoverFiles(const QList<JournalEntry>& journals,
                          const std::function<bool(const JournalOwner&)>& alive);

// The partial and temporary files of the running jobs of this process, kept
// in one journal file per process in the application's data folder. A job
// records its files before it starts a process that writes them; the next
// start of either program removes what a run that died left behind.
//
// The journal's file is written on a thread of its own, in the order the
// records were made, so that the window never waits for the disk.
class FileJournal final
{
public:
    static FileJournal& instance();
    ~FileJournal();
    FileJournal(const FileJournal&) = delete;
    FileJournal& operator=(const FileJournal&) = delete;

    // Replaces the files recorded for `owner` (a job); an empty list forgets it.
    // The files recorded are written to the disk as they grow (FileWriteback).
    // BeforeTool: a tool starts next, so files learnt since the last flush
    // are flushed to the disk (whenOnDisk tells when). Later: written at
    // once (a crash of the program loses nothing), flushed with the next
    // BeforeTool.
    enum class Flush { BeforeTool, Later };
    void record(const void* owner, const QStringList& files, Flush flush = Flush::BeforeTool);
    // Calls `then` on the main thread once the journal on the disk names
    // every file recorded so far: at once when it does already, else when
    // its flush is done; never when `context` is gone by then.
    void whenOnDisk(QObject* context, std::function<void()> then);
    // Waits until the journal's file holds what was recorded last.
    void settle();
    // Whether a job of this process has `path` recorded.
    bool names(const QString& path) const;
    // Removes the files named by the journals of processes that no longer
    // run (never one a living process names), then those journals.
    void removeLeftovers();

    // Where the journals are kept.
    static QString folder();

private:
    class Writer;
    struct Waiter
    {
        quint64 flush = 0;
        QPointer<QObject> context;
        std::function<void()> then;
    };

    FileJournal();
    // Hands this process's journal to the writer; `durable` flushes it to
    // the disk.
    void write(bool durable);
    // The writer's flush number `done` is on the disk.
    void flushed(quint64 done);

    QHash<const void*, QStringList> m_files;
    // Files recorded since the journal was last handed over for a flush.
    bool m_unflushed = false;
    // Flushes asked of the writer, and the last of them known to be done.
    quint64 m_flushesAsked = 0;
    quint64 m_flushesDone = 0;
    QList<Waiter> m_waiters;
    // Receives the writer's news on the main thread.
    QObject m_mainThread;
    std::unique_ptr<Writer> m_writer;
};
