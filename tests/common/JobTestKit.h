#pragma once

#include "ScriptedAlertPresenter.h"
#include "foundation/PlatformServices.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <ostream>

enum class JobState : int;
// How a failed assertion prints a job's state: "Finished".
void PrintTo(JobState state, std::ostream* os);

class AppDelegate;
class ConversionJob;

// Fakes of the desktop services that remember what they were asked.
class RecordingNotifier final : public UserNotifier
{
public:
    QList<UserNotification> delivered;
    void deliver(const UserNotification& n) override { delivered.append(n); }
};

class RecordingWorkspace final : public Workspace
{
public:
    QStringList revealed, trashed;
    void revealFile(const QString& path) override { revealed.append(path); }
    bool moveToTrash(const QString& path) override
    {
        trashed.append(path);
        return true;
    }
};

class RecordingSleepInhibitor final : public SleepInhibitor
{
public:
    QSet<quint32> held;
    quint32 next = 1;
    quint32 take(const QString&) override
    {
        held.insert(next);
        return next++;
    }
    void release(quint32 id) override { held.remove(id); }
};

// Stand-ins for ffmpeg and afconvert that run the real tools, except for
// movies whose names ask for something a real tool will not do on demand:
// "Broken" (ffmpeg converting it fails after writing a partial output),
// "Slow" (ffmpeg converts it at the movie's own pace, -re), "EarlySound"
// (ffmpeg's mux stage drops the AAC track's -itsoffset, losing the delay),
// "GapClosed" (the extraction drops its gap filling, so a gap in the sound
// closes up) and "AfconvertFails" (afconvert reads a little of the sound, then fails after
// writing a partial output).
// With VANTREO_TEST_TOOL_LOG set, ffmpeg appends each command line to that
// file. Installs them in a folder named by VANTREO_TOOLS_DIR.
void installFakeTools();

// A job made the way the add panel makes one: probe, destination, track.
ConversionJob* makeJob(const QString& source, const QString& destination, int audioIndex = 0,
                       const std::optional<QString>& subtitleFile = std::nullopt);

// The entries of ~/Documents and of the cache folder (where the progress and
// temporary audio files live); FIFOs included.
QStringList temporaryEntries();
// State letter of a process from /proc/PID/stat ('R', 'S', 'T', 'Z'...);
// 0 when there is no such process.
char processStateLetter(qint64 pid);
// The process no longer exists (kill(pid, 0) fails with ESRCH).
bool processGone(qint64 pid);

// Each test gets the registered defaults, recording services and a queue.
class ConversionTestBase : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;
    // A fresh folder for movies and outputs.
    QString dir() const { return m_dir; }
    // Queues the job and waits for its end; answers its final state (-1
    // when it went away).
    std::optional<JobState> convertToEnd(ConversionJob* job);

    ScriptedAlertPresenter* alerts = nullptr;
    RecordingNotifier* notifier = nullptr;
    RecordingWorkspace* workspace = nullptr;
    RecordingSleepInhibitor* inhibitor = nullptr;
    std::unique_ptr<AppDelegate> delegate;

private:
    QString m_dir;
};
