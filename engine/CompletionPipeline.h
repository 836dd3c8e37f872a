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
    void pause();
    void resume();
    // Ends the running tool (with a grace period, never waiting for it) and
    // reports nothing more; the files the run writes are deleted now and
    // again once its tool has ended, in case it wrote them meanwhile.
    void abandon();
    // The process id of the running tool, 0 when none runs.
    qint64 processId() const;

signals:
    // A conversion process is about to start; the record has its arguments.
    void processStarting();
    // A conversion process ended; its output is in the record.
    void processEnded();
    // The last stage is done, or a stage failed.
    void ended(bool success);

private:
    void beginStage();
    void startNextTool();
    void toolEnded(int status, const QString& output);
    // The stage's tools are done: its closing step, then on to the next
    // stage; false when it failed (and the end is reported).
    bool finishStage();
    void stageDone(bool success);
    const ConversionStage& stage() const { return m_stages.at(m_stage); }

    JobRecord& m_record;
    QList<ConversionStage> m_stages;
    qsizetype m_stage = 0;
    QList<ToolCommand> m_pending;
    QPointer<ToolRun> m_run;
    bool m_paused = false;
};
