#include "shell/ui/JobListModel.h"

#include "engine/ConversionJob.h"
#include "shell/JobQueue.h"

#include <QFileInfo>

JobListModel::JobListModel(JobQueue& queue, QObject* parent)
    : QAbstractListModel(parent), m_queue(queue)
{
    for (ConversionJob* job : m_queue.taskArray())
        watchJob(job);
    connect(&m_queue, &JobQueue::jobAboutToBeAdded, this,
            [this](int row) { beginInsertRows({}, row, row); });
    connect(&m_queue, &JobQueue::jobAdded, this, [this](int row) {
        watchJob(jobAt(row));
        endInsertRows();
    });
    connect(&m_queue, &JobQueue::jobAboutToBeRemoved, this, [this](int row) {
        if (ConversionJob* job = jobAt(row))
            job->disconnect(this);
        beginRemoveRows({}, row, row);
    });
    connect(&m_queue, &JobQueue::jobRemoved, this, [this](int) { endRemoveRows(); });
}

int JobListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_queue.taskArray().size());
}

ConversionJob* JobListModel::jobAt(int row) const
{
    const auto& jobs = m_queue.taskArray();
    return row >= 0 && row < jobs.size() ? jobs.at(row) : nullptr;
}

ConversionJob* JobListModel::jobFromIndex(const QModelIndex& index)
{
    return qobject_cast<ConversionJob*>(index.data(JobRole).value<QObject*>());
}

QVariant JobListModel::data(const QModelIndex& index, int role) const
{
    const ConversionJob* job = index.isValid() ? jobAt(index.row()) : nullptr;
    if (!job)
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case FileNameRole:
        return job->fileInfo() ? job->fileInfo()->fileName()
                               : QFileInfo(job->sourcePath()).fileName();
    case Qt::ToolTipRole:
        return job->destinationPath();
    case JobRole:
        return QVariant::fromValue(static_cast<QObject*>(const_cast<ConversionJob*>(job)));
    case StateRole:
        return int(job->state());
    case ProgressRole:
        return double(job->progress());
    case StateInfoStringRole:
        return job->stateInfoString();
    case FinishedOKRole:
        return job->finishedOK();
    case FinishedErrorRole:
        return job->finishedError();
    case SlowmodeRole:
        return job->slowmode();
    case FastmodeRole:
        return job->fastmode();
    default:
        return {};
    }
}

QHash<int, QByteArray> JobListModel::roleNames() const
{
    return {{FileNameRole, "fileName"},     {StateRole, "state"},
            {ProgressRole, "progress"},     {StateInfoStringRole, "stateInfoString"},
            {FinishedOKRole, "finishedOK"}, {FinishedErrorRole, "finishedError"},
            {SlowmodeRole, "slowmode"},     {FastmodeRole, "fastmode"}};
}

void JobListModel::watchJob(ConversionJob* job)
{
    if (!job)
        return;
    // The state decides the ended-well and failed roles too.
    connect(job, &ConversionJob::stateChanged, this, [this, job] {
        jobChanged(job, {StateRole, StateInfoStringRole, FinishedOKRole, FinishedErrorRole});
    });
    connect(job, &ConversionJob::progressChanged, this,
            [this, job] { jobChanged(job, {ProgressRole}); });
    connect(job, &ConversionJob::stateInfoStringChanged, this,
            [this, job] { jobChanged(job, {StateInfoStringRole}); });
    connect(job, &ConversionJob::slowmodeChanged, this,
            [this, job] { jobChanged(job, {SlowmodeRole}); });
    connect(job, &ConversionJob::fastmodeChanged, this,
            [this, job] { jobChanged(job, {FastmodeRole}); });
}

void JobListModel::jobChanged(ConversionJob* job, const QList<int>& roles)
{
    const int row = int(m_queue.taskArray().indexOf(job));
    if (row < 0)
        return;
    const QModelIndex changed = index(row);
    emit dataChanged(changed, changed, roles);
}
