#include "engine/FileJournal.h"

#include "engine/FileWriteback.h"
#include "foundation/HalvornLib.h"
#include "foundation/PathHelpers.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QSet>
#include <condition_variable>
#include <cstdio>
#include <fcntl.h>
#include <mutex>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

QByteArray readSmallFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.read(1 << 20) : QByteArray();
}

QString bootId()
{
    static const QString id =
        QString::fromLatin1(readSmallFile(QStringLiteral("/proc/sys/kernel/random/boot_id")))
            .trimmed();
    return id;
}

bool alive(const JournalOwner& owner)
{
    return owner.bootId == bootId() && livingOwner(owner.pid) == owner;
}

// Held while a journal is written or the journals are read: an flock on
// the folder's lock file, which writes nothing (so nothing waits for the
// disk, as writing a lock file would on every job's start). Given up after
// two seconds.
class JournalLock final
{
public:
    explicit JournalLock(const QString& folder)
    {
        m_fd = ::open(QFile::encodeName(folder + QStringLiteral("/.flock")).constData(),
                      O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        for (int waited = 0; m_fd >= 0 && waited < 2000; waited += 10) {
            if (::flock(m_fd, LOCK_EX | LOCK_NB) == 0) {
                m_held = true;
                return;
            }
            ::usleep(10000);
        }
    }
    ~JournalLock()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    JournalLock(const JournalLock&) = delete;
    JournalLock& operator=(const JournalLock&) = delete;
    bool held() const { return m_held; }

private:
    int m_fd = -1;
    bool m_held = false;
};

// Only what a job could have made: a regular file, a link or the FIFO of
// the compatible style, never a folder.
bool removableFile(const QString& path)
{
    struct stat info
    {
    };
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 &&
           (S_ISREG(info.st_mode) || S_ISLNK(info.st_mode) || S_ISFIFO(info.st_mode));
}

QString journalPath(const JournalOwner& owner)
{
    return QStringLiteral("%1/%2-%3-%4.journal")
        .arg(FileJournal::folder(), owner.bootId)
        .arg(owner.pid)
        .arg(owner.startTime);
}

} // namespace

std::optional<JournalOwner> livingOwner(qint64 pid)
{
    if (pid <= 0)
        return std::nullopt;
    const QByteArray stat = readSmallFile(QStringLiteral("/proc/%1/stat").arg(pid));
    // The command name in parentheses may hold blanks; the fields follow it.
    const qsizetype close = stat.lastIndexOf(')');
    if (close < 0)
        return std::nullopt;
    const QList<QByteArray> fields = stat.mid(close + 2).split(' ');
    // fields[0] is the state (field 3), fields[19] the start time (field 22).
    if (fields.size() < 20 || fields[0] == "Z" || fields[0] == "X")
        return std::nullopt;
    bool ok = false;
    const quint64 start = fields[19].toULongLong(&ok);
    if (!ok)
        return std::nullopt;
    return JournalOwner{bootId(), pid, start};
}

JournalOwner currentJournalOwner()
{
    static const JournalOwner self =
        livingOwner(qint64(::getpid())).value_or(JournalOwner{bootId(), qint64(::getpid()), 0});
    return self;
}

QByteArray journalText(const JournalEntry& entry)
{
    QJsonObject o;
    o[QStringLiteral("boot")] = entry.owner.bootId;
    o[QStringLiteral("pid")] = entry.owner.pid;
    o[QStringLiteral("start")] = QString::number(entry.owner.startTime);
    o[QStringLiteral("files")] = QJsonArray::fromStringList(entry.files);
    return QJsonDocument(o).toJson();
}

std::optional<JournalEntry> parseJournal(const QByteArray& text)
{
    const QJsonDocument doc = QJsonDocument::fromJson(text);
    const QJsonObject o = doc.object();
    bool ok = false;
    JournalEntry entry;
    entry.owner.bootId = o.value(QStringLiteral("boot")).toString();
    entry.owner.pid = o.value(QStringLiteral("pid")).toInteger();
    entry.owner.startTime = o.value(QStringLiteral("start")).toString().toULongLong(&ok);
    if (!doc.isObject() || !ok || entry.owner.pid <= 0 ||
        !o.value(QStringLiteral("files")).isArray())
        return std::nullopt;
    for (const QJsonValue& v : o.value(QStringLiteral("files")).toArray())
        if (v.isString() && QDir::isAbsolutePath(v.toString()))
            entry.files.append(v.toString());
    return entry;
}

