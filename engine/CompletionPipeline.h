#pragma once

#include "engine/ConversionStages.h"

#include <QList>
#include <QObject>
#include <QPointer>

class ToolRun;

// Runs a conversion's stages one after another on the job's record, each
// tool through a ToolRun, so no stage ever holds up the event loop. The job
// keeps its state and controls and reacts to the signals; after the last
// stage (or the first that fails) the pipeline says how it ended.
class CompletionPipeline final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CompletionPipeline)

public:
    explicit CompletionPipeline(JobRecord& record, QObject* parent = nullptr);
    ~CompletionPipeline() override;

    // Begins the first stage; whatever ran before is abandoned.
    void run(const QList<ConversionStage>& stages);
    // Pauses and continues every tool running now, together.
    void pause();
    void resume();
    // Ends the running tools (with a grace period, never waiting for them)
    // and reports nothing more; the files the run writes are deleted now and
    // again once its tools have ended, in case they wrote them meanwhile.
    void abandon();
    // The process id of the (first) running tool, 0 when none runs.
    qint64 processId() const;
    // What the running tool has said so far; empty when none runs.
    QString runningOutput() const;

signals:
    // A conversion process (or the processes of a concurrent stage) is about
    // to start; the record has its arguments.
    void processStarting();
    // A conversion process (or all of a concurrent stage) ended; its output
    // is in the record.
    void processEnded();
    // The last stage is done, or a stage failed.
    void ended(bool success);

private:
    void beginStage();
    void startNextTool();
    // Starts every tool of a concurrent stage at once.
    void startTogether();
    // Starts one tool beside those running now.
    ToolRun* launch(const ToolCommand& command);
    // Calls `start` once the journal naming the record's files is on the
    // disk, unless the stage was abandoned by then.
    void whenJournalled(const std::function<void()>& start);
    // Lets the runs of the tools that ended go.
    void clearRuns();
    void toolEnded(int status, const QString& output);
    void togetherEnded(qsizetype index, int status, const QString& output);
    // Ends the tools still running beside one that failed.
    void stopOthers();
    // The stage's tools are done: its closing step, then on to the next
    // stage; false when it failed (and the end is reported).
    bool finishStage();
    void stageDone(bool success);
    // Starts the tool runs of the stages that start early.
    void startEarlyRuns();
    // At a stage that started early: false while its run still goes (the
    // pipeline goes on once it ends) or when it failed the job.
    bool takeEarlyRun();
    void earlyRunEnded(ToolRun* run, int status, const QString& output);
    // Runs the stage's background work, then finishes the stage.
    void runInBackground(const std::function<ConversionStage::ApplyResult()>& work);
    const ConversionStage& stage() const { return m_stages.at(m_stage); }

    JobRecord& m_record;
    QList<ConversionStage> m_stages;
    qsizetype m_stage = 0;
    QList<ToolCommand> m_pending;
    // The tools running now: one, or every tool of a concurrent stage.
    QList<QPointer<ToolRun>> m_runs;
    // How the tools of a concurrent stage ended (in the order they started),
    // and which have ended.
    QList<ToolResult> m_results;
    QList<bool> m_ended;
    // The runs of the stages that start early, by stage, and how they ended.
    struct EarlyRun
    {
        qsizetype stage = 0;
        QPointer<ToolRun> run;
        bool ended = false;
        int status = 0;
        QString output;
    };
    QList<EarlyRun> m_early;
    // The pipeline waits at a stage for its early run to end.
    bool m_waitingForEarly = false;
    // Counts the concurrent stages and background steps begun, so a late
    // answer of one never acts on another.
    quint64 m_generation = 0;
    bool m_paused = false;
    // The stage begun last had tools to run.
    bool m_stageRanTools = false;
};
