#include "shell/AppDelegate.h"

#include "engine/JobState.h"
#include "foundation/Alerts.h"
#include "foundation/BoundedTask.h"
#include "foundation/HalvornLib.h"
#include "foundation/SettingsAccess.h"
#include "shell/AddPanelState.h"
#include "shell/Destinations.h"
#include "shell/Intake.h"
#include "shell/JobQueue.h"
#include "shell/QueueRestore.h"

AppDelegate::AppDelegate(QObject* parent)
    : QObject(parent), m_queue(new JobQueue(this)), m_intake(new Intake(this)),
      m_destinations(new Destinations(this)),
      m_panel(new AddPanelState(*m_queue, *m_destinations, this)),
      m_restore(new QueueRestore(*m_queue, this))
{
    m_queue->setAfterJobActions(desktopAfterJobActions());
    // Every add that ends, accepted or refused, moves the intake on.
    connect(m_queue, &JobQueue::addFinished, this, &AppDelegate::cancelAdd);
    // While the queue is paused, the add panel's button only queues.
    connect(m_queue, &JobQueue::pausedChanged, this, [this](bool paused) {
        setAddButtonTitle(paused ? QStringLiteral("Add to Queue")
                                 : QStringLiteral("Start Conversion"));
        emit pauseContinueChanged();
    });
    connect(m_restore, &QueueRestore::noticeChanged, this, &AppDelegate::statusNoticeChanged);
    connect(m_intake, &Intake::waitingCountChanged, this, &AppDelegate::waitingCountChanged);
    connect(m_intake, &Intake::probed, this, &AppDelegate::batchProbed);
    connect(m_panel, &AddPanelState::isScanningChanged, this, &AppDelegate::isScanningChanged);
    connect(m_panel, &AddPanelState::fileInfoChanged, this, &AppDelegate::fileInfoChanged);
    connect(m_panel, &AddPanelState::addButtonTitleChanged, this,
            &AppDelegate::addButtonTitleChanged);
}

AppDelegate::~AppDelegate() = default;

const QList<ConversionJob*>& AppDelegate::taskArray() const
{
    return m_queue->taskArray();
}

// Takes the job over; answers false (and drops it) when its destination
// cannot be written.
bool AppDelegate::addJob(ConversionJob* job)
{
    return m_queue->addJob(job);
}

void AppDelegate::removeJob(ConversionJob* job)
{
    m_queue->removeJob(job);
}

qint64 AppDelegate::jobCountWithState(JobState state) const
{
    return m_queue->jobCountWithState(state);
}

void AppDelegate::startNextJobInQueue()
{
    m_queue->startNextJobInQueue();
}

void AppDelegate::pauseContinueClicked(QObject* sender)
{
    m_queue->pauseContinueClicked(sender);
}

void AppDelegate::cleanClicked()
{
    m_queue->cleanClicked();
}

void AppDelegate::updateWindowTitle()
{
    m_queue->updateWindowTitle();
}

// Asks before quitting while a job converts; true: quit now.
bool AppDelegate::applicationShouldTerminate()
{
    if (jobCountWithState(JobConverting) == 0)
        return true;
    return alert(AlertKind::Warning, appInfo().appName(),
                 QStringLiteral("Conversion is in progresss. Are you sure you want to quit?"),
                 QStringLiteral("Quit"), QStringLiteral("Cancel")) == kAlertDefault;
}

// Flushes the settings and removes every job: running tools end and
// unfinished outputs are deleted. A kept queue is saved first, as it stands
// (restoreSavedQueue).
void AppDelegate::applicationWillTerminate()
{
    synchronize();
    // A movie being probed: its tools end now, so the probe's thread does not
    // hold up the exit.
    cancelBoundedTasks();
    m_queue->terminate();
}

QString AppDelegate::addButtonTitle() const
{
    return m_panel->addButtonTitle();
}

void AppDelegate::setAddButtonTitle(const QString& title)
{
    m_panel->setAddButtonTitle(title);
}

QString AppDelegate::pauseContinueTitle() const
{
    return m_queue->paused() ? QStringLiteral("Resume Queue") : QStringLiteral("Pause Queue");
}

QString AppDelegate::pauseContinueImage() const
{
    return m_queue->paused() ? QStringLiteral("toolbar_start") : QStringLiteral("toolbar_pause");
}
