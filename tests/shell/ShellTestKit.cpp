#include "ShellTestKit.h"

#include "common/MovieFactory.h"
#include "common/TestSupport.h"
#include "engine/ConversionJob.h"
#include "engine/JobState.h"
#include "foundation/SettingsAccess.h"
#include "foundation/SettingsKeys.h"
#include "foundation/SettingsStore.h"
#include "shell/AppDelegate.h"
#include "shell/FolderBookmarks.h"

#include <QFileInfo>

void ShellTest::SetUp()
{
    ConversionTestBase::SetUp();
    // Tests of one executable may share a process (and settings file) when
    // run without CTest.
    for (const char* key : {kDestinationBookmarksKey, kDestinationNamesKey, kDefaultDestinationKey,
                            kAutoAddKey, kDefaultExtensionKey, kWelcomeShownKey})
        SettingsStore::instance().removeValue(key);
}

void ShellTest::TearDown()
{
    waitForQueue();
    ConversionTestBase::TearDown();
}

QString ShellTest::movie(const QString& name, bool noAudio)
{
    MovieRecipe movie;
    movie.path = dir() + "/" + name;
    movie.seconds = 1;
    if (!noAudio)
        movie.audio = {AudioRecipe{}};
    EXPECT_TRUE(makeMovie(movie)) << name.toStdString();
    return movie.path;
}

void ShellTest::saveDestinations(const QStringList& folders)
{
    QVariantList bookmarks, names;
    for (const QString& folder : folders) {
        bookmarks.append(bookmarkForFolder(folder).value_or(folder.toUtf8()));
        names.append(QFileInfo(folder).fileName());
    }
    setDefaultArray(kDestinationBookmarksKey, bookmarks);
    setDefaultArray(kDestinationNamesKey, names);
}

bool ShellTest::waitForProbe()
{
    return waitUntil([&] { return delegate->fileInfo() && !delegate->isScanning(); });
}

bool ShellTest::waitForQueue()
{
    if (!delegate)
        return true;
    return waitUntil([&] {
        for (const ConversionJob* job : delegate->taskArray())
            if (job->state() != JobFinished && job->state() != JobFailed)
                return false;
        return true;
    });
}
