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
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
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
    if (durable)
        m_unflushed = false;
    QStringList written;
    for (const QStringList& files : std::as_const(m_files))
        written += files;
    FileWriteback::instance().follow(written);
}

void FileJournal::write(bool durable)
{
    QDir().mkpath(folder());
    const JournalOwner self = currentJournalOwner();
    JournalEntry entry{self, {}};
    for (const QStringList& files : std::as_const(m_files))
        for (const QString& f : files)
            if (!entry.files.contains(f))
                entry.files.append(f);
    if (entry.files.isEmpty()) {
        QFile::remove(journalPath(self));
        return;
    }
    // A journal that only forgets files is replaced in one rename, never
    // flushed: lost to a power cut, the older one names files that are gone
    // or are this run's leftovers all the same. Readers see the old or the
    // new one whole.
    if (!durable) {
        const QString temporary = journalPath(self) + QStringLiteral(".new");
        QFile file(temporary);
        const bool written =
            file.open(QIODevice::WriteOnly) && file.write(journalText(entry)) >= 0 && file.flush();
        file.close();
        if (!written || std::rename(QFile::encodeName(temporary).constData(),
                                    QFile::encodeName(journalPath(self)).constData()) != 0)
            QFile::remove(temporary);
        return;
    }
    const JournalLock lock(folder());
    // The journal must be on the disk before the files it names are made,
    // or a power cut leaves files no journal knows of. QSaveFile flushes the
    // new journal's data (fdatasync) before it gives it its name; the name
    // itself is flushed with the folder.
    QSaveFile file(journalPath(self));
    if (file.open(QIODevice::WriteOnly)) {
        file.write(journalText(entry));
        if (file.commit())
            syncFolder(folder());
    }
}

void FileJournal::removeLeftovers()
{
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