QStringList leftoverFiles(const QList<JournalEntry>& journals,
                          const std::function<bool(const JournalOwner&)>& isAlive)
{
    QSet<QString> living;
    QList<const JournalEntry*> dead;
    for (const JournalEntry& j : journals) {
        if (isAlive(j.owner)) {
            for (const QString& f : j.files)
                living.insert(f);
        } else {
            dead.append(&j);
        }
    }
    QStringList out;
    for (const JournalEntry* j : dead)
        for (const QString& f : j->files)
            if (!living.contains(f) && !out.contains(f))
                out.append(f);
    return out;
}

// Writes the journal's file on a thread of its own, always the text handed
// over last: a newer journal holds every file a job still waits to see on
// the disk, since only a job's own record forgets its files.
class FileJournal::Writer final
{
public:
    // `flushed` is told, on the writer's thread, the number of each flush done.
    explicit Writer(std::function<void(quint64)> flushed) : m_flushed(std::move(flushed)) {}
    ~Writer()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_stopping = true;
        }
        m_wake.notify_all();
        if (m_thread.joinable())
            m_thread.join();
    }
    Writer(const Writer&) = delete;
    Writer& operator=(const Writer&) = delete;

    // The journal `path` in `folder` gets `text` (none removes it); `flush`
    // > 0 numbers a flush asked. The paths come along: the program's
    // folders may be gone by the time the last journal is written.
    void hand(const QString& folder, const QString& path, const QByteArray& text, quint64 flush)
    {
        {
            const std::lock_guard lock(m_mutex);
            m_folder = folder;
            m_path = path;
            m_text = text;
            m_flushWanted = qMax(m_flushWanted, flush);
            m_dirty = true;
            if (!m_thread.joinable())
                m_thread = std::thread([this] { run(); });
        }
        m_wake.notify_all();
    }

    void settle()
    {
        std::unique_lock lock(m_mutex);
        m_idle.wait(lock, [this] { return !m_dirty && !m_busy; });
    }

private:
    void run()
    {
        std::unique_lock lock(m_mutex);
        for (;;) {
            m_wake.wait(lock, [this] { return m_dirty || m_stopping; });
            // Stopping: what was handed over is written first.
            if (!m_dirty)
                return;
            const QString folder = m_folder;
            const QString path = m_path;
            const QByteArray text = m_text;
            const quint64 flush = m_flushWanted;
            const bool durable = flush > m_flushDone;
            m_dirty = false;
            m_busy = true;
            lock.unlock();
            writeJournal(folder, path, text, durable);
            if (durable)
                m_flushed(flush);
            lock.lock();
            m_busy = false;
            if (durable)
                m_flushDone = flush;
            if (!m_dirty)
                m_idle.notify_all();
        }
    }

    static void writeJournal(const QString& folder, const QString& path, const QByteArray& text,
                             bool durable)
    {
        if (text.isEmpty()) {
            QFile::remove(path);
            return;
        }
        QDir().mkpath(folder);
        // A journal that only forgets files is replaced in one rename, never
        // flushed: lost to a power cut, the older one names files that are
        // gone or are this run's leftovers all the same. Readers see the old
        // or the new one whole.
        if (!durable) {
            const QString temporary = path + QStringLiteral(".new");
            QFile file(temporary);
            const bool written =
                file.open(QIODevice::WriteOnly) && file.write(text) >= 0 && file.flush();
            file.close();
            if (!written || std::rename(QFile::encodeName(temporary).constData(),
                                        QFile::encodeName(path).constData()) != 0)
                QFile::remove(temporary);
            return;
        }
        const JournalLock lock(folder);
        // The journal must be on the disk before the files it names are
        // made, or a power cut leaves files no journal knows of. QSaveFile
        // flushes the new journal's data (fdatasync) before it gives it its
        // name; the name itself is flushed with the folder.
        QSaveFile file(path);
        if (file.open(QIODevice::WriteOnly)) {
            file.write(text);
            if (file.commit())
                syncFolder(folder);
        }
    }

    const std::function<void(quint64)> m_flushed;
    std::mutex m_mutex;
    std::condition_variable m_wake, m_idle;
    QString m_folder, m_path;
    QByteArray m_text;
    quint64 m_flushWanted = 0, m_flushDone = 0;
    bool m_dirty = false, m_busy = false, m_stopping = false;
    std::thread m_thread;
};

