#include "common/TestSupport.h"
#include "engine/FinishedMarker.h"
#include "shell/LibraryWalk.h"
#include "shell/MovieClaim.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

// The pieces of a library run that decide what is converted: the mark of a
// finished movie, the judgement of a claim found, and where outputs go.

TEST(LibraryParts, MarkRoundTripsAnyNameAndRefusesOtherTexts)
{
    const SourceStamp odd{"Film; Part 2 (1999).de.mkv", 734003200, 1796000000123};
    EXPECT_EQ(parseFinishedMarker(finishedMarkerText(odd, "1.0.0")), odd);
    EXPECT_FALSE(parseFinishedMarker("Lavf59.27.100"));
    EXPECT_FALSE(parseFinishedMarker("Vantreo 1.0; source many bytes, modified x; Film.mkv"));
}

TEST(LibraryParts, ClaimsAreTakenOverOnlyFromTheDeadOfThisHost)
{
    const ClaimHolder self{"here", {"boot-1", 10, 100}};
    const ClaimHolder sameBoot{"here", {"boot-1", 20, 200}};
    const ClaimHolder oldBoot{"here", {"boot-0", 20, 200}};
    const ClaimHolder there{"there", {"boot-9", 20, 200}};
    EXPECT_EQ(judgeClaim(sameBoot, self, true, 0, 3600), ClaimOutcome::HeldHere);
    EXPECT_EQ(judgeClaim(sameBoot, self, false, 0, 3600), ClaimOutcome::Claimed);
    EXPECT_EQ(judgeClaim(oldBoot, self, true, 0, 3600), ClaimOutcome::Claimed);
    EXPECT_EQ(judgeClaim(there, self, false, 60, 3600), ClaimOutcome::HeldElsewhere);
    EXPECT_EQ(judgeClaim(there, self, false, 7200, 3600), ClaimOutcome::AbandonedThere);
    EXPECT_EQ(parseClaim(claimText(there)), there);
    EXPECT_FALSE(parseClaim("host=there\npid=x\n"));

    // A claim of this process is given back; one of another is left alone.
    const QString folder = makeTempDir("library-claims");
    const QString mine = claimPathFor(folder, "Mine.mkv");
    ASSERT_EQ(claimMovie(mine, 3600).outcome, ClaimOutcome::Claimed);
    EXPECT_EQ(claimMovie(mine, 3600).outcome, ClaimOutcome::HeldHere);
    releaseClaim(mine);
    EXPECT_FALSE(QFile::exists(mine));
    const QString theirs = claimPathFor(folder, "Theirs.mkv");
    ASSERT_TRUE(writeBytes(theirs, claimText(there)));
    releaseClaim(theirs);
    EXPECT_TRUE(QFile::exists(theirs));
}

TEST(LibraryParts, OutputsMirrorTheTreeUnderADestination)
{
    EXPECT_EQ(libraryOutputFolder("/lib/Shows/S1/E1.mkv", "/lib/Shows", ""), "/lib/Shows/S1");
    EXPECT_EQ(libraryOutputFolder("/lib/Shows/S1/E1.mkv", "/lib/Shows", "/out"), "/out/S1");
    EXPECT_EQ(libraryOutputFolder("/lib/Shows/E0.mkv", "/lib/Shows", "/out"), "/out");
}
