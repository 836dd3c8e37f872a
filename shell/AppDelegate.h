#pragma once

#include "engine/JobState.h"
#include "inspection/MKVFileInfo.h"
#include "shell/DestinationPopUp.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <functional>
#include <optional>

class AddPanelState;
class ConversionJob;
class Destinations;
class Intake;
struct IntakeResult;
class JobQueue;
class QueueRestore;

// The application-wide shell object of the desktop: it joins the queue of
// conversion jobs, the intake of movie and subtitle files, the add panel's
// state and the saved destinations, and answers for launch, the links and
// the texts the front ends show (window title, pause/resume controls). Its
// queue and intake operations forward to those parts. QtCore only; the
// widgets only show and edit this data.
class AppDelegate final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AppDelegate)
    Q_PROPERTY(QString windowTitle READ windowTitle NOTIFY windowTitleChanged)
    Q_PROPERTY(QString addButtonTitle READ addButtonTitle WRITE setAddButtonTitle NOTIFY
                   addButtonTitleChanged)
    Q_PROPERTY(QString pauseContinueTitle READ pauseContinueTitle NOTIFY pauseContinueChanged)
    Q_PROPERTY(QString pauseContinueImage READ pauseContinueImage NOTIFY pauseContinueChanged)
    Q_PROPERTY(bool paused READ paused NOTIFY pauseContinueChanged)
    Q_PROPERTY(bool isScanning READ isScanning NOTIFY isScanningChanged)
    Q_PROPERTY(bool addPanelShown READ addPanelShown NOTIFY addPanelShownChanged)
    Q_PROPERTY(int selectedAudioIndex READ selectedAudioIndex WRITE setSelectedAudioIndex NOTIFY
                   selectedAudioIndexChanged)
    Q_PROPERTY(QString addPanelNotice READ addPanelNotice NOTIFY addPanelNoticeChanged)
    Q_PROPERTY(int waitingCount READ waitingCount NOTIFY waitingCountChanged)
    Q_PROPERTY(QString statusNotice READ statusNotice NOTIFY statusNoticeChanged)

