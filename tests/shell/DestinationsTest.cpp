#include "shell/Destinations.h"

#include "ShellTestKit.h"
#include "common/TestSupport.h"
#include "engine/ConversionJob.h"
#include "foundation/SettingsAccess.h"
#include "foundation/SettingsKeys.h"
#include "shell/AddPanelState.h"
#include "shell/AppDelegate.h"
#include "shell/DestinationPopUp.h"
#include "shell/FolderBookmarks.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

// The destination pop-ups, the choose command and the launch upkeep.

using Kind = DestinationPopUpItem::Kind;

namespace {

QList<Kind> kinds(const QList<DestinationPopUpItem>& items)
{
    QList<Kind> out;
    for (const auto& item : items)
        out.append(item.kind);
    return out;
}

TEST(DestinationPopUpLayout, FixedItemsAndSavedNames)
{
    const auto empty = destinationPopUpLayout({}, 1);
    EXPECT_EQ(kinds(empty), QList<Kind>({Kind::Ask, Kind::Separator, Kind::Choose}));
    EXPECT_EQ(empty[0].title, "Ask for Every Movie");
    EXPECT_EQ(empty[2].title, QString::fromUtf8("Choose\u2026"));
    EXPECT_EQ(empty[2].tag, 1);

    const auto two = destinationPopUpLayout({"Movies", "Backup"}, 0);
    EXPECT_EQ(kinds(two), QList<Kind>({Kind::Ask, Kind::Separator, Kind::Destination,
                                       Kind::Destination, Kind::Separator, Kind::Choose}));
    EXPECT_EQ(two[2].title, "Movies");
    EXPECT_EQ(two[3].title, "Backup");
    EXPECT_EQ(two[5].tag, 0);

    // Only 2 .. n+1 are destinations.
    EXPECT_FALSE(savedDestinationAt(0, 2));
    EXPECT_FALSE(savedDestinationAt(1, 2));
    EXPECT_EQ(savedDestinationAt(2, 2), 0);
    EXPECT_EQ(savedDestinationAt(3, 2), 1);
    EXPECT_FALSE(savedDestinationAt(4, 2));
    EXPECT_FALSE(savedDestinationAt(5, 2));
    EXPECT_FALSE(savedDestinationAt(-1, 2));
}

TEST(DestinationUpkeep, DefaultDestinationIsClamped)
{
    EXPECT_EQ(correctedDefaultDestination(5, 1), 2);
    EXPECT_EQ(correctedDefaultDestination(5, 0), 0); // clamped to 1, then the separator
    EXPECT_EQ(correctedDefaultDestination(1, 3), 0);
    EXPECT_EQ(correctedDefaultDestination(3, 2), 3);
    EXPECT_EQ(correctedDefaultDestination(0, 0), 0);
    // Negative reads as a huge unsigned number.
    EXPECT_EQ(correctedDefaultDestination(-1, 2), 3);
}

TEST(DestinationUpkeep, UnusableEntriesLeaveBothListsParallel)
{
    const auto usable = [](const QByteArray& b) { return !b.startsWith("gone"); };
    const SavedDestinations kept = keepUsableDestinations({"/a", "gone1", "/b", "gone1", "/c"},
                                                          {"A", "G1", "B", "G2", "C"}, usable);
    EXPECT_EQ(kept.bookmarks, QList<QByteArray>({"/a", "/b", "/c"}));
    EXPECT_EQ(kept.names, QStringList({"A", "B", "C"}));
    // A shorter names list still comes out parallel.
    const SavedDestinations padded = keepUsableDestinations({"/x/Movies", "/y"}, {"M"}, usable);
    EXPECT_EQ(padded.names, QStringList({"M", "y"}));
}

TEST(FolderBookmarksTest, ResolveOnlyExistingFolders)
{
    const QString folder = makeTempDir("bookmarked");
    const auto bookmark = bookmarkForFolder(folder + "/");
    ASSERT_TRUE(bookmark);
    EXPECT_EQ(*bookmark, QDir::cleanPath(folder).toUtf8());
    EXPECT_EQ(resolveBookmark(*bookmark), QDir::cleanPath(folder));
    EXPECT_TRUE(isUsableBookmark(*bookmark));
    QString error;
    EXPECT_FALSE(bookmarkForFolder(folder + "/missing", &error));
    EXPECT_FALSE(error.isEmpty());
    ASSERT_TRUE(QDir(folder).removeRecursively());
    EXPECT_FALSE(resolveBookmark(*bookmark));
    EXPECT_FALSE(isUsableBookmark(*bookmark));
    EXPECT_FALSE(resolveBookmark("relative/path"));
}

// Local to this file: the shell has a class of the same name.
class Destinations : public ShellTest
{
};

TEST_F(Destinations, LaunchUpkeepDropsUnusableFolders)
{
    const QString kept = makeTempDir("kept");
    saveDestinations({dir() + "/gone-a", kept, dir() + "/gone-b"});
    setDefaultInt(kDefaultDestinationKey, 5);
    delegate->destinations().upkeepAtLaunch();
    EXPECT_EQ(defaultDataList(kDestinationBookmarksKey), QList<QByteArray>({kept.toUtf8()}));
    EXPECT_EQ(defaultStringList(kDestinationNamesKey), QStringList({QFileInfo(kept).fileName()}));
    EXPECT_EQ(defaultInt(kDefaultDestinationKey), 2);
    EXPECT_EQ(delegate->destinations().preferencesDestinationPopUpItems().size(), 5);
    EXPECT_EQ(delegate->destinations().preferencesDestinationPopUpIndex(), 2);

    QDir(kept).removeRecursively();
    delegate->destinations().upkeepAtLaunch();
    EXPECT_TRUE(defaultDataList(kDestinationBookmarksKey).isEmpty());
    EXPECT_TRUE(defaultStringList(kDestinationNamesKey).isEmpty());
    EXPECT_EQ(defaultInt(kDefaultDestinationKey), 0);
    EXPECT_EQ(delegate->destinations().preferencesDestinationPopUpItems().size(), 3);
    EXPECT_EQ(delegate->destinations().preferencesDestinationPopUpIndex(), 0);
}

TEST_F(Destinations, ChoosingFromPreferencesSelectsAndStoresTheNewFolder)
{
    saveDestinations({makeTempDir("one"), makeTempDir("two")});
    delegate->destinations().upkeepAtLaunch();
    delegate->rebuildDestinationPopUp();
    int changes = 0;
    QObject::connect(&delegate->destinations(), &::Destinations::preferencesDestinationPopUpChanged,
                     [&] { ++changes; });

    // A cancelled folder dialog changes nothing.
    delegate->chooseNewDestination(0, QString());
    EXPECT_EQ(changes, 0);

    const QString third = makeTempDir("third");
    delegate->chooseNewDestination(0, third);
    const auto items = delegate->destinations().preferencesDestinationPopUpItems();
    ASSERT_EQ(items.size(), 7);
    EXPECT_EQ(items[4].title, QFileInfo(third).fileName());
    EXPECT_EQ(delegate->destinations().preferencesDestinationPopUpIndex(), 4);
    EXPECT_EQ(defaultInt(kDefaultDestinationKey), 4);
    EXPECT_EQ(defaultDataList(kDestinationBookmarksKey).last(), third.toUtf8());
    EXPECT_GE(changes, 1);

    // A folder that is gone by now: only a log line, nothing stored.
    delegate->chooseNewDestination(0, dir() + "/vanished");
    EXPECT_EQ(defaultDataList(kDestinationBookmarksKey).size(), 3);
}

TEST_F(Destinations, ChoosingFromTheAddPanelLeavesTheDefaultAlone)
{
    saveDestinations({makeTempDir("one"), makeTempDir("two")});
    setDefaultInt(kDefaultDestinationKey, 2);
    delegate->destinations().upkeepAtLaunch();
    delegate->rebuildDestinationPopUp();
    EXPECT_EQ(delegate->destinations().destinationPopUpIndex(), 2);

    const QString fresh = makeTempDir("fresh");
    delegate->chooseNewDestination(1, fresh);
    const auto items = delegate->destinations().destinationPopUpItems();
    ASSERT_EQ(items.size(), 7);
    EXPECT_EQ(delegate->destinations().destinationPopUpIndex(), int(items.size()) - 3);
    EXPECT_EQ(items[delegate->destinations().destinationPopUpIndex()].title,
              QFileInfo(fresh).fileName());
    EXPECT_EQ(items.last().tag, 1);
    EXPECT_EQ(defaultInt(kDefaultDestinationKey), 2);
    // The preferences pop-up lists the new folder too.
    EXPECT_EQ(delegate->destinations().preferencesDestinationPopUpItems().size(), 7);
}

TEST_F(Destinations, PreferencesSelectionBecomesTheDefault)
{
    saveDestinations({makeTempDir("one")});
    delegate->destinations().upkeepAtLaunch();
    delegate->destinations().setPreferencesDestinationPopUpIndex(2);
    EXPECT_EQ(defaultInt(kDefaultDestinationKey), 2);
    // The trailing command item is no default.
    delegate->destinations().setPreferencesDestinationPopUpIndex(4);
    EXPECT_EQ(defaultInt(kDefaultDestinationKey), 2);
    delegate->destinations().setPreferencesDestinationPopUpIndex(0);
    EXPECT_EQ(defaultInt(kDefaultDestinationKey), 0);
}

TEST_F(Destinations, MovieQueuedWithIndexThreeGoesToTheSecondFolder)
{
    const QString first = makeTempDir("first");
    const QString second = makeTempDir("second");
    saveDestinations({first, second});
    delegate->destinations().upkeepAtLaunch();

    delegate->openFiles({movie("Film.mkv")});
    ASSERT_TRUE(waitForProbe());
    ASSERT_EQ(delegate->destinations().destinationPopUpItems().size(), 6);
    delegate->destinations().setDestinationPopUpIndex(3);
    delegate->addToQueue();
    ASSERT_EQ(delegate->taskArray().size(), 1);
    EXPECT_EQ(delegate->taskArray()[0]->destinationPath(), second + "/Film.mp4");
    EXPECT_FALSE(delegate->addPanelState().addPanelShown());

    // The same movie again into the same folder: another name, although the
    // first output may not exist yet.
    delegate->openFiles({dir() + "/Film.mkv"});
    ASSERT_TRUE(waitForProbe());
    delegate->destinations().setDestinationPopUpIndex(3);
    delegate->addToQueue();
    ASSERT_EQ(delegate->taskArray().size(), 2);
    EXPECT_EQ(delegate->taskArray()[1]->destinationPath(), second + "/Film-0.mp4");
    ASSERT_TRUE(waitForQueue());
    EXPECT_TRUE(QFileInfo::exists(second + "/Film.mp4"));
    EXPECT_TRUE(QFileInfo::exists(second + "/Film-0.mp4"));
}

TEST_F(Destinations, SavedFolderGoneSinceLaunchIsRefused)
{
    const QString folder = makeTempDir("soon-gone");
    saveDestinations({folder});
    delegate->destinations().upkeepAtLaunch();
    delegate->openFiles({movie("Film.mkv")});
    ASSERT_TRUE(waitForProbe());
    delegate->destinations().setDestinationPopUpIndex(2);
    QDir(folder).removeRecursively();
    delegate->addToQueue();
    EXPECT_TRUE(delegate->taskArray().isEmpty());
    ASSERT_EQ(alerts->shown.size(), 1);
    EXPECT_TRUE(alerts->shown[0].message.startsWith("You don't seem to have write access"));
    EXPECT_FALSE(delegate->addPanelState().addPanelShown());
}

} // namespace
