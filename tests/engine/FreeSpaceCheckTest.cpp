#include "engine/FreeSpaceCheck.h"

#include "common/TestSupport.h"

#include <gtest/gtest.h>

namespace {

constexpr quint64 kGB = 1000000000ull;
const QString kBoot =
    QStringLiteral("There is not enough free space on your boot disk for conversion.");
const QString kTarget =
    QStringLiteral("There is not enough free space on your target disk for conversion.");
const QString kLarge = QStringLiteral("Your target disk doesn't support large files.");

FreeSpaceFigures figures(bool wav, qint64 runtime, quint64 source, quint64 boot, quint64 target)
{
    FreeSpaceFigures f;
    f.aacViaWav = wav;
    f.runtimeSeconds = runtime;
    f.sourceSize = source;
    f.bootFree = boot;
    f.targetFree = target;
    return f;
}

} // namespace

TEST(FreeSpaceCheck, OneVolumeNeedsTheSourceAndTheNewSound)
{
    // A copy job needs only the source size.
    EXPECT_FALSE(freeSpaceRefusal(figures(false, 7200, 5 * kGB, 5 * kGB, 5 * kGB)));
    EXPECT_EQ(freeSpaceRefusal(figures(false, 7200, 5 * kGB, 5 * kGB - 1, 5 * kGB - 1)), kBoot);
    // A two-hour movie in the AAC method: the source plus its new 128 kbit/s
    // track, 115,200,000 bytes; nothing big goes to the cache folder.
    EXPECT_FALSE(freeSpaceRefusal(figures(true, 7200, 1000, 115201000, 115201000)));
    EXPECT_EQ(freeSpaceRefusal(figures(true, 7200, 1000, 115200999, 115200999)), kBoot);
    FreeSpaceFigures high = figures(true, 7200, 1000, 1000 + 7200 * 24000ull, 0);
    high.targetFree = high.bootFree;
    high.aacBitsPerSecond = 192000;
    EXPECT_FALSE(freeSpaceRefusal(high));
    high.bootFree = high.targetFree = 1000 + 7200 * 24000ull - 1;
    EXPECT_EQ(freeSpaceRefusal(high), kBoot);
}

TEST(FreeSpaceCheck, DifferentVolumesAreCheckedApart)
{
    // Everything goes on the target disk; the cache folder's needs nothing.
    const quint64 needed = 5 * kGB + 7200 * 16000ull;
    EXPECT_FALSE(freeSpaceRefusal(figures(true, 7200, 5 * kGB, 1, needed)));
    EXPECT_EQ(freeSpaceRefusal(figures(true, 7200, 5 * kGB, 50 * kGB, needed - 1)), kTarget);
    EXPECT_EQ(freeSpaceRefusal(figures(false, 7200, 5 * kGB, 1, 5 * kGB - 1)), kTarget);
}

TEST(FreeSpaceCheck, AudioTracksEncodedForTheUsersLanguagesNeedRoomOnTheTarget)
{
    // Two hours of two 128 kbit/s tracks: 2 * 7200 * 16000 bytes beside the source.
    const quint64 encoded = 2 * 7200 * 16000ull;
    FreeSpaceFigures f = figures(false, 7200, 5 * kGB, 5 * kGB + encoded, 5 * kGB + encoded);
    f.encodedTracks = 2;
    EXPECT_FALSE(freeSpaceRefusal(f));
    f.bootFree = f.targetFree = 5 * kGB + encoded - 1;
    EXPECT_EQ(freeSpaceRefusal(f), kBoot);
    f.bootFree = 50 * kGB;
    EXPECT_EQ(freeSpaceRefusal(f), kTarget);
    f.aacBitsPerSecond = 96000; // 12000 bytes a second
    EXPECT_FALSE(freeSpaceRefusal(f));
    // Copied tracks are part of the source: the source size stays enough.
    f = figures(false, 7200, 5 * kGB, 5 * kGB, 5 * kGB);
    EXPECT_FALSE(freeSpaceRefusal(f));
}

TEST(FreeSpaceCheck, LargeFilesAfterSpace)
{
    FreeSpaceFigures f = figures(false, 7200, 5 * kGB, 100 * kGB, 200 * kGB);
    f.volumeMaximum = (quint64(1) << 32) - 1;
    EXPECT_EQ(freeSpaceRefusal(f), kLarge);
    f.sourceSize = 4 * kGB;
    EXPECT_FALSE(freeSpaceRefusal(f));
    f.sourceSize = 5 * kGB;
    f.volumeMaximum.reset();
    EXPECT_FALSE(freeSpaceRefusal(f));
    // Too full and too limited: the space message wins.
    f.volumeMaximum = (quint64(1) << 32) - 1;
    f.targetFree = kGB;
    EXPECT_EQ(freeSpaceRefusal(f), kTarget);
}

TEST(FreeSpaceCheck, VolumeQueries)
{
    const QString dir = makeTempDir("space");
    EXPECT_GT(freeSpaceOf(dir), 0u);
    EXPECT_EQ(freeSpaceOf(dir + "/missing"), 0u);
    EXPECT_EQ(freeSpaceOf(""), 0u);
    EXPECT_FALSE(volumeMaximumFileSize(dir + "/missing"));
    // Local Linux file systems take files far beyond 4 GiB.
    const std::optional<quint64> max = volumeMaximumFileSize(dir);
    if (max) {
        EXPECT_GT(*max, quint64(1) << 32);
    }
    EXPECT_TRUE(checkFreeSpace(false, 10, 1000, dir + "/out.mp4"));
}
