#pragma once

#include "engine/CommandLines.h"
#include "engine/CompletionPipeline.h"
#include "engine/FailureExplanation.h"
#include "engine/OutputCollector.h"
#include "engine/ProgressFileReader.h"
#include "inspection/MKVFileInfo.h"

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QProcess>
#include <QStringList>
#include <optional>

class QTimer;

// One movie in the conversion queue: its state, its controls, its running
// tool and the timer that watches it. What happens when a tool ends is its
// CompletionPipeline. Everything happens on the main thread; the tool's
// output and end arrive through the event loop.
class ConversionJob final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ConversionJob)
    Q_PROPERTY(int state READ state WRITE setState NOTIFY stateChanged)
    Q_PROPERTY(float progress READ progress WRITE setProgress NOTIFY progressChanged)
    Q_PROPERTY(QString stateInfoString READ stateInfoString NOTIFY stateInfoStringChanged)
    Q_PROPERTY(bool finishedOK READ finishedOK WRITE setFinishedOK NOTIFY finishedOKChanged)
    Q_PROPERTY(
        bool finishedError READ finishedError WRITE setFinishedError NOTIFY finishedErrorChanged)
    Q_PROPERTY(bool slowmode READ slowmode WRITE setSlowmode NOTIFY slowmodeChanged)
    Q_PROPERTY(bool fastmode READ fastmode WRITE setFastmode NOTIFY fastmodeChanged)
    Q_PROPERTY(qulonglong audioTrackIndex READ audioTrackIndex WRITE setAudioTrackIndex NOTIFY
                   audioTrackIndexChanged)

public:
    explicit ConversionJob(QObject* parent = nullptr);
    ~ConversionJob() override;

    int state() const { return m_state; }
    void setState(int state);
    float progress() const { return m_progress; }
    void setProgress(float progress);
    QString stateInfoString() const;
    bool finishedOK() const { return m_finishedOK; }
    void setFinishedOK(bool v);
    bool finishedError() const { return m_finishedError; }
    void setFinishedError(bool v);
    bool slowmode() const { return m_slowmode; }
    void setSlowmode(bool v);
    bool fastmode() const { return m_fastmode; }
    void setFastmode(bool v);
    qulonglong audioTrackIndex() const { return m_audioTrackIndex; }
    void setAudioTrackIndex(qulonglong index);
    const MKVFileInfoPtr& fileInfo() const { return m_fileInfo; }
    void setFileInfo(const MKVFileInfoPtr& info) { m_fileInfo = info; }

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

    // Read-only views for the shell, the command line and tests.
    const QString& jobOutput() const { return m_output.text(); }
    const QStringList& arguments() const { return m_arguments; }
    int conversionStage() const { return m_conversionStage; }
    bool multiConversion() const { return m_multiConversion; }
    bool addedSurround() const { return m_addedSurround; }
    // Audio tracks kept for the user's languages in the last command line.
    int furtherAudioTracks() const { return m_furtherAudioTracks; }
    const QString& progressFile() const { return m_progressFile; }
    const QString& audioFile() const { return m_audioFile; }
    const QString& aacFile() const { return m_aacFile; }
    QDateTime startDate() const { return m_startDate; }
    QDateTime stopDate() const { return m_stopDate; }
    QString sourcePath() const;
    // Where the movie goes; once Finished, where it went (a name taken
    // meanwhile gives the next free one).
    QString destinationPath() const;
    // The hidden file ffmpeg writes beside the destination until the job is
    // Finished; empty when there is none.
    const QString& partialFile() const { return m_partialFile; }
    // What the check of the written file found missing; empty otherwise.
    const QString& verificationProblem() const { return m_verificationProblem; }
    // What a Finished job warns of (a movie that ends early); empty otherwise.
    const QString& completionWarning() const { return m_completionWarning; }
    // The process id of the running tool, 0 when none runs.
    qint64 processId() const;

signals:
    void stateChanged(int state);
    void progressChanged(float progress);
    void stateInfoStringChanged();
    void finishedOKChanged(bool);
    void finishedErrorChanged(bool);
    void slowmodeChanged(bool);
    void fastmodeChanged(bool);
    void audioTrackIndexChanged(qulonglong);
    // The space check refused to start the job; it stays Queued.
    void startRefused(const QString& reason);

private:
    friend class CompletionPipeline;

    void progressTimer();
    void outputReceived();
    void conversionFinished(int exitCode, QProcess::ExitStatus exitStatus);
    void processFailedToStart();
    bool launch(const QString& tool, const QStringList& arguments);
    void startTimer();
    void stopTimer();
    void takeSleepAssertion();
    void releaseSleepAssertion();
    bool needFixup();
    ConversionInputs conversionInputs() const;
    FailureExplanation failureExplanation() const;
    // Records the job's partial and temporary files (and `extra`) in the
    // journal; called before every process that writes them.
    void journalFiles(const QStringList& extra = {});
    // Deletes the partial file and the temporary files, and forgets them.
    void deleteUnfinishedFiles();

    int m_state = 0;
    float m_progress = 0;
    bool m_finishedOK = false;
    bool m_finishedError = false;
    bool m_slowmode = false;
    bool m_fastmode = false;
    qulonglong m_audioTrackIndex = 0;
    MKVFileInfoPtr m_fileInfo;

    int m_conversionStage = 0;
    bool m_multiConversion = false;
    bool m_addedSurround = false;
    int m_furtherAudioTracks = 0;
    // Of those, the ones ffmpeg encodes (the mux stage of the AAC method
    // weighs more for them); known from the start.
    int m_encodedFurtherTracks = 0;
    OutputCollector m_output;
    QStringList m_arguments;
    QPointer<QProcess> m_task;
    QPointer<QTimer> m_timer;
    QDateTime m_startDate;
    QDateTime m_stopDate;
    QString m_progressFile;
    ProgressFileReader m_progressReader;
    QString m_audioFile;
    QString m_aacFile;
    quint32 m_sleepAssertion = 0;
    bool m_removed = false;
    QString m_partialFile;
    // The AAC trial's answer: it runs at most once per movie.
    std::optional<bool> m_needsFixup;
    QString m_verificationProblem;
    QString m_completionWarning;
    // A tool of this run said the source ends before its stated end.
    bool m_inputEndedEarly = false;
    CompletionPipeline m_pipeline{*this};
};
