#pragma once

#include "engine/JobHost.h"
#include "inspection/MKVFileInfo.h"
#include "shell/DestinationPopUp.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <functional>
#include <memory>
#include <optional>

class ConversionJob;

// The application-wide shell object: the queue of conversion jobs, the
// intake of movie and subtitle files, the add panel and the saved
// destinations, launch and the texts the front ends show (window title,
// pause/resume controls, the add panel's confirm button). QtCore only, so
// the desktop and the command line drive the same code; the widgets only
// show and edit this data.
class AppDelegate final : public QObject, public JobHost
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

public:
    using PopUpItem = DestinationPopUpItem;

    explicit AppDelegate(QObject* parent = nullptr);
    ~AppDelegate() override;

    // The queue.
    const QList<ConversionJob*>& taskArray() const { return m_taskArray; }
    // Takes the job over; answers false (and drops it) when its destination
    // cannot be written.
    bool addJob(ConversionJob* job);
    void removeJob(ConversionJob* job) override;
    qint64 jobCountWithState(int state) const override;
    void startNextJobInQueue() override;
    void pauseContinueClicked(QObject* sender) override;
    void cleanClicked();
    void updateWindowTitle();
    // Asks before quitting while a job converts; true: quit now.
    bool applicationShouldTerminate();
    // Flushes the settings and removes every job: running tools end and
    // unfinished outputs are deleted.
    void applicationWillTerminate();
    void terminateApplication() override;
    // Destinations of every job in the queue, which a new job must avoid.
    QStringList queuedDestinations() const;

    // Moves on to the next imported movie, or hides the add panel when none
    // waits. A handler set here replaces that (front ends without an add
    // panel, tests).
    void cancelAdd();
    void setCancelAddHandler(std::function<void()> handler) { m_cancelAdd = std::move(handler); }

    // ---- Launch ----
    void applicationDidFinishLaunching();
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
    QStringList preferredLanguages() const { return m_preferredLanguages; }

    // ---- File intake ----
    static QStringList movieFileTypes();
    static QStringList openPanelFileTypes();
    // Files opened with the application, dropped or chosen: subtitles are
    // remembered for their movies, movies wait in importFiles.
    void openFiles(const QStringList& paths);
    // Probes the next waiting movie in the background and shows it.
    void addNextFile();
    bool draggingEntered(const QStringList& paths) const;
    bool performDragOperation(const QStringList& paths);
    bool isScanning() const { return m_isScanning; }
    MKVFileInfoPtr fileInfo() const { return m_fileInfo; }
    QStringList importFiles() const { return m_importFiles; }
    QHash<QString, QString> importSubtitleFiles() const { return m_importSubtitleFiles; }
    bool addPanelShown() const { return m_addPanelShown; }
    // The movie being probed or shown in the add panel.
    QString currentMoviePath() const { return m_currentMoviePath; }
    // Movies waiting behind the one shown, and the panel's line for them.
    int waitingCount() const { return int(m_importFiles.size()); }
    QString waitingText() const;

    // ---- Add panel ----
    QStringList audioItems() const;
    int selectedAudioIndex() const { return m_selectedAudioIndex; }
    void setSelectedAudioIndex(int index);
    bool canAddToQueue() const;
    QString addPanelNotice() const;
    // What the conversion keeps beside the selected audio track for the
    // user's languages ("Also keeps: jpn (aac) · Subtitles: eng"); empty
    // when the settings keep nothing by language.
    QString keptTracksText() const;
    QList<PopUpItem> destinationPopUpItems() const { return m_destinationPopUpItems; }
    int destinationPopUpIndex() const { return m_destinationPopUpIndex; }
    void setDestinationPopUpIndex(int index);
    QList<PopUpItem> preferencesDestinationPopUpItems() const
    {
        return m_preferencesDestinationPopUpItems;
    }
    int preferencesDestinationPopUpIndex() const { return m_preferencesDestinationPopUpIndex; }
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

    QString windowTitle() const { return m_windowTitle; }
    QString addButtonTitle() const { return m_addButtonTitle; }
    void setAddButtonTitle(const QString& title);
    QString pauseContinueTitle() const;
    QString pauseContinueImage() const;
    bool paused() const { return m_paused; }

signals:
    void jobAboutToBeAdded(int row);
    void jobAdded(int row);
    void jobAboutToBeRemoved(int row);
    void jobRemoved(int row);
    void taskArrayChanged();
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
    void destinationPopUpChanged();
    void preferencesDestinationPopUpChanged();
    // Asks for a save location: a file dialog in startFolder proposing
    // proposedName, allowing only files with `extension`.
    void saveLocationRequested(const QString& startFolder, const QString& proposedName,
                               const QString& extension);
    void conversionStyleChanged(int style);
    void showMainWindowRequested();

private:
    QList<ConversionJob*> m_taskArray;
    bool m_paused = false;
    bool m_terminating = false;
    QString m_windowTitle;
    QString m_addButtonTitle = QStringLiteral("Start Conversion");
    std::function<void()> m_cancelAdd;

    void setIsScanning(bool scanning);
    void setAddPanelShown(bool shown);
    void setFileInfo(const MKVFileInfoPtr& info);
    void probeFinished(const MKVFileInfoPtr& info, const std::optional<QString>& subtitle);
    void setDestinationPopUp(const QList<PopUpItem>& items, int index);
    void setPreferencesDestinationPopUp(const QList<PopUpItem>& items, int index);
    // Makes a job of the shown movie with the panel's choices; null when the
    // movie cannot be queued.
    ConversionJob* makeJobForShownMovie() const;
    // addJob, releasing the folder access of a job it refuses.
    void handOver(ConversionJob* job);
    // Drops a job whose chosen location must not be written (the movie
    // itself, or the output of a queued job), as addJob drops one it refuses.
    void refuseLocation(ConversionJob* job);
    void updateAddPanelNotice();

    QString m_version;
    QString m_build;
    std::optional<QUrl> m_aboutURL, m_historyURL, m_faqURL, m_readmeURL;
    QStringList m_preferredLanguages;
    QStringList m_importFiles;
    QHash<QString, QString> m_importSubtitleFiles;
    MKVFileInfoPtr m_fileInfo;
    QString m_currentMoviePath;
    bool m_isScanning = false;
    bool m_addPanelShown = false;
    int m_selectedAudioIndex = -1;
    QString m_lastNotice;
    QList<PopUpItem> m_destinationPopUpItems;
    int m_destinationPopUpIndex = 0;
    QList<PopUpItem> m_preferencesDestinationPopUpItems;
    int m_preferencesDestinationPopUpIndex = 0;
    // The job waiting for the save location's answer.
    std::unique_ptr<ConversionJob> m_pendingJob;
};
