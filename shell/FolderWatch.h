#pragma once

#include <QFileSystemWatcher>
#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

// Watches folder trees for movies to convert: those already there, then each
// new or changed one once it is complete. A movie is complete when its size
// and modification time have not changed for the settling time and no
// process here has it open for writing, so a download or a copy in progress
// is never taken half-way. The folders are watched through inotify; a full
// look at the trees every minute catches what inotify misses (changes made
// by other machines on a network share, an overflowing event queue).
class FolderWatch final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FolderWatch)

public:
    FolderWatch(const QStringList& roots, int settleMilliseconds, QObject* parent = nullptr);
    ~FolderWatch() override;

    // Looks at every movie already in the trees; each complete one is
    // announced at once, the others once they are complete.
    void start();
    qsizetype watchedFolderCount() const { return m_watcher.directories().size(); }
    // Movies seen but not yet complete.
    qsizetype waitingCount() const { return m_pending.size(); }

    static constexpr int kRescanMilliseconds = 60 * 1000;

signals:
    // A complete movie to convert; it is announced again only after it
    // changes.
    void movieReady(const QString& movie, const QString& root);
    // A movie seen while it is still being written (once per movie).
    void movieGrowing(const QString& movie);

private:
    struct Stamp
    {
        qint64 size = -1;
        qint64 modifiedMs = 0;
        bool operator==(const Stamp&) const = default;
    };
    struct Pending
    {
        QString root;
        Stamp stamp;
        qint64 stableSinceMs = 0; // when the stamp was last seen changing
        bool announcedGrowing = false;
    };
    static Stamp stampOf(const QString& path);
    void scan(bool initial);
    void checkPending();

    QStringList m_roots;
    int m_settleMs = 0;
    QFileSystemWatcher m_watcher;
    QTimer m_rescan;
    QTimer m_soon;
    QTimer m_check;
    QHash<QString, Pending> m_pending;
    // Every movie file looked at, as it was then: announced, or not one to
    // convert (an MP4 Vantreo wrote).
    QHash<QString, Stamp> m_settled;
};
