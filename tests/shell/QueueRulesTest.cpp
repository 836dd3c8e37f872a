#include "common/JobTestKit.h"
#include "common/TestSupport.h"
#include "engine/ConversionJob.h"
#include "engine/JobFactory.h"
#include "engine/JobState.h"
#include "foundation/SettingsAccess.h"
#include "foundation/SettingsKeys.h"
#include "shell/AppDelegate.h"
#include "shell/JobQueue.h"

#include <QCoreApplication>
#include <QFile>
#include <QPointer>
#include <algorithm>
#include <gtest/gtest.h>

// The queue's rules with jobs whose one stage is a stand-in tool (sleep, or
// false for a failure) instead of ffmpeg: the real queue, jobs and pipeline,
// only the conversion's tool is another.

namespace {

class QueueRules : public ConversionTestBase
{
protected:
    JobQueue& queue() const { return delegate->queue(); }

    // A job whose conversion runs `tool` with `arguments`; with settings
    // given it converts with them, else with the store's when queued.
    ConversionJob* standIn(const QString& name, const QString& tool, const QStringList& arguments,
                           const std::optional<ConversionSettings>& settings = std::nullopt)
    {
        const QString source = dir() + "/" + name + ".mkv";
        QFile file(source);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write("movie") == 5);
        auto info = std::make_shared<MKVFileInfo>();
        info->setFileURL(QUrl::fromLocalFile(source));
        info->setFileName(name + ".mkv");
        info->setDestinationURL(QUrl::fromLocalFile(dir() + "/" + name + ".mp4"));
        info->setRuntimeSeconds(1);
        info->setFileSize(5);
        ConversionStage stage;
        stage.conversionProcess = true;
        stage.commands = [tool, arguments](JobRecord&) {
            return QList<ToolCommand>{{tool, arguments, 0}};
        };
        stage.toolEnded = [](JobRecord&, int status, const QString&) { return status == 0; };
        JobRequest request;
        request.fileInfo = info;
        request.settings = settings;
        ConversionJob* job = makeConversionJob(request);
        job->setStages({stage});
        return job;
    }
    // A stage that runs `script` in sh with `arguments` ($0, $1, ...).
    static ConversionStage shell(const QString& script, const QStringList& arguments)
    {
        ConversionStage stage;
        stage.commands = [script, arguments](JobRecord&) {
            return QList<ToolCommand>{{"sh", QStringList{"-c", script} + arguments, 0}};
        };
        stage.toolEnded = [](JobRecord&, int status, const QString&) { return status == 0; };
        return stage;
    }
    ConversionJob* sleeper(const QString& name, double seconds,
                           const std::optional<ConversionSettings>& settings = std::nullopt)
    {
        return standIn(name, "sleep", {QString::number(seconds)}, settings);
    }

    QList<QPointer<ConversionJob>> addAll(const QList<ConversionJob*>& jobs)
    {
        QList<QPointer<ConversionJob>> added;
        for (ConversionJob* job : jobs) {
            added.append(job);
            EXPECT_TRUE(queue().addJob(job));
        }
        return added;
    }

    // The states of the jobs, in list order (Failed for a job gone).
    static QList<JobState> states(const QList<QPointer<ConversionJob>>& jobs)
    {
        QList<JobState> out;
        for (const QPointer<ConversionJob>& job : jobs)
            out.append(job ? job->state() : JobFailed);
        return out;
    }

    static bool ended(const QList<QPointer<ConversionJob>>& jobs)
    {
        return std::all_of(jobs.begin(), jobs.end(), [](const QPointer<ConversionJob>& job) {
            return !job || job->state() == JobFinished || job->state() == JobFailed;
        });
    }

    // Follows which jobs start, in order, and the most converting at once.
    void watch(const QList<QPointer<ConversionJob>>& jobs)
    {
        for (qsizetype i = 0; i < jobs.size(); ++i)
            QObject::connect(jobs.at(i), &ConversionJob::stateChanged, jobs.at(i),
                             [this, i](JobState state) {
                                 if (state == JobConverting)
                                     started.append(int(i));
                                 most = std::max(most, queue().jobCountWithState(JobConverting));
                             });
    }

