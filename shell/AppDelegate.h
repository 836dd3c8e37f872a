#pragma once

#include "engine/JobState.h"
#include "inspection/MKVFileInfo.h"

#include <QObject>
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

// The desktop's shell object (QtCore only): it makes and wires the queue, the intake, the add
// panel's state and the destinations, and answers for launch; widgets bind to those parts.
class AppDelegate final : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString addButtonTitle READ addButtonTitle WRITE setAddButtonTitle NOTIFY
                   addButtonTitleChanged)
    Q_PROPERTY(QString pauseContinueTitle READ pauseContinueTitle NOTIFY pauseContinueChanged)
    Q_PROPERTY(QString pauseContinueImage READ pauseContinueImage NOTIFY pauseContinueChanged)
    Q_PROPERTY(bool isScanning READ isScanning NOTIFY isScanningChanged)
    Q_PROPERTY(int waitingCount READ waitingCount NOTIFY waitingCountChanged)
    Q_PROPERTY(QString statusNotice READ statusNotice NOTIFY statusNoticeChanged)

public:
    explicit AppDelegate(QObject* parent = nullptr);
    ~AppDelegate() override;

    JobQueue& queue() const { return *m_queue; }
    AddPanelState& addPanelState() const { return *m_panel; }
    Destinations& destinations() const { return *m_destinations; }

    // ---- The queue ----
    const QList<ConversionJob*>& taskArray() const;
    bool addJob(ConversionJob* job);
    void removeJob(ConversionJob* job);
    qint64 jobCountWithState(JobState state) const;
    void startNextJobInQueue();
    void pauseContinueClicked(QObject* sender);
    void cleanClicked();
    void updateWindowTitle();
    bool applicationShouldTerminate();
    void applicationWillTerminate();
    void cancelAdd();
    void setCancelAddHandler(std::function<void()> handler) { m_cancelAdd = std::move(handler); }

    // ---- Launch, the main window, links and notifications ----
    void applicationDidFinishLaunching();
    void restoreSavedQueue();
    QString statusNotice() const;
    void openMainWindow();
    void windowWillClose();
    QString version() const { return m_version; }
    QString build() const { return m_build; }
    std::optional<QUrl> aboutURL() const { return m_aboutURL; }
    std::optional<QUrl> historyURL() const { return m_historyURL; }
    std::optional<QUrl> faqURL() const { return m_faqURL; }
    std::optional<QUrl> readmeURL() const { return m_readmeURL; }
    void openURL(int tag);
    void notificationActivated(const QString& path);
    bool isRateable() const;
    QStringList preferredLanguages() const;

    // ---- File intake ----
    static QStringList movieFileTypes();
    void openFiles(const QStringList& paths);
    void addNextFile();
    bool draggingEntered(const QStringList& paths) const;
    bool performDragOperation(const QStringList& paths);
    bool isScanning() const;
    MKVFileInfoPtr fileInfo() const;
    QStringList importFiles() const;
    QStringList importSubtitleFiles() const;
    int waitingCount() const;

    // ---- Add panel, destinations and preferences ----
    void addToQueue();
    void rebuildDestinationPopUp();
    void rebuildPreferencesDestinationPopUp();
    void chooseNewDestination(int tag, const QString& chosenFolder);
    void selectConversionStyle();
    QString addButtonTitle() const;
    void setAddButtonTitle(const QString& title);
    QString pauseContinueTitle() const;
    QString pauseContinueImage() const;

signals:
    void addButtonTitleChanged(const QString& title);
    void pauseContinueChanged();
    void isScanningChanged(bool scanning);
    void fileInfoChanged();
    void waitingCountChanged();
    void statusNoticeChanged(const QString& notice);
    void conversionStyleChanged(int style);
    void showMainWindowRequested();

private:
    void probeFinished(const MKVFileInfoPtr& info);
    void batchProbed(const QList<IntakeResult>& results);

    JobQueue* m_queue = nullptr;
    Intake* m_intake = nullptr;
    Destinations* m_destinations = nullptr;
    AddPanelState* m_panel = nullptr;
    QueueRestore* m_restore = nullptr;
    std::function<void()> m_cancelAdd;
    // Movies probed ahead (with their paths); the size of the batch probing.
    QList<std::pair<QString, MKVFileInfoPtr>> m_probedAhead;
    int m_probingCount = 0;
    QString m_version, m_build;
    std::optional<QUrl> m_aboutURL, m_historyURL, m_faqURL, m_readmeURL;
};
