// File intake, the add panel and the saved destinations of AppDelegate.

#include "foundation/SettingsAccess.h"
#include "foundation/SettingsKeys.h"
#include "shell/AddPanelState.h"
#include "shell/AddPanelTexts.h"
#include "shell/AppDelegate.h"
#include "shell/Destinations.h"
#include "shell/Intake.h"

#include <QTimer>

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
    const bool wasIdle = m_intake->waitingCount() == 0 && !m_panel->addPanelShown() &&
                         m_probedAhead.isEmpty() && !m_intake->isProbing();
    m_intake->openFiles(paths);
    if (wasIdle)
        addNextFile();
}

void AppDelegate::addNextFile()
{
    if (!m_probedAhead.isEmpty()) {
        // Plain names, not a structured binding: the lambda below captures
        // the movie, which clang refuses of a binding.
        const std::pair<QString, MKVFileInfoPtr> next = m_probedAhead.takeFirst();
        const MKVFileInfoPtr info = next.second;
        emit waitingCountChanged();
        m_panel->beginScanning(next.first);
        // A turn of the event loop per movie: a batch of hundreds never
        // holds the window up.
        QTimer::singleShot(0, this, [this, info] { probeFinished(info); });
        return;
    }
    // The batch under way shows its first movie when it comes back.
    if (m_intake->isProbing())
        return;
    const auto movie = m_intake->nextMovie();
    if (!movie)
        return;
    m_panel->beginScanning(movie->path);
    // Each start of the probe's tools costs a good part of a second: with
    // AutoAdd the movies behind are probed in the same run (on the thread
    // pool, as always). Shown one by one, they are probed one by one, so a
    // movie dropped meanwhile still comes next.
    const qsizetype batchSize = defaultInt(kAutoAddKey) != 0 ? Intake::kMoviesPerProbe : 1;
    QList<IntakeMovie> batch;
    for (auto next = movie; next && batch.size() < batchSize; next = m_intake->nextMovie()) {
        m_intake->dropNextMovie();
        batch.append(*next);
    }
    m_probingCount = int(batch.size());
    m_intake->probe(batch);
}

void AppDelegate::batchProbed(const QList<IntakeResult>& results)
{
    for (qsizetype i = 1; i < results.size(); ++i)
        m_probedAhead.append({results.at(i).movie.path, results.at(i).info});
    m_probingCount = 0;
    probeFinished(results.isEmpty() ? nullptr : results.first().info);
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
    if (m_intake->waitingCount() > 0 || !m_probedAhead.isEmpty())
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
    // The batch being probed counts but for the movie it shows first.
    return m_intake->waitingCount() + int(m_probedAhead.size()) + qMax(0, m_probingCount - 1);
}

QString AppDelegate::waitingText() const
{
    return waitingMoviesText(waitingCount());
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
