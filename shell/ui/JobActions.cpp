#include "shell/ui/JobActions.h"

#include "engine/ConversionJob.h"
#include "engine/JobState.h"
#include "engine/SourceMovie.h"
#include "foundation/Alerts.h"
#include "foundation/PlatformServices.h"
#include "shell/ui/JobListModel.h"
#include "shell/ui/JobListView.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QListView>
#include <QMenu>
#include <QPointer>

namespace {

bool canStart(JobState state)
{
    return state == JobQueued || state == JobPaused;
}

QAction* makeAction(QListView& view, const QString& text, const QList<QKeySequence>& keys)
{
    auto* action = new QAction(text, &view);
    action->setShortcuts(keys);
    // The keys work while the list has the focus, not in the add panel.
    action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    view.addAction(action);
    return action;
}

} // namespace

JobActions::JobActions(QListView& view) : QObject(&view), m_view(view)
{
    m_toggle = makeAction(view, tr("Pause or Continue"), {QKeySequence(Qt::Key_Space)});
    m_remove = makeAction(view, tr("Remove"),
                          {QKeySequence(QKeySequence::Delete), QKeySequence(Qt::Key_Backspace)});
    m_reveal = makeAction(view, tr("Show in File Manager"),
                          {QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
    m_showSource = makeAction(view, tr("Show Source"), {});
    m_copyError = makeAction(view, tr("Copy Error Details"), {});
    for (QAction* action : {m_toggle, m_remove, m_reveal})
        action->setShortcutVisibleInContextMenu(true);

    connect(m_toggle, &QAction::triggered, this, &JobActions::togglePauseOfSelection);
    connect(m_remove, &QAction::triggered, this, [this] { removeJobs(selectedJobs()); });
    connect(m_reveal, &QAction::triggered, this, [this] {
        if (ConversionJob* job = currentJob())
            job->reveal(false);
    });
    connect(m_showSource, &QAction::triggered, this, [this] {
        if (ConversionJob* job = currentJob())
            revealSourceMovie(job->sourcePath());
    });
    connect(m_copyError, &QAction::triggered, this, [this] {
        if (ConversionJob* job = currentJob(); job && job->state() == JobFailed)
            QGuiApplication::clipboard()->setText(job->failureExplanationText());
    });

    view.setContextMenuPolicy(Qt::CustomContextMenu);
    connect(&view, &QWidget::customContextMenuRequested, this, &JobActions::showContextMenu);
    if (auto* list = qobject_cast<JobListView*>(&view))
        connect(list, &JobListView::rowDoubleClicked, this, [](const QModelIndex& index) {
            if (ConversionJob* job = JobListModel::jobFromIndex(index))
                job->reveal(false);
        });
    if (QAbstractItemModel* model = view.model()) {
        connect(model, &QAbstractItemModel::dataChanged, this, &JobActions::refresh);
        connect(model, &QAbstractItemModel::rowsRemoved, this, &JobActions::refresh);
    }
    if (view.selectionModel()) {
        connect(view.selectionModel(), &QItemSelectionModel::selectionChanged, this,
                &JobActions::refresh);
        connect(view.selectionModel(), &QItemSelectionModel::currentChanged, this,
                &JobActions::refresh);
    }
    refresh();
}

QList<ConversionJob*> JobActions::selectedJobs() const
{
    QList<ConversionJob*> jobs;
    if (!m_view.selectionModel())
        return jobs;
    QModelIndexList rows = m_view.selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end(),
              [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    for (const QModelIndex& index : rows)
        if (ConversionJob* job = JobListModel::jobFromIndex(index))
            jobs.append(job);
    return jobs;
}

ConversionJob* JobActions::currentJob() const
{
    const QModelIndex current = m_view.currentIndex();
    if (current.isValid() && m_view.selectionModel() &&
        m_view.selectionModel()->isSelected(current))
        return JobListModel::jobFromIndex(current);
    const QList<ConversionJob*> jobs = selectedJobs();
    return jobs.isEmpty() ? nullptr : jobs.first();
}

void JobActions::refresh()
{
    const QList<ConversionJob*> jobs = selectedJobs();
    bool anyStartable = false, anyConverting = false;
    for (const ConversionJob* job : jobs) {
        anyStartable = anyStartable || canStart(job->state());
        anyConverting = anyConverting || job->state() == JobConverting;
    }
    const ConversionJob* current = currentJob();
    const std::optional<JobState> state =
        current ? std::optional<JobState>(current->state()) : std::nullopt;
    const bool failed = state == JobFailed;
    m_toggle->setText(state == JobConverting ? tr("Pause")
                      : state == JobPaused   ? tr("Continue")
                      : state == JobQueued   ? tr("Start")
                                             : tr("Pause or Continue"));
    m_toggle->setEnabled(anyStartable || anyConverting);
    m_remove->setEnabled(!jobs.isEmpty());
    m_reveal->setText(failed ? tr("Why Did It Fail?") : tr("Show in File Manager"));
    m_reveal->setEnabled(current != nullptr);
    m_showSource->setEnabled(current != nullptr);
    m_copyError->setEnabled(failed);
    m_copyError->setVisible(failed);
}

void JobActions::fillContextMenu(QMenu& menu)
{
    refresh();
    menu.clear();
    if (m_toggle->isEnabled()) {
        menu.addAction(m_toggle);
        menu.addSeparator();
    }
    menu.addAction(m_reveal);
    menu.addAction(m_showSource);
    if (m_copyError->isVisible())
        menu.addAction(m_copyError);
    menu.addSeparator();
    menu.addAction(m_remove);
}

void JobActions::showContextMenu(const QPoint& pos)
{
    const QModelIndex index = m_view.indexAt(pos);
    if (!index.isValid())
        return;
    // A right click outside the selection selects the row it hit.
    if (!m_view.selectionModel()->isSelected(index))
        m_view.setCurrentIndex(index);
    auto* menu = new QMenu(&m_view);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->setObjectName(QStringLiteral("jobContextMenu"));
    fillContextMenu(*menu);
    menu->popup(m_view.viewport()->mapToGlobal(pos));
}

void JobActions::togglePauseOfSelection()
{
    for (ConversionJob* job : selectedJobs()) {
        if (job->state() == JobConverting)
            job->pause();
        else if (canStart(job->state()))
            job->continueJob();
    }
}

bool JobActions::removeJobs(const QList<ConversionJob*>& jobs)
{
    QList<QPointer<ConversionJob>> targets;
    QStringList converting;
    for (ConversionJob* job : jobs) {
        targets.append(job);
        if (job->state() == JobConverting)
            converting.append(job->fileInfo() ? job->fileInfo()->fileName() : job->sourcePath());
    }
    if (!converting.isEmpty()) {
        const QString message =
            converting.size() == 1
                ? tr("“%1” is converting. Removing it stops the conversion "
                     "and deletes the unfinished file.")
                      .arg(converting.first())
                : tr("%n of these movies are converting. Removing them stops their "
                     "conversions and deletes the unfinished files.",
                     nullptr, int(converting.size()));
        if (alert(AlertKind::Warning, tr("Remove a Converting Movie?"), message, tr("Remove"),
                  tr("Cancel")) != kAlertDefault)
            return false;
    }
    // Removing one job can start or end another; each is removed once.
    for (const QPointer<ConversionJob>& job : targets)
        if (job)
            job->remove();
    return true;
}
