// File intake, the add panel and the saved destinations of AppDelegate.

#include "foundation/SettingsAccess.h"
#include "foundation/SettingsKeys.h"
#include "shell/AddPanelState.h"
#include "shell/AddPanelTexts.h"
#include "shell/AppDelegate.h"
#include "shell/Destinations.h"
#include "shell/Intake.h"

// ---- File intake ----

QStringList AppDelegate::movieFileTypes()
{
    return Intake::movieFileTypes();
}

QStringList AppDelegate::openPanelFileTypes()
{
    return Intake::openPanelFileTypes();
}

void AppDelegate::openFiles(const QStringList& paths)
{
    // A movie being probed or shown stays until it is confirmed or
    // cancelled: new movies wait behind it.
    const bool wasIdle = m_intake->waitingCount() == 0 && !m_panel->addPanelShown();
    m_intake->openFiles(paths);
    if (wasIdle)
        addNextFile();
}

void AppDelegate::addNextFile()
{
    const auto movie = m_intake->nextMovie();
    if (!movie)
        return;
    m_panel->beginScanning(movie->path);
    m_intake->dropNextMovie();
    m_intake->probe({*movie});
}

void AppDelegate::probeFinished(const MKVFileInfoPtr& info)
{
    m_panel->showProbed(info);
    rebuildDestinationPopUp();
    if (defaultInt(kAutoAddKey) == 0)
        return;
    // A movie that cannot be queued is skipped, so automatic adding never
    // stops at it.
    if (canAddToQueue())
        addToQueue();
    else
        cancelAdd();
}

void AppDelegate::cancelAdd()
{
    if (m_cancelAdd) {
        m_cancelAdd();
        return;
    }
    m_panel->cancelSaveLocation();
    if (m_intake->waitingCount() > 0)
        addNextFile();
    else
        m_panel->setAddPanelShown(false);
}

bool AppDelegate::draggingEntered(const QStringList& paths) const
{
    return Intake::acceptsAny(paths);
}

bool AppDelegate::performDragOperation(const QStringList& paths)
{
    openFiles(paths);
    return true;
}

QStringList AppDelegate::importFiles() const
{
    return m_intake->importFiles();
}

QStringList AppDelegate::importSubtitleFiles() const
{
    return m_intake->importSubtitleFiles();
}

int AppDelegate::waitingCount() const
{
    return m_intake->waitingCount();
}

QString AppDelegate::waitingText() const
{
    return waitingMoviesText(m_intake->waitingCount());
}

// ---- Add panel ----

bool AppDelegate::isScanning() const
{
    return m_panel->isScanning();
}

MKVFileInfoPtr AppDelegate::fileInfo() const
{
    return m_panel->fileInfo();
}

bool AppDelegate::addPanelShown() const
{
    return m_panel->addPanelShown();
}

QString AppDelegate::currentMoviePath() const
{
    return m_panel->currentMoviePath();
}

QStringList AppDelegate::preferredLanguages() const
{
    return m_panel->preferredLanguages();
}

QStringList AppDelegate::audioItems() const
{
    return m_panel->audioItems();
}

int AppDelegate::selectedAudioIndex() const
{
    return m_panel->selectedAudioIndex();
}

void AppDelegate::setSelectedAudioIndex(int index)
{
    m_panel->setSelectedAudioIndex(index);
}

bool AppDelegate::canAddToQueue() const
{
    return m_panel->canAddToQueue();
}

QString AppDelegate::addPanelNotice() const
{
    return m_panel->addPanelNotice();
}

QString AppDelegate::keptTracksText() const
{
    return m_panel->keptTracksText();
}

QString AppDelegate::outputName() const
{
    return m_panel->outputName();
}

void AppDelegate::addToQueue()
{
    m_panel->addToQueue();
}

void AppDelegate::confirmSaveLocation(const QString& path)
{
    m_panel->confirmSaveLocation(path);
}

void AppDelegate::cancelSaveLocation()
{
    m_panel->cancelSaveLocation();
}

// ---- Destinations ----

QList<AppDelegate::PopUpItem> AppDelegate::destinationPopUpItems() const
{
    return m_destinations->destinationPopUpItems();
}

int AppDelegate::destinationPopUpIndex() const
{
    return m_destinations->destinationPopUpIndex();
}

void AppDelegate::setDestinationPopUpIndex(int index)
{
    m_destinations->setDestinationPopUpIndex(index);
}

QList<AppDelegate::PopUpItem> AppDelegate::preferencesDestinationPopUpItems() const
{
    return m_destinations->preferencesDestinationPopUpItems();
}

int AppDelegate::preferencesDestinationPopUpIndex() const
{
    return m_destinations->preferencesDestinationPopUpIndex();
}

void AppDelegate::setPreferencesDestinationPopUpIndex(int index)
{
    m_destinations->setPreferencesDestinationPopUpIndex(index);
}

void AppDelegate::rebuildDestinationPopUp()
{
    m_destinations->rebuildDestinationPopUp();
}

void AppDelegate::rebuildPreferencesDestinationPopUp()
{
    m_destinations->rebuildPreferencesDestinationPopUp();
}

void AppDelegate::destinationUpkeepAtLaunch()
{
    m_destinations->upkeepAtLaunch();
}

void AppDelegate::chooseNewDestination(int tag, const QString& chosenFolder)
{
    m_destinations->chooseNewDestination(tag, chosenFolder);
}

// ---- Preferences ----

void AppDelegate::selectConversionStyle()
{
    qint64 style = defaultInt(kConversionPresetKey);
    if (style < 0 || style > 2)
        style = 0;
    emit conversionStyleChanged(int(style));
}