    QList<int> started;
    qint64 most = 0;
    QObject control; // the sender of the pause/resume command
};

} // namespace

TEST_F(QueueRules, StartsTheNextInOrderOneAtATime)
{
    const auto jobs = addAll(
        {sleeper("A", 0.2), sleeper("B", 0.2), standIn("C", "false", {}), sleeper("D", 0.2)});
    watch(jobs);
    EXPECT_EQ(states(jobs), (QList<JobState>{JobConverting, JobQueued, JobQueued, JobQueued}));
    ASSERT_TRUE(waitUntil([&] { return ended(jobs); }, 20000));
    // A failed job does not stop the queue; the one after it still starts.
    EXPECT_EQ(states(jobs), (QList<JobState>{JobFinished, JobFinished, JobFailed, JobFinished}));
    EXPECT_EQ(started, (QList<int>{1, 2, 3})) << "the first started before it was watched";
    EXPECT_EQ(most, 1);
}

TEST_F(QueueRules, PausingPausesAllAndContinuingResumesThemFirst)
{
    queue().setMaxConverting(2);
    const auto jobs = addAll({sleeper("A", 30), sleeper("B", 30), sleeper("C", 30)});
    ASSERT_EQ(states(jobs), (QList<JobState>{JobConverting, JobConverting, JobQueued}));
    ASSERT_TRUE(waitUntil([&] { return jobs[0]->processId() > 0 && jobs[1]->processId() > 0; }));

    delegate->pauseContinueClicked(&control);
    EXPECT_TRUE(queue().paused());
    EXPECT_EQ(states(jobs), (QList<JobState>{JobPaused, JobPaused, JobQueued}));
    EXPECT_TRUE(waitUntil([&] { return processStateLetter(jobs[0]->processId()) == 'T'; }));
    // Nothing starts while paused: not a job added, nor one after a removal.
    const auto late = addAll({sleeper("D", 30)});
    jobs[0]->remove();
    EXPECT_EQ(states({jobs[1], jobs[2], late[0]}),
              (QList<JobState>{JobPaused, JobQueued, JobQueued}));
    // Without a sender (a job continued on its own) the pause only ends.
    delegate->pauseContinueClicked(nullptr);
    EXPECT_FALSE(queue().paused());
    EXPECT_EQ(states({jobs[1], jobs[2], late[0]}),
              (QList<JobState>{JobPaused, JobQueued, JobQueued}));

    delegate->pauseContinueClicked(&control); // pauses again: nothing converts
    delegate->pauseContinueClicked(&control); // continues: the paused job, then the next
    EXPECT_EQ(states({jobs[1], jobs[2], late[0]}),
              (QList<JobState>{JobConverting, JobConverting, JobQueued}));
    EXPECT_TRUE(waitUntil([&] { return processStateLetter(jobs[1]->processId()) != 'T'; }));
}

TEST_F(QueueRules, CleaningRemovesOnlyFinishedJobsAndAutoCleanRemovesThemAtOnce)
{
    const auto jobs = addAll({sleeper("A", 0), standIn("B", "false", {}), sleeper("C", 30)});
    ASSERT_TRUE(waitUntil([&] { return ended({jobs[0], jobs[1]}); }));
    ASSERT_EQ(states(jobs), (QList<JobState>{JobFinished, JobFailed, JobConverting}));
    delegate->cleanClicked();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(jobs[0]) << "the queue deletes the job it removes";
    EXPECT_EQ(queue().taskArray(), (QList<ConversionJob*>{jobs[1], jobs[2]}));

    // AutoClean as the job was queued, not as the store says by its end.
    ConversionSettings clean = ConversionSettings::fromStore();
    clean.autoClean = 1;
    jobs[2]->remove();
    const auto more = addAll({sleeper("D", 0, clean), sleeper("E", 0)});
    setDefaultInt(kAutoCleanKey, 1);
    ASSERT_TRUE(waitUntil([&] { return ended(more); }));
    EXPECT_EQ(queue().taskArray(), (QList<ConversionJob*>{jobs[1], more[1]}));
}

