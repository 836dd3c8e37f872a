#include "shell/SavedQueue.h"

#include "ShellTestKit.h"
#include "common/TestSupport.h"
#include "engine/JobState.h"
#include "foundation/SettingsAccess.h"
#include "foundation/SettingsKeys.h"
#include "shell/AppDelegate.h"
#include "shell/JobQueue.h"
#include "shell/QueueRestore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

// The saved queue's file: what it keeps of each job, and what happens to a
// file that cannot be read.

namespace {

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TEST(SavedQueue, RoundTripKeepsEveryField)
{
    SavedJob waiting;
    waiting.moviePath = "/movies/Film ä.mkv";
    waiting.destinationPath = "/out/Film ä.m4v";
    waiting.accessFolder = "/out";
    waiting.audioTrackIndex = 2;
    waiting.subtitleFiles = {{"/movies/Film.de.forced.srt", "ger", true, false},
                             {"/movies/Film.en.sdh.srt", "eng", false, true}};
    waiting.pictureSubtitleFiles = {{"/movies/Film.en.idx", "eng", true, false}};
    waiting.subtitleChoice = QStringList{"stream:3", "file:/movies/Film.en.idx"};
    ConversionSettings settings;
    settings.keepForcedSubtitles = 0;
    settings.conversionPreset = 2;
    settings.aacBitrate = 3;
    settings.streamableOutput = 0;
    settings.keepLanguageAudio = 1;
    settings.extraLanguages = "jpn, fr";
    // A handling without a registered default is kept too.
    settings.custom.insert("CustomDTSHandling", 1);
    waiting.settings = settings;
    waiting.state = JobQueued;
    waiting.rawNames.insert(waiting.moviePath, QByteArray("/movies/Film \xe4.mkv"));
    waiting.fastmode = true;

    SavedJob failed;
    failed.moviePath = "/movies/Broken.mkv";
    failed.destinationPath = "/out/Broken.mp4";
    failed.state = JobFailed;
    failed.fileName = "Broken.mkv";
    failed.summary = "160x120, 0:02 (h264, aac)";
    failed.audioTracks = {"#1: eng (aac)", "#2: ger (ac3) [5.1]"};
    failed.outcome.progress = 37.5f;
    failed.outcome.startDate = QDateTime::fromMSecsSinceEpoch(1700000000123);
    failed.outcome.stopDate = QDateTime::fromMSecsSinceEpoch(1700000065456);
    failed.outcome.arguments = {"-i", "/movies/Broken.mkv", "/out/.Broken.mp4.partial"};
    failed.outcome.output = "Invalid data found when processing input";
    failed.outcome.explanation = FailureExplanation{"Information", "A problem prevented…",
                                                    "Send to support", "Cancel", true};

    SavedJob finished = failed;
    finished.state = JobFinished;
    finished.outcome.explanation.reset();
    finished.outcome.completionWarning = "Film.mkv ends early";

    const QByteArray text = savedQueueText({waiting, failed, finished});
    const auto back = parseSavedQueue(text);
    ASSERT_TRUE(back);
    ASSERT_EQ(back->size(), 3);
    // Written again, the jobs read back give the same text: nothing is lost
    // on the way.
    EXPECT_EQ(savedQueueText(*back), text);

    // And the values are where they belong (both directions forgetting a
    // field would pass the check above).
    const SavedJob& w = back->at(0);
    EXPECT_EQ(w.moviePath, waiting.moviePath);
    EXPECT_EQ(w.destinationPath, waiting.destinationPath);
    EXPECT_EQ(w.audioTrackIndex, 2u);
    EXPECT_EQ(w.subtitleFiles, waiting.subtitleFiles);
    EXPECT_EQ(w.pictureSubtitleFiles, waiting.pictureSubtitleFiles);
    EXPECT_EQ(w.subtitleChoice, waiting.subtitleChoice);
    EXPECT_FALSE(failed.subtitleChoice || back->at(1).subtitleChoice);
    ASSERT_TRUE(w.settings);
    EXPECT_EQ(w.settings->streamableOutput, 0);
    EXPECT_EQ(w.settings->keepForcedSubtitles, 0);
    EXPECT_EQ(w.settings->extraLanguages, "jpn, fr");
    EXPECT_EQ(w.settings->custom, settings.custom);
    EXPECT_EQ(w.rawNames, waiting.rawNames);
    EXPECT_FALSE(back->at(1).settings);
    const JobOutcome& f = back->at(1).outcome;
    EXPECT_EQ(back->at(1).state, JobFailed);
    EXPECT_EQ(f.stopDate, failed.outcome.stopDate);
    ASSERT_TRUE(f.explanation);
    EXPECT_EQ(f.explanation->message, "A problem prevented…");
    EXPECT_EQ(back->at(2).outcome.completionWarning, "Film.mkv ends early");

    EXPECT_EQ(QueueRestore::noticeText(1),
              "1 movie from your last session is waiting; press Continue to convert it.");
    EXPECT_EQ(QueueRestore::noticeText(0), "");
}

TEST(SavedQueue, TextsThatAreNoSavedQueueAreRefused)
{
    const QByteArray job = R"("movie":"/m/A.mkv","destination":"/o/A.mp4")";
    for (const QByteArray& text : QList<QByteArray>{
             "", "{", "[]", R"({"version":1})", R"({"version":2,"jobs":[]})",
             R"({"version":1,"jobs":[5]})", "{\"version\":1,\"jobs\":[{" + job + "}]}",
             "{\"version\":1,\"jobs\":[{" + job + ",\"state\":\"Queued\"}]}",
             "{\"version\":1,\"jobs\":[{" + job + ",\"state\":7}]}",
             "{\"version\":1,\"jobs\":[{" + job + ",\"state\":0,\"audioTrack\":-1}]}",
             "{\"version\":1,\"jobs\":[{" + job + ",\"state\":0,\"audioTrack\":1.5}]}",
             "{\"version\":1,\"jobs\":[{" + job + ",\"state\":0,\"subtitleFiles\":{}}]}",
             "{\"version\":1,\"jobs\":[{" + job +
                 ",\"state\":0,\"settings\":{\"AACBitrate\":\"1\"}}]}",
             "{\"version\":1,\"jobs\":[{" + job + ",\"state\":4,\"started\":\"yesterday\"}]}",
             R"({"version":1,"jobs":[{"movie":"A.mkv","destination":"/o/A.mp4","state":0}]})"})
        EXPECT_FALSE(parseSavedQueue(text)) << text.constData();
    const auto minimal = parseSavedQueue("{\"version\":1,\"jobs\":[{" + job + ",\"state\":0}]}");
    ASSERT_TRUE(minimal);
    ASSERT_EQ(minimal->size(), 1);
    EXPECT_FALSE(minimal->at(0).settings);
}

class SavedQueueFile : public ShellTest
{
};

// A damaged saved queue is set aside (an older one it replaces) and the
// desktop starts with an empty, running queue, which it saves again.
TEST_F(SavedQueueFile, DamagedFileIsSetAsideAndTheQueueStartsEmpty)
{
    setDefaultInt(kWelcomeShownKey, 1);
    const QString path = savedQueuePath();
    const QByteArray damaged = R"({"version":1,"jobs":[{"movie":true}]})";
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
    ASSERT_TRUE(writeBytes(path, damaged));
    ASSERT_TRUE(writeBytes(path + ".bad", "an older damaged queue"));

    delegate->applicationDidFinishLaunching();
    EXPECT_TRUE(delegate->taskArray().isEmpty());
    EXPECT_FALSE(delegate->queue().paused());
    EXPECT_EQ(delegate->statusNotice(), "");
    EXPECT_EQ(fileBytes(path + ".bad"), damaged);
    EXPECT_FALSE(QFile::exists(path));

    // The queue is saved from then on.
    const QString film = movie("Film.mkv");
    EXPECT_TRUE(delegate->addJob(makeJob(film, dir() + "/Film.mp4")));
    ASSERT_TRUE(waitUntil([&] { return QFile::exists(path); }));
    ASSERT_TRUE(waitForQueue());
    ASSERT_TRUE(waitUntil([&] {
        const auto saved = parseSavedQueue(fileBytes(path));
        return saved && saved->size() == 1 && saved->at(0).state == JobFinished;
    }));
    EXPECT_EQ(parseSavedQueue(fileBytes(path))->at(0).moviePath, film);

    // Without a file nothing is set aside.
    QFile::remove(path);
    QFile::remove(path + ".bad");
    AppDelegate second;
    second.applicationDidFinishLaunching();
    EXPECT_TRUE(second.taskArray().isEmpty());
    EXPECT_FALSE(QFile::exists(path + ".bad"));
}
