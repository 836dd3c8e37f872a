#include "engine/CompletionPipeline.h"

#include "engine/FileJournal.h"
#include "engine/OutputFiles.h"
#include "engine/OutputVerification.h"
#include "foundation/StringHelpers.h"
#include "foundation/ToolLocator.h"
#include "foundation/ToolRun.h"

#include <QCoreApplication>
#include <QThreadPool>
#include <QTimer>
#include <utility>

namespace {

constexpr int kReaderGraceMs = 2000;
// A run that failed of itself: the others are told to end a moment later,
// so that one failing at the same time (both ffmpeg runs of a damaged movie)
// is known to have failed of itself, not because it was told to end.
constexpr int kFailureGraceMs = 250;

} // namespace

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
    startEarlyRuns();
    beginStage();
}

void CompletionPipeline::startEarlyRuns()
{
    for (qsizetype i = 0; i < m_stages.size(); ++i) {
        const ConversionStage& early = m_stages.at(i);
        if (!early.startsEarly || !early.commands)
            continue;
        const QList<ToolCommand> commands = early.commands(m_record);
        if (commands.isEmpty())
            continue;
        EarlyRun entry;
        entry.stage = i;
        entry.run = new ToolRun(this);
        entry.run->setTimeLimit(commands.first().timeLimitMs);
        ToolRun* run = entry.run;
        connect(run, &ToolRun::finished, this, [this, run](int status, const QString& output) {
            earlyRunEnded(run, status, output);
        });
        m_early.append(entry);
        run->start(QStringList{ToolLocator::find(commands.first().tool)} +
                       commands.first().arguments,
                   ChildPriority::Background);
    }
}

bool CompletionPipeline::takeEarlyRun()
{
    const ConversionStage& current = stage();
    for (const EarlyRun& early : std::as_const(m_early)) {
        if (early.stage != m_stage)
            continue;
        if (!early.ended) {
            m_waitingForEarly = true;
            return false;
        }
        if (current.toolEnded && !current.toolEnded(m_record, early.status, early.output)) {
            stageDone(false);
            return false;
        }
        break;
    }
    m_stageRanTools = false;
    return finishStage();
}

void CompletionPipeline::earlyRunEnded(ToolRun* run, int status, const QString& output)
{
    for (EarlyRun& early : m_early) {
        if (early.run != run || early.ended)
            continue;
        early.ended = true;
        early.status = status;
        early.output = output;
        run->deleteLater();
        if (m_waitingForEarly && !m_stages.isEmpty() && early.stage == m_stage) {
            m_waitingForEarly = false;
            // Judged and the next stages begun from the event loop, as
            // any tool's end is.
            if (takeEarlyRun())
                beginStage();
        }
        return;
    }
}

void CompletionPipeline::pause()
{
    m_paused = true;
    for (const QPointer<ToolRun>& run : std::as_const(m_runs))
        if (run)
            run->pause();
    for (const EarlyRun& early : std::as_const(m_early))
        if (early.run && !early.ended)
            early.run->pause();
}

void CompletionPipeline::resume()
{
    m_paused = false;
    for (const QPointer<ToolRun>& run : std::as_const(m_runs))
        if (run)
            run->resume();
    for (const EarlyRun& early : std::as_const(m_early))
        if (early.run && !early.ended)
            early.run->resume();
}

void CompletionPipeline::abandon()
{
    m_pending.clear();
    m_stages.clear();
    m_results.clear();
    m_ended.clear();
    ++m_generation;
    m_waitingForEarly = false;
    // An early run writes nothing: it is only ended.
    for (const EarlyRun& early : std::exchange(m_early, {}))
        if (early.run && !early.ended)
            early.run->discard();
    const QList<QPointer<ToolRun>> runs = std::exchange(m_runs, {});
    const QStringList files =
        QStringList{m_record.partialFile, m_record.progressFile, m_record.audioFile,
                    m_record.aacFile, m_record.trialFile} +
        m_record.readingFiles;
    bool anyRunning = false;
    for (const QPointer<ToolRun>& run : runs) {
        if (!run)
            continue;
        anyRunning = anyRunning || run->isRunning();
        run->discard();
        // A name freed meanwhile may have been reserved by another job.
        connect(run, &ToolRun::finished, run, [files] {
            for (const QString& file : files)
                if (!FileJournal::instance().names(file))
                    deleteFileIfAny(file);
        });
    }
    // A tool still waiting in open() for the other end of the FIFO would
    // never see that it was told to end.
    if (anyRunning) {
        releaseFifoOpeners(m_record.audioFile);
        releaseFifoOpeners(m_record.aacFile);
    }
}