TEST_F(QueueRules, QuitsOnceWhenTheLastJobWhoseSettingsAskItEnds)
{
    int quits = 0;
    QObject::connect(&queue(), &JobQueue::terminateRequested, [&quits] { ++quits; });
    ConversionSettings quitting = ConversionSettings::fromStore();
    quitting.quitAfterConversion = 1;
    const auto jobs = addAll({sleeper("A", 0.2, quitting), sleeper("B", 0.2, quitting)});
    ASSERT_TRUE(waitUntil([&] { return jobs[0]->state() == JobFinished; }));
    EXPECT_EQ(quits, 0) << "the next job converts";
    ASSERT_TRUE(waitUntil([&] { return ended(jobs); }));
    EXPECT_TRUE(waitUntil([&] { return quits == 1; }));

    // The store asking for it later does not change a queued job's mind.
    setDefaultInt(kQuitAfterConversionKey, 0);
    const auto kept = addAll({sleeper("C", 0)});
    setDefaultInt(kQuitAfterConversionKey, 1);
    ASSERT_TRUE(waitUntil([&] { return ended(kept); }));
    EXPECT_EQ(quits, 1);
}

TEST_F(QueueRules, SeveralAtOnceKeepEveryPlaceFilledInOrder)
{
    queue().setMaxConverting(2);
    const auto jobs =
        addAll({sleeper("A", 0.3), sleeper("B", 0.6), sleeper("C", 0.3), sleeper("D", 0.3)});
    watch(jobs);
    EXPECT_EQ(states(jobs), (QList<JobState>{JobConverting, JobConverting, JobQueued, JobQueued}));
    ASSERT_TRUE(waitUntil([&] { return ended(jobs); }, 20000));
    EXPECT_EQ(states(jobs), QList<JobState>(4, JobFinished));
    EXPECT_EQ(started, (QList<int>{2, 3}));
    EXPECT_EQ(most, 2);
}

// A stage that starts early runs beside the stages before it (the first
// waits for a file only the early one makes), is judged once they are done,
// pauses and continues with the job, and ends with it.
TEST_F(QueueRules, AnEarlyStageRunsBesideTheStagesBeforeItAndEndsWithTheJob)
{
    const QString mark = dir() + "/early-began";
    const QString pidFile = dir() + "/early.pid";
    QString heard;
    ConversionStage early =
        shell("echo $$ > \"$1\"; : > \"$0\"; sleep \"$2\"; echo early", {mark, pidFile, "0.3"});
    early.startsEarly = true;
    early.toolEnded = [&heard](JobRecord&, int status, const QString& output) {
        heard = output.trimmed();
        return status == 0;
    };
    const ConversionStage waiting =
        shell("i=0; while [ ! -e \"$0\" ] && [ $i -lt 200 ]; do sleep 0.05; i=$((i+1)); done; "
              "[ -e \"$0\" ]",
              {mark});
    ConversionJob* job = standIn("Early", "true", {});
    job->setStages({waiting, early});
    EXPECT_EQ(convertToEnd(job), JobFinished);
    EXPECT_EQ(heard, "early");

    // Paused and continued with the job, ended when it is removed.
    QFile::remove(mark);
    QFile::remove(pidFile);
    early = shell("echo $$ > \"$1\"; exec sleep 30", {mark, pidFile});
    early.startsEarly = true;
    ConversionJob* second = standIn("Late", "true", {});
    second->setStages({shell("exec sleep 30", {}), early});
    const QPointer<ConversionJob> added = second;
    ASSERT_TRUE(queue().addJob(second));
    ASSERT_TRUE(waitUntil([&] { return QFile(pidFile).size() > 0; }, 10000));
    QFile file(pidFile);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const pid_t pid = pid_t(file.readAll().trimmed().toLongLong());
    ASSERT_GT(pid, 0);
    const auto state = [pid] {
        QFile stat(QString("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            return QChar();
        const QByteArray text = stat.readAll();
        return QChar(text.at(text.lastIndexOf(')') + 2));
    };
    added->pause();
    EXPECT_TRUE(waitUntil([&] { return state() == 'T'; }, 10000));
    added->continueJob();
    EXPECT_TRUE(waitUntil([&] { return state() != 'T'; }, 10000));
    added->remove();
    EXPECT_TRUE(waitUntil([&] { return state().isNull() || state() == 'Z'; }, 10000))
        << "the early run was left behind";
}
