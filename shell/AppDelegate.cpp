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
    connect(m_queue, &JobQueue::windowTitleChanged, this, &AppDelegate::windowTitleChanged);
    connect(m_queue, &JobQueue::terminateRequested, this, &AppDelegate::terminateRequested);
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
    connect(m_destinations, &Destinations::destinationPopUpChanged, this,
            &AppDelegate::destinationPopUpChanged);
    connect(m_destinations, &Destinations::preferencesDestinationPopUpChanged, this,
            &AppDelegate::preferencesDestinationPopUpChanged);
    connect(m_panel, &AddPanelState::isScanningChanged, this, &AppDelegate::isScanningChanged);
    connect(m_panel, &AddPanelState::fileInfoChanged, this, &AppDelegate::fileInfoChanged);
    connect(m_panel, &AddPanelState::addPanelShownChanged, this,
            &AppDelegate::addPanelShownChanged);
    connect(m_panel, &AddPanelState::selectedAudioIndexChanged, this,
            &AppDelegate::selectedAudioIndexChanged);
    connect(m_panel, &AddPanelState::addPanelNoticeChanged, this,
            &AppDelegate::addPanelNoticeChanged);
    connect(m_panel, &AddPanelState::addButtonTitleChanged, this,
            &AppDelegate::addButtonTitleChanged);
    connect(m_panel, &AddPanelState::saveLocationRequested, this,
            &AppDelegate::saveLocationRequested);
}

AppDelegate::~AppDelegate() = default;

const QList<ConversionJob*>& AppDelegate::taskArray() const
{
    return m_queue->taskArray();
}

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

QString AppDelegate::windowTitle() const
{
    return m_queue->windowTitle();
}

bool AppDelegate::paused() const
{
    return m_queue->paused();
}

bool AppDelegate::applicationShouldTerminate()
{
    if (jobCountWithState(JobConverting) == 0)
        return true;
    return alert(AlertKind::Warning, appInfo().appName(),
                 QStringLiteral("Conversion is in progresss. Are you sure you want to quit?"),
                 QStringLiteral("Quit"), QStringLiteral("Cancel")) == kAlertDefault;
}

void AppDelegate::applicationWillTerminate()
{
    synchronize();
    // A movie being probed: its tools end now, so the probe's thread does not
    // hold up the exit.
    cancelBoundedTasks();
    m_queue->terminate();
}

void AppDelegate::terminateApplication()
{
    m_queue->terminateApplication();
}

QStringList AppDelegate::queuedDestinations() const
{
    return m_queue->queuedDestinations();
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
    return paused() ? QStringLiteral("Resume Queue") : QStringLiteral("Pause Queue");
}

QString AppDelegate::pauseContinueImage() const
{
    return paused() ? QStringLiteral("toolbar_start") : QStringLiteral("toolbar_pause");
}
