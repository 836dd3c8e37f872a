#pragma once

#include <QAbstractListModel>

class ConversionJob;
class JobQueue;

// The queue as a list model: one row per job of the queue's task array, one
// role per observable property of the job. Rows follow the queue's insert
// and remove signals; a job's change signals refresh its row.
class JobListModel final : public QAbstractListModel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(JobListModel)

public:
    enum Role {
        JobRole = Qt::UserRole + 1, // the ConversionJob* as a QObject*
        FileNameRole,
        StateRole,
        ProgressRole,
        StateInfoStringRole,
        FinishedOKRole,
        FinishedErrorRole,
        SlowmodeRole,
        FastmodeRole,
    };

    explicit JobListModel(JobQueue& queue, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    ConversionJob* jobAt(int row) const;
    static ConversionJob* jobFromIndex(const QModelIndex& index);

private:
    void watchJob(ConversionJob* job);
    void jobChanged(ConversionJob* job, const QList<int>& roles);

    JobQueue& m_queue;
};
