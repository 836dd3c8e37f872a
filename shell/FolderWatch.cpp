#include "shell/FolderWatch.h"

#include "foundation/OpenForWriting.h"
#include "shell/LibraryWalk.h"

#include <QDateTime>
#include <QFileInfo>
#include <QSet>

FolderWatch::FolderWatch(const QStringList& roots, int settleMilliseconds, QObject* parent)
    : QObject(parent), m_settleMs(settleMilliseconds)
{
    for (const QString& root : roots)
        m_roots.append(QFileInfo(root).absoluteFilePath());
    m_rescan.setInterval(kRescanMilliseconds);
    connect(&m_rescan, &QTimer::timeout, this, [this] { scan(false); });
    // A burst of events (a copy of a whole folder) makes one look.
    m_soon.setSingleShot(true);
    m_soon.setInterval(300);
    connect(&m_soon, &QTimer::timeout, this, [this] { scan(false); });
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, &m_soon,
            qOverload<>(&QTimer::start));
    m_check.setInterval(qBound(200, m_settleMs / 4, 1000));
    connect(&m_check, &QTimer::timeout, this, &FolderWatch::checkPending);
}

FolderWatch::~FolderWatch() = default;

void FolderWatch::start()
{
    scan(true);
    m_rescan.start();
}

FolderWatch::Stamp FolderWatch::stampOf(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return {};
    return Stamp{info.size(), info.lastModified().toMSecsSinceEpoch()};
}

void FolderWatch::scan(bool initial)
{
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    const QStringList watchedFolders = m_watcher.directories();
    const QSet<QString> watched(watchedFolders.cbegin(), watchedFolders.cend());
    QHash<QString, Stamp> settled;
    for (const QString& root : std::as_const(m_roots)) {
        for (const QString& folder : foldersUnder(root)) {
            if (!watched.contains(folder))
                m_watcher.addPath(folder);
            for (const QString& movie : movieFilesIn(folder, root)) {
                const Stamp stamp = stampOf(movie);
                if (stamp.size < 0)
                    continue;
                const auto known = m_settled.constFind(movie);
                if (known != m_settled.cend() && *known == stamp) {
                    settled.insert(movie, stamp);
                    continue;
                }
                auto pending = m_pending.find(movie);
                if (pending != m_pending.end()) {
                    if (pending->stamp != stamp) {
                        pending->stamp = stamp;
                        pending->stableSinceMs = now;
                    }
                    continue;
                }
                if (!isLibraryMovie(movie)) {
                    settled.insert(movie, stamp);
                    continue;
                }
                // At the start a file's own modification time tells how long
                // it has been unchanged; later, only what is seen counts.
                const qint64 since = initial ? qMin(stamp.modifiedMs, now) : now;
                m_pending.insert(movie, Pending{root, stamp, since, false});
            }
        }
    }
    m_settled = settled;
    checkPending();
}

void FolderWatch::checkPending()
{
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    QSet<FileIdentity> writing;
    bool writingRead = false;
    QStringList ready;
    for (auto it = m_pending.begin(); it != m_pending.end();) {
        const Stamp stamp = stampOf(it.key());
        if (stamp.size < 0) {
            it = m_pending.erase(it);
            continue;
        }
        const bool changed = stamp != it->stamp;
        if (changed) {
            it->stamp = stamp;
            it->stableSinceMs = now;
        }
        const bool quiet = now - it->stableSinceMs >= m_settleMs &&
                           (now - stamp.modifiedMs >= m_settleMs || stamp.modifiedMs > now + 60000);
        if (quiet && !writingRead) {
            writing = filesOpenForWriting();
            writingRead = true;
        }
        if (quiet && !writing.contains(fileIdentityOf(it.key()))) {
            ready.append(it.key());
        } else if (!it->announcedGrowing && (changed || quiet)) {
            it->announcedGrowing = true;
            emit movieGrowing(it.key());
        }
        ++it;
    }
    for (const QString& movie : std::as_const(ready)) {
        const Pending pending = m_pending.take(movie);
        m_settled.insert(movie, pending.stamp);
        emit movieReady(movie, pending.root);
    }
    if (m_pending.isEmpty())
        m_check.stop();
    else if (!m_check.isActive())
        m_check.start();
}
