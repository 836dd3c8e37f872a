#include "engine/CompletionPipeline.h"

#include "engine/OutputVerification.h"
#include "foundation/ToolLocator.h"
#include "foundation/ToolRun.h"

CompletionPipeline::CompletionPipeline(JobRecord& record, QObject* parent)
    : QObject(parent), m_record(record)
{
}

CompletionPipeline::~CompletionPipeline()
{
    abandon();
}

void CompletionPipeline::run(const QList<ConversionStage>& stages)
{
    abandon();
    m_stages = stages;
    m_stage = 0;
    m_paused = false;
    m_record.conversionStage = 0;
    beginStage();
}

void CompletionPipeline::pause()
{
    m_paused = true;
    if (m_run)
        m_run->pause();
}

void CompletionPipeline::resume()
{
    m_paused = false;
    if (m_run)
        m_run->resume();
}

void CompletionPipeline::abandon()
{
    m_pending.clear();
    m_stages.clear();
    ToolRun* run = m_run;
    m_run = nullptr;
    if (!run)
        return;
    const QStringList files{m_record.partialFile, m_record.progressFile, m_record.audioFile,
                            m_record.aacFile, m_record.trialFile};
    run->discard();
    connect(run, &ToolRun::finished, run, [files] {
        for (const QString& file : files)
            deleteFileIfAny(file);
    });
}

qint64 CompletionPipeline::processId() const
{
    return m_run ? m_run->processId() : 0;
}

void CompletionPipeline::beginStage()
{
    // Steps on files only follow each other at once; a tool's end continues
    // the loop from toolEnded.
    while (m_stage < m_stages.size()) {
        const ConversionStage& current = stage();
        m_pending = current.commands ? current.commands(m_record) : QList<ToolCommand>();
        if (!m_pending.isEmpty()) {
            startNextTool();
            return;
        }
        if (!finishStage())
            return;
    }
    stageDone(true);
}

bool CompletionPipeline::finishStage()
{
    const ConversionStage& current = stage();
    if (current.finish && !current.finish(m_record)) {
        stageDone(false);
        return false;
    }
    const bool wasProcess = current.conversionProcess;
    ++m_stage;
    if (wasProcess && m_stage < m_stages.size() && stage().conversionProcess)
        ++m_record.conversionStage;
    return true;
}

void CompletionPipeline::startNextTool()
{
    const ToolCommand command = m_pending.takeFirst();
    const QString program = ToolLocator::find(command.tool);
    if (stage().conversionProcess) {
        m_record.arguments = command.arguments;
        // Each process's output stands alone: a failure shows its own.
        m_record.output.clear();
        // Reported like a tool that could not be started.
        if (program.isEmpty())
            m_record.output = ToolLocator::installHint(command.tool);
        // Written down before the tool creates any of them, so a run that
        // dies leaves nothing the next start does not know of.
        m_record.journalFiles();
        emit processStarting();
    }
    if (m_run)
        m_run->deleteLater();
    m_run = new ToolRun(this);
    connect(m_run, &ToolRun::finished, this, &CompletionPipeline::toolEnded);
    m_run->start(QStringList{program} + command.arguments);
    // A job paused while the stage before ended (the trial) stays paused.
    if (m_paused)
        m_run->pause();
}

void CompletionPipeline::toolEnded(int status, const QString& output)
{
    const ConversionStage& current = stage();
    if (current.conversionProcess) {
        m_record.output += output;
        if (saysInputEndedEarly(m_record.output))
            m_record.inputEndedEarly = true;
        emit processEnded();
    }
    if (current.toolEnded && !current.toolEnded(m_record, status, output)) {
        stageDone(false);
        return;
    }
    if (!m_pending.isEmpty())
        startNextTool();
    else if (current.again && current.again(m_record))
        beginStage();
    else if (finishStage())
        beginStage();
}

void CompletionPipeline::stageDone(bool success)
{
    m_pending.clear();
    m_stages.clear();
    emit ended(success);
}
