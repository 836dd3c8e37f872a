#pragma once

#include "engine/AfterJobActions.h"
#include "engine/CompletionPipeline.h"
#include "engine/FailureExplanation.h"
#include "engine/JobNotice.h"
#include "engine/JobOutcome.h"
#include "engine/JobRecord.h"
#include "engine/JobState.h"
#include "engine/ProgressFileReader.h"
#include "inspection/MKVFileInfo.h"

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QStringList>

class JobHost;
class QTimer;

// One movie in the conversion queue: its state, its controls and the timer
// that watches its progress. Its conversion is a list of stages run by its
// CompletionPipeline on its JobRecord; the job reacts to how it ends.
// Everything happens on the main thread; no tool run is waited for.
class ConversionJob final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ConversionJob)
    Q_PROPERTY(float progress READ progress WRITE setProgress NOTIFY progressChanged)
    Q_PROPERTY(QString stateInfoString READ stateInfoString NOTIFY stateInfoStringChanged)
    Q_PROPERTY(bool slowmode READ slowmode WRITE setSlowmode NOTIFY slowmodeChanged)
    Q_PROPERTY(bool fastmode READ fastmode WRITE setFastmode NOTIFY fastmodeChanged)
    Q_PROPERTY(qulonglong audioTrackIndex READ audioTrackIndex WRITE setAudioTrackIndex NOTIFY
                   audioTrackIndexChanged)

public:
    explicit ConversionJob(QObject* parent = nullptr);
    ~ConversionJob() override;

    JobState state() const { return m_state; }
    void setState(JobState state);
    float progress() const { return m_progress; }
    void setProgress(float progress);
    QString stateInfoString() const;
    // Ended well, or failed: what the row's icons show.
    bool finishedOK() const { return m_state == JobState::Finished; }
    bool finishedError() const { return m_state == JobState::Failed; }
    bool slowmode() const { return m_slowmode; }
    void setSlowmode(bool v);
    bool fastmode() const { return m_fastmode; }
    void setFastmode(bool v);
    qulonglong audioTrackIndex() const { return m_record.audioTrackIndex; }
    void setAudioTrackIndex(qulonglong index);
    // The queue the job belongs to, which it asks to remove it, to start
    // the next job and to refresh its controls; handed over by the queue
    // that takes the job. A job of no queue asks nothing.
    // With it come the actions that follow the job's end.
    void setHost(JobHost* host, const AfterJobActions& afterActions)
    {
        m_host = host;
        m_afterActions = afterActions;
    }
    const MKVFileInfoPtr& fileInfo() const { return m_record.fileInfo; }
    void setFileInfo(const MKVFileInfoPtr& info) { m_record.fileInfo = info; }
    // The conversion settings the job was queued with (taken by the queue);
    // without them the job reads the settings store whenever it needs them.
    const std::optional<ConversionSettings>& settingsSnapshot() const
    {
        return m_record.settingsSnapshot;
    }
    void setSettingsSnapshot(const ConversionSettings& settings)
    {
        m_record.settingsSnapshot = settings;
    }
    // The settings the job converts with.
    ConversionSettings settings() const { return m_record.settings(); }
    // The subtitle tracks chosen for this movie alone (SubtitleTrack keys);
    // absent: the settings choose.
    const std::optional<QStringList>& subtitleChoice() const { return m_record.subtitleChoice; }
    void setSubtitleChoice(const std::optional<QStringList>& keys)
    {
        m_record.subtitleChoice = keys;
    }
    // The stages the job runs in place of those of its conversion method.
    // Set only by the tests of the queue's rules, whose stand-in stages run
    // no ffmpeg.
    void setStages(const QList<ConversionStage>& stages) { m_stages = stages; }

    // Controls.
    void start();
    void pause();
    void continueJob();
    void remove();
    // Shows the file (the source with Shift held) or, for a failed job, why
    // it failed.
    void reveal(bool shiftHeld = false);
    void presetSpeedInfo();
    void setSpeedInfoFromMethod(int method);

    // Why a failed job failed: the text of the explanation alert.
    QString failureExplanationText() const;

    // What the row and the failure alert of an ended job show, for a saved
    // queue; and a job of a new run made to look as it ended (state Finished
    // or Failed) without running anything.
    JobOutcome outcome() const;
    void restoreEnded(JobState state, const JobOutcome& outcome);

    // Read-only views for the shell, the command line and tests.
    const QString& jobOutput() const { return m_record.output; }
    const QStringList& arguments() const { return m_record.arguments; }
    int conversionStage() const { return m_record.conversionStage; }
    bool multiConversion() const { return m_record.multiConversion; }
    bool addedSurround() const { return m_record.addedSurround; }
    // Audio tracks kept for the user's languages in the last command line.
    int furtherAudioTracks() const { return m_record.furtherAudioTracks; }
    const QString& progressFile() const { return m_record.progressFile; }
    const QString& audioFile() const { return m_record.audioFile; }
    const QString& aacFile() const { return m_record.aacFile; }
    QDateTime startDate() const { return m_startDate; }
    QDateTime stopDate() const { return m_stopDate; }
    QString sourcePath() const { return m_record.sourcePath(); }
    // Where the movie goes; once Finished, where it went (a name taken
    // meanwhile gives the next free one).
    QString destinationPath() const { return m_record.destinationPath(); }
    // The hidden file ffmpeg writes beside the destination until the job is
    // Finished; empty when there is none.
    const QString& partialFile() const { return m_record.partialFile; }
    // What the check of the written file found missing; empty otherwise.
    const QString& verificationProblem() const { return m_record.verificationProblem; }
    // What a Finished job warns of (a movie that ends early); empty otherwise.
    const QString& completionWarning() const { return m_record.completionWarning; }
    // The process id of the running tool, 0 when none runs.
    qint64 processId() const { return m_pipeline.processId(); }

signals:
    void stateChanged(JobState state);
    void progressChanged(float progress);
    void stateInfoStringChanged();
    void slowmodeChanged(bool);
    void fastmodeChanged(bool);
    void audioTrackIndexChanged(qulonglong);
    // The space check refused to start the job; it stays Queued.
    void startRefused(const QString& reason);
    // Something the user is to be told (the queue has it shown or printed).
    void noticeRaised(const JobNotice& notice);

private:
    void progressTimer();
    void processStarting();
    void processEnded();
    void conversionEnded(bool success);
    void startTimer();
    void stopTimer();
    void takeSleepAssertion();
    void releaseSleepAssertion();
    // Refuses to start the job for `refusal`: it stays Queued.
    void refuseStart(const QString& refusal);
    void failMissingSource();
    FailureExplanation failureExplanation() const;
    void fail();
    void finishJob();

    JobState m_state = JobState::Queued;
    float m_progress = 0;
    JobHost* m_host = nullptr;
    AfterJobActions m_afterActions;
    bool m_slowmode = false;
    bool m_fastmode = false;
    JobRecord m_record;
    QPointer<QTimer> m_timer;
    QDateTime m_startDate;
    QDateTime m_stopDate;
    ProgressFileReader m_progressReader;
    quint32 m_sleepAssertion = 0;
    bool m_removed = false;
    // The explanation of a job restored as Failed; its run is not known.
    std::optional<FailureExplanation> m_restoredExplanation;
    std::optional<QList<ConversionStage>> m_stages;
    CompletionPipeline m_pipeline{m_record};
};
