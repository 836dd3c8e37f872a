#pragma once

#include "inspection/MKVFileInfo.h"
#include "shell/SavedQueue.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

class JobQueue;

// Brings back the queue the last run of the desktop program saved, and has
// the queue saved from then on. Ended jobs come back as they were; the
// waiting ones (also the one that was converting) come back Queued once
// their movies are probed again on the thread pool, and the queue is paused
// so that nothing starts by itself. A movie that is gone, or cannot be
// converted any more, comes back Failed with the reason.
class QueueRestore final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(QueueRestore)

public:
    explicit QueueRestore(JobQueue& queue, QObject* parent = nullptr);

    // Reads the queue saved at `path` (a damaged file is set aside) and
    // keeps the queue saved there. Only the first call does anything.
    void restore(const QString& path);
    // The movies are being probed; the jobs are not in the queue yet.
    bool isRestoring() const { return m_restoring; }
    // What the status bar says of the jobs that came back waiting; empty
    // when none did, and again once the queue is continued.
    QString notice() const { return m_notice; }
    // "3 movies from your last session are waiting; press Continue to
    // convert them."; empty for none.
    static QString noticeText(qsizetype waiting);

signals:
    void noticeChanged(const QString& notice);
    // The jobs are in the queue.
    void restored();

private:
    void probed(const QList<MKVFileInfoPtr>& infos);
    void setNotice(const QString& notice);

    JobQueue& m_queue;
    bool m_started = false;
    bool m_restoring = false;
    // The pause is the restore's own until the user pauses or continues.
    bool m_pausedHere = false;
    QList<SavedJob> m_saved;
    // Why each saved waiting job cannot be converted; empty when it can.
    QStringList m_failures;
    // The saved jobs whose movies are probed, in the order asked.
    QList<int> m_probedJobs;
    QString m_notice;
};