qint64 CompletionPipeline::processId() const
{
    for (const QPointer<ToolRun>& run : m_runs)
        if (run && run->isRunning())
            return run->processId();
    return 0;
}

QString CompletionPipeline::runningOutput() const
{
    for (const QPointer<ToolRun>& run : m_runs)
        if (run && run->isRunning())
            return run->output();
    return {};
}

void CompletionPipeline::beginStage()
{
    // Steps on files only follow each other at once; a tool's end continues
    // the loop from toolEnded.
    while (m_stage < m_stages.size()) {
        const ConversionStage& current = stage();
        if (current.startsEarly) {
            if (!takeEarlyRun())
                return;
            continue;
        }
        m_pending = current.commands ? current.commands(m_record) : QList<ToolCommand>();
        m_stageRanTools = !m_pending.isEmpty();
        // A stage that could not set its run up (no temporary file) fails.
        if (!m_record.verificationProblem.isEmpty()) {
            stageDone(false);
            return;
        }
        if (!m_pending.isEmpty()) {
            if (current.concurrent)
                startTogether();
            else
                startNextTool();
            return;
        }
        if (current.background) {
            runInBackground(current.background(m_record));
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
    // A stage that had nothing to run (no picture subtitles to read) is no
    // process of the conversion.
    const bool wasProcess = current.conversionProcess && m_stageRanTools;
    const qsizetype processes = current.concurrent ? qMax<qsizetype>(1, m_results.size()) : 1;
    ++m_stage;
    if (wasProcess && m_stage < m_stages.size() && stage().conversionProcess)
        m_record.conversionStage += int(processes);
    return true;
}

ToolRun* CompletionPipeline::launch(const ToolCommand& command)
{
    auto* run = new ToolRun(this);
    m_runs.append(run);
    run->setTimeLimit(command.timeLimitMs);
    // Below the window's priority, like the probe: a busy processor slows
    // the conversion, never the window.
    run->start(QStringList{ToolLocator::find(command.tool)} + command.arguments,
               ChildPriority::Background);
    // A job paused while the stage before ended (the trial) stays paused.
    if (m_paused)
        run->pause();
    return run;
}

void CompletionPipeline::clearRuns()
{
    for (const QPointer<ToolRun>& old : std::as_const(m_runs))
        if (old)
            old->deleteLater();
    m_runs.clear();
}

void CompletionPipeline::startNextTool()
{
    const ToolCommand command = m_pending.takeFirst();
    if (stage().conversionProcess) {
        m_record.arguments = command.arguments;
        // Each process's output stands alone: a failure shows its own.
        m_record.output.clear();
        // Reported like a tool that could not be started.
        if (ToolLocator::find(command.tool).isEmpty())
            m_record.output = ToolLocator::installHint(command.tool);
        emit processStarting();
    }
    // On the disk before the tool writes any of them, so a run that dies,
    // even by a power cut, leaves nothing the next start does not know of.
    m_record.journalFiles();
    clearRuns();
    whenJournalled([this, command] {
        connect(launch(command), &ToolRun::finished, this, &CompletionPipeline::toolEnded);
    });
}

void CompletionPipeline::startTogether()
{
    const QList<ToolCommand> commands = std::exchange(m_pending, {});
    // The last run is the one that writes the movie: its command line is
    // the one the read-back check follows.
    m_record.arguments = commands.last().arguments;
    m_record.output.clear();
    m_record.journalFiles();
    m_results.clear();
    m_ended.clear();
    ++m_generation;
    for (const ToolCommand& command : commands) {
        ToolResult result;
        result.arguments = command.arguments;
        if (ToolLocator::find(command.tool).isEmpty())
            result.output = ToolLocator::installHint(command.tool);
        m_results.append(result);
        m_ended.append(false);
    }
    emit processStarting();
    clearRuns();
    // Ends arrive through the event loop, never before all have started.
    whenJournalled([this, commands] {
        for (qsizetype i = 0; i < commands.size(); ++i)
            connect(
                launch(commands.at(i)), &ToolRun::finished, this,
                [this, i](int status, const QString& output) { togetherEnded(i, status, output); });
    });
}

void CompletionPipeline::whenJournalled(const std::function<void()>& start)
{
    // The flush waits for the disk on the journal's thread; the stage may
    // be abandoned meanwhile, and a new one begun.
    const quint64 generation = ++m_generation;
    FileJournal::instance().whenOnDisk(this, [this, generation, start] {
        if (generation == m_generation && !m_stages.isEmpty())
            start();
    });
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

void CompletionPipeline::togetherEnded(qsizetype index, int status, const QString& output)
{
    if (index >= m_results.size() || m_ended.at(index))
        return;
    m_ended[index] = true;
    ToolResult& result = m_results[index];
    result.status = status;
    result.output += output;
    // A writer whose reader went away usually hears of it before the reader's
    // own end arrives: the reader is given a moment to report why.
    if (status != 0)
        QTimer::singleShot(contains(output, QStringLiteral("Broken pipe")) ? kReaderGraceMs
                                                                           : kFailureGraceMs,
                           this, [this, generation = m_generation] {
                               if (generation == m_generation)
                                   stopOthers();
                           });
    if (m_ended.contains(false))
        return;

    const std::optional<qsizetype> failing = failingRun(m_results);
    if (failing) {
        m_record.arguments = m_results.at(*failing).arguments;
        m_record.output = m_results.at(*failing).output;
    } else {
        m_record.arguments = m_results.constLast().arguments;
        for (const ToolResult& r : std::as_const(m_results))
            m_record.output += r.output;
    }
    if (saysInputEndedEarly(m_record.output))
        m_record.inputEndedEarly = true;
    emit processEnded();
    const ConversionStage& current = stage();
    if (failing)
        stageDone(false);
    else if (current.toolEnded && !current.toolEnded(m_record, m_results.constLast().status,
                                                     m_results.constLast().output))
        stageDone(false);
    else if (current.again && current.again(m_record))
        beginStage();
    else if (finishStage())
        beginStage();
}

void CompletionPipeline::stopOthers()
{
    bool stopped = false;
    for (qsizetype i = 0; i < m_runs.size() && i < m_ended.size(); ++i) {
        if (m_ended.at(i) || m_results.at(i).stopped)
            continue;
        if (ToolRun* other = m_runs.at(i))
            other->stop();
        m_results[i].stopped = true;
        stopped = true;
    }
    // The stage's FIFOs (the record's audio and AAC files): a tool waiting
    // in open() for its other end, which will never come, sees that it was
    // told to end.
    if (stopped) {
        releaseFifoOpeners(m_record.audioFile);
        releaseFifoOpeners(m_record.aacFile);
    }
}

void CompletionPipeline::runInBackground(const std::function<ConversionStage::ApplyResult()>& work)
{
    const quint64 generation = ++m_generation;
    const QPointer<CompletionPipeline> self(this);
    QObject* mainThreadObject = QCoreApplication::instance();
    QThreadPool::globalInstance()->start([work, self, generation, mainThreadObject] {
        const ConversionStage::ApplyResult apply = work();
        QMetaObject::invokeMethod(
            mainThreadObject,
            [self, generation, apply] {
                // Abandoned meanwhile: nothing more is reported.
                if (!self || generation != self->m_generation || self->m_stages.isEmpty()) {
                    if (apply)
                        apply(nullptr);
                    return;
                }
                if (apply && !apply(&self->m_record)) {
                    self->stageDone(false);
                    return;
                }
                if (self->finishStage())
                    self->beginStage();
            },
            Qt::QueuedConnection);
    });
}

void CompletionPipeline::stageDone(bool success)
{
    m_pending.clear();
    m_stages.clear();
    emit ended(success);
}
