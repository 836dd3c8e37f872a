#pragma once

#include "inspection/MKVFileInfo.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>

class ConversionJob;
class Destinations;
class JobQueue;

// What the add panel shows and edits: the movie being probed or shown, the
// audio track chosen for it, the notice why it cannot be queued, the tracks
// kept beside the chosen one, and queueing it, at once for a saved
// destination or after the save-location dialog is answered.
class AddPanelState final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AddPanelState)

public:
    AddPanelState(JobQueue& queue, const Destinations& destinations, QObject* parent = nullptr);
    ~AddPanelState() override;

    bool addPanelShown() const { return m_addPanelShown; }
    void setAddPanelShown(bool shown);
    bool isScanning() const { return m_isScanning; }
    // The panel opens on a movie whose probe has started.
    void beginScanning(const QString& moviePath);
    // The probe came back: shows the movie with the best audio track for
    // the preferred languages selected.
    void showProbed(const MKVFileInfoPtr& info);
    MKVFileInfoPtr fileInfo() const { return m_fileInfo; }
    QString currentMoviePath() const { return m_currentMoviePath; }
    QStringList preferredLanguages() const { return m_preferredLanguages; }
    void setPreferredLanguages(const QStringList& languages) { m_preferredLanguages = languages; }

    QStringList audioItems() const;
    int selectedAudioIndex() const { return m_selectedAudioIndex; }
    void setSelectedAudioIndex(int index);
    bool canAddToQueue() const;
    QString addPanelNotice() const;
    QString keptTracksText() const;
    // The subtitle tracks of the shown movie, each ticked when it will be
    // written: as the settings choose until the user ticks one for this
    // movie alone.
    struct SubtitleItem
    {
        QString key;
        QString text;
        bool checked = false;
    };
    QList<SubtitleItem> subtitleItems() const;
    void setSubtitleChecked(const QString& key, bool checked);
    // The output file name of the shown movie (Film.mp4 or Film.m4v).
    QString outputName() const;
    QString addButtonTitle() const { return m_addButtonTitle; }
    void setAddButtonTitle(const QString& title);

    void addToQueue();
    void confirmSaveLocation(const QString& path);
    void cancelSaveLocation();

signals:
    void isScanningChanged(bool scanning);
    void fileInfoChanged();
    void addPanelShownChanged(bool shown);
    void selectedAudioIndexChanged(int index);
    void addPanelNoticeChanged();
    void addButtonTitleChanged(const QString& title);
    void saveLocationRequested(const QString& startFolder, const QString& proposedName,
                               const QString& extension);

private:
    void setIsScanning(bool scanning);
    void setFileInfo(const MKVFileInfoPtr& info);
    void updateAddPanelNotice();
    // Null when the shown movie cannot be queued.
    ConversionJob* makeJobForShownMovie() const;
    // addJob, releasing the folder access of a job it refuses.
    void handOver(ConversionJob* job);

    JobQueue& m_queue;
    const Destinations& m_destinations;
    QStringList m_preferredLanguages;
    MKVFileInfoPtr m_fileInfo;
    QString m_currentMoviePath;
    bool m_isScanning = false;
    bool m_addPanelShown = false;
    int m_selectedAudioIndex = -1;
    // The subtitle tracks chosen for the shown movie; absent: the settings'.
    std::optional<QStringList> m_subtitleChoice;
    QString m_lastNotice;
    QString m_addButtonTitle = QStringLiteral("Start Conversion");
    // The job waiting for the save location's answer.
    std::unique_ptr<ConversionJob> m_pendingJob;
};