FileJournal::FileJournal()
    : m_writer(std::make_unique<Writer>([this](quint64 done) {
          QMetaObject::invokeMethod(
              &m_mainThread, [this, done] { flushed(done); }, Qt::QueuedConnection);
      }))
{
}

FileJournal::~FileJournal()
{
    // The writer ends (writing what it was handed) before the receiver of
    // its news goes.
    m_writer.reset();
}

FileJournal& FileJournal::instance()
{
    static FileJournal journal;
    return journal;
}

QString FileJournal::folder()
{
    return appInfo().suppDir() + QStringLiteral("/journal");
}

bool FileJournal::names(const QString& path) const
{
    for (const QStringList& files : m_files)
        if (files.contains(path))
            return true;
    return false;
}

void FileJournal::record(const void* owner, const QStringList& files, Flush flush)
{
    QStringList kept;
    for (const QString& f : files)
        if (!f.isEmpty())
            kept.append(f);
    // Only a file not yet on the disk's journal must reach it before a tool
    // writes it; forgetting files may wait for the disk's own pace.
    bool grows = false;
    for (const QString& f : kept)
        grows = grows || !names(f);
    m_unflushed = m_unflushed || grows;
    const bool durable = flush == Flush::BeforeTool && m_unflushed;
    if (kept.isEmpty()) {
        if (m_files.remove(owner) == 0)
            return;
    } else {
        if (m_files.value(owner) == kept && !durable)
            return;
        m_files.insert(owner, kept);
    }
    write(durable);
    QStringList written;
    for (const QStringList& files : std::as_const(m_files))
        written += files;
    FileWriteback::instance().follow(written);
}

void FileJournal::whenOnDisk(QObject* context, std::function<void()> then)
{
    if (m_unflushed)
        write(true);
    if (m_flushesDone >= m_flushesAsked) {
        then();
        return;
    }
    m_waiters.append({m_flushesAsked, context, std::move(then)});
}

void FileJournal::settle()
{
    m_writer->settle();
}

void FileJournal::flushed(quint64 done)
{
    m_flushesDone = qMax(m_flushesDone, done);
    QList<Waiter> due;
    for (qsizetype i = 0; i < m_waiters.size();) {
        if (m_waiters.at(i).flush <= m_flushesDone)
            due.append(m_waiters.takeAt(i));
        else
            ++i;
    }
    for (const Waiter& waiter : std::as_const(due))
        if (waiter.context)
            waiter.then();
}

void FileJournal::write(bool durable)
{
    const JournalOwner self = currentJournalOwner();
    JournalEntry entry{self, {}};
    for (const QStringList& files : std::as_const(m_files))
        for (const QString& f : files)
            if (!entry.files.contains(f))
                entry.files.append(f);
    if (durable) {
        ++m_flushesAsked;
        m_unflushed = false;
    }
    m_writer->hand(folder(), journalPath(self),
                   entry.files.isEmpty() ? QByteArray() : journalText(entry),
                   durable ? m_flushesAsked : 0);
}

void FileJournal::removeLeftovers()
{
    // This run's own journal keeps the files of its jobs.
    settle();
    const QDir dir(folder());
    if (!dir.exists())
        return;
    const JournalLock lock(folder());
    // Another run is cleaning up or recording right now; the next start
    // catches what is left.
    if (!lock.held())
        return;
    QList<JournalEntry> journals;
    QStringList deadJournals;
    for (const QString& name :
         dir.entryList({QStringLiteral("*.journal")}, QDir::Files | QDir::Hidden)) {
        const auto entry = parseJournal(readSmallFile(dir.filePath(name)));
        if (!entry)
            continue;
        journals.append(*entry);
        if (!alive(entry->owner))
            deadJournals.append(dir.filePath(name));
    }
    for (const QString& file : leftoverFiles(journals, alive))
        if (removableFile(file))
            QFile::remove(file);
    for (const QString& journal : deadJournals)
        QFile::remove(journal);
}