public:
    using PopUpItem = DestinationPopUpItem;

    explicit AppDelegate(QObject* parent = nullptr);
    ~AppDelegate() override;

    // The queue, which the job list follows directly.
    JobQueue& queue() const { return *m_queue; }
    // The add panel's data, which the panel's subtitle list edits directly.
    AddPanelState& addPanelState() const { return *m_panel; }

    // ---- The queue (JobQueue) ----
    const QList<ConversionJob*>& taskArray() const;
    // Takes the job over; answers false (and drops it) when its destination
    // cannot be written.
    bool addJob(ConversionJob* job);
    void removeJob(ConversionJob* job);
    qint64 jobCountWithState(JobState state) const;
    void startNextJobInQueue();
    void pauseContinueClicked(QObject* sender);
    void cleanClicked();
    void updateWindowTitle();
    // Asks before quitting while a job converts; true: quit now.
    bool applicationShouldTerminate();
    // Flushes the settings and removes every job: running tools end and
    // unfinished outputs are deleted. A kept queue is saved first, as it
    // stands (restoreSavedQueue).
    void applicationWillTerminate();
    void terminateApplication();
    // Destinations of every job in the queue, which a new job must avoid.
    QStringList queuedDestinations() const;

    // Moves on to the next imported movie, or hides the add panel when none
    // waits. A handler set here replaces that (front ends without an add
    // panel, tests).
    void cancelAdd();
    void setCancelAddHandler(std::function<void()> handler) { m_cancelAdd = std::move(handler); }

    // ---- Launch ----
    // Ends with restoreSavedQueue().
    void applicationDidFinishLaunching();
    // Brings back the queue of the last run, paused when any of its movies
    // waits, and keeps the queue saved from now on (the desktop program; the
    // command line keeps its own run). Once per delegate.
    void restoreSavedQueue();
    // What the status bar says: how many movies of the last session wait.
    QString statusNotice() const;
    // The main window is asked to come back (reopen, the window menu).
    void openMainWindow();
    // The main window closes: the settings are flushed.
    void windowWillClose();
    QString version() const { return m_version; }
    QString build() const { return m_build; }
    std::optional<QUrl> aboutURL() const { return m_aboutURL; }
    std::optional<QUrl> historyURL() const { return m_historyURL; }
    std::optional<QUrl> faqURL() const { return m_faqURL; }
    std::optional<QUrl> readmeURL() const { return m_readmeURL; }
    // The mail and web links of the menu commands, by tag (1..6).
    void openURL(int tag);
    QString serviceLinkText(int tag) const;
    // A delivered notification was clicked: show its file.
    void notificationActivated(const QString& path);
    bool isRateable() const;
    QStringList preferredLanguages() const;

    // ---- File intake (Intake) ----
    static QStringList movieFileTypes();
    static QStringList openPanelFileTypes();
    // Files opened with the application, dropped or chosen: subtitles are
    // remembered for their movies, movies wait in importFiles.
    void openFiles(const QStringList& paths);
    // Shows the next movie: one probed ahead at once, else the next waiting
    // movie once it is probed in the background (with AutoAdd together with
    // those behind it, in one batch).
    void addNextFile();
    bool draggingEntered(const QStringList& paths) const;
    bool performDragOperation(const QStringList& paths);
    bool isScanning() const;
    MKVFileInfoPtr fileInfo() const;
    QStringList importFiles() const;
    QStringList importSubtitleFiles() const;
    bool addPanelShown() const;
    // The movie being probed or shown in the add panel.
    QString currentMoviePath() const;
    // Movies waiting behind the one shown, and the panel's line for them.
    int waitingCount() const;
    QString waitingText() const;

    // ---- Add panel (AddPanelState, Destinations) ----
    QStringList audioItems() const;
    int selectedAudioIndex() const;
    void setSelectedAudioIndex(int index);
    bool canAddToQueue() const;
    QString addPanelNotice() const;
    // What the conversion keeps beside the selected audio track for the
    // user's languages ("Also keeps: jpn (aac) · Subtitles: eng"); empty
    // when the settings keep nothing by language.
    QString keptTracksText() const;
    QList<PopUpItem> destinationPopUpItems() const;
    int destinationPopUpIndex() const;
    void setDestinationPopUpIndex(int index);
    QList<PopUpItem> preferencesDestinationPopUpItems() const;
    int preferencesDestinationPopUpIndex() const;
    // Also stores the choice as DefaultDestination.
    void setPreferencesDestinationPopUpIndex(int index);
    void rebuildDestinationPopUp();
    void rebuildPreferencesDestinationPopUp();
    // Drops saved destinations that cannot be used any more and corrects
    // DefaultDestination; run once at launch.
    void destinationUpkeepAtLaunch();
    // The folder the user chose for a new saved destination (empty when the
    // folder dialog was cancelled). tag 1: the add panel, 0: preferences.
    void chooseNewDestination(int tag, const QString& chosenFolder);
    // Queues the shown movie: at once for a saved destination, otherwise
    // after saveLocationRequested is answered.
    void addToQueue();
    void confirmSaveLocation(const QString& path);
    void cancelSaveLocation();
    // The output file name of the shown movie (Film.mp4 or Film.m4v).
    QString outputName() const;

    // ---- Preferences ----
    void selectConversionStyle();

    QString windowTitle() const;
    QString addButtonTitle() const;
    void setAddButtonTitle(const QString& title);
    QString pauseContinueTitle() const;
    QString pauseContinueImage() const;
    bool paused() const;

signals:
    void windowTitleChanged(const QString& title);
    void addButtonTitleChanged(const QString& title);
    void pauseContinueChanged();
    // The application is asked to quit (after the last conversion).
    void terminateRequested();
    void isScanningChanged(bool scanning);
    void fileInfoChanged();
    void addPanelShownChanged(bool shown);
    void selectedAudioIndexChanged(int index);
    void addPanelNoticeChanged();
    void waitingCountChanged();
    void statusNoticeChanged(const QString& notice);
    void destinationPopUpChanged();
    void preferencesDestinationPopUpChanged();
    // Asks for a save location: a file dialog in startFolder proposing
    // proposedName, allowing only files with `extension`.
    void saveLocationRequested(const QString& startFolder, const QString& proposedName,
                               const QString& extension);
    void conversionStyleChanged(int style);
    void showMainWindowRequested();

private:
    // Shows the probed movie, then queues it at once when adding is automatic.
    void probeFinished(const MKVFileInfoPtr& info);
    // A batch of movies came back from the probe: the first is shown, the
    // others wait their turn.
    void batchProbed(const QList<IntakeResult>& results);

    JobQueue* m_queue = nullptr;
    Intake* m_intake = nullptr;
    Destinations* m_destinations = nullptr;
    AddPanelState* m_panel = nullptr;
    QueueRestore* m_restore = nullptr;
    std::function<void()> m_cancelAdd;
    // Movies probed ahead, with the paths they were taken in by, waiting to
    // be shown; and the size of the batch being probed.
    QList<std::pair<QString, MKVFileInfoPtr>> m_probedAhead;
    int m_probingCount = 0;
    QString m_version;
    QString m_build;
    std::optional<QUrl> m_aboutURL, m_historyURL, m_faqURL, m_readmeURL;
};
