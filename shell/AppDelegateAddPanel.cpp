// File intake, the add panel and the saved destinations of AppDelegate.

#include "foundation/SettingsAccess.h"
#include "foundation/SettingsKeys.h"
#include "shell/AddPanelState.h"
#include "shell/AppDelegate.h"
#include "shell/Destinations.h"
#include "shell/Intake.h"

#include <QTimer>

// ---- File intake ----

QStringList AppDelegate::movieFileTypes()
{
    return Intake::movieFileTypes();
}

// Files opened with the application, dropped or chosen: subtitles are
// remembered for their movies, movies wait in importFiles.
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

// Shows the next movie: one probed ahead at once, else the next waiting movie
// once it is probed in the background (with AutoAdd together with those
// behind it, in one batch).
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

// A batch of movies came back from the probe: the first is shown, the others
// wait their turn.
void AppDelegate::batchProbed(const QList<IntakeResult>& results)
{
    for (qsizetype i = 1; i < results.size(); ++i)
        m_probedAhead.append({results.at(i).movie.path, results.at(i).info});
    m_probingCount = 0;
    probeFinished(results.isEmpty() ? nullptr : results.first().info);
}

// Shows the probed movie, then queues it at once when adding is automatic.
void AppDelegate::probeFinished(const MKVFileInfoPtr& info)
{
    m_panel->showProbed(info);
    rebuildDestinationPopUp();
    if (defaultInt(kAutoAddKey) == 0)
        return;
    // A movie that cannot be queued is skipped, so automatic adding never
    // stops at it.
    if (m_panel->canAddToQueue())
        addToQueue();
    else
        cancelAdd();
}

// Moves on to the next imported movie, or hides the add panel when none
// waits. A handler set with setCancelAddHandler replaces that (front ends
// without an add panel, tests).
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

// Movies waiting behind the one shown.
int AppDelegate::waitingCount() const
{
    // The batch being probed counts but for the movie it shows first.
    return m_intake->waitingCount() + int(m_probedAhead.size()) + qMax(0, m_probingCount - 1);
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

QStringList AppDelegate::preferredLanguages() const
{
    return m_panel->preferredLanguages();
}

// Queues the shown movie: at once for a saved destination, otherwise after
// the panel's saveLocationRequested is answered.
void AppDelegate::addToQueue()
{
    m_panel->addToQueue();
}

// ---- Destinations ----

void AppDelegate::rebuildDestinationPopUp()
{
    m_destinations->rebuildDestinationPopUp();
}

void AppDelegate::rebuildPreferencesDestinationPopUp()
{
    m_destinations->rebuildPreferencesDestinationPopUp();
}

// The folder the user chose for a new saved destination (empty when the
// folder dialog was cancelled). tag 1: the add panel, 0: preferences.
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
