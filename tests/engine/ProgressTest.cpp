#include "common/TestSupport.h"
#include "engine/ProgressCalc.h"
#include "engine/ProgressFileReader.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

constexpr qint64 kHundredMinutes = 6000;

void append(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::Append));
    f.write(bytes);
}

} // namespace

TEST(ProgressCalc, LatestOutTimeDecides)
{
    EXPECT_EQ(latestOutTimeSeconds("frame=10\nout_time_ms=3000000000\nprogress=continue\n"),
              3000.0);
    EXPECT_EQ(latestOutTimeSeconds("out_time_ms=1000000\nprogress=continue\r\n"
                                   "out_time_ms=2500000\nout_time=00:00:02.500000\n"),
              2.5);
    EXPECT_FALSE(latestOutTimeSeconds("frame=10\nprogress=continue\n"));
    EXPECT_FALSE(latestOutTimeSeconds(""));
    EXPECT_FALSE(latestOutTimeSeconds("out_time_ms=1000000\nout_time_ms=N/A\n"));
    EXPECT_FALSE(latestOutTimeSeconds(" out_time_ms=1000000\n")); // must begin the line
}

TEST(ProgressCalc, PercentageOfTheRunThatWritesTheMovie)
{
    // The run that writes the movie (in the AAC method the mux, fed as the
    // encoder goes) gives the whole bar.
    EXPECT_EQ(progressFromOutTime(3000, kHundredMinutes), 50.0f);
    // A position beyond the running time ends the bar: it never passes 100.
    EXPECT_EQ(progressFromOutTime(9000, kHundredMinutes), 100.0f);
    // No usable position or running time: leave the progress alone.
    EXPECT_FALSE(progressFromOutTime(0, kHundredMinutes));
    EXPECT_FALSE(progressFromOutTime(-5, kHundredMinutes));
    EXPECT_FALSE(progressFromOutTime(3000, 0));
    EXPECT_FALSE(progressFromOutTime(3000, std::nullopt));
}

TEST(ProgressFileReader, ReadsOnlyAppendedCompleteLines)
{
    const QString path = makeTempDir("progress") + "/Movie.mkv.log";
    ProgressFileReader reader;
    EXPECT_EQ(reader.readNew(path), "");
    EXPECT_EQ(reader.offset(), 0u);

    const QByteArray block = "frame=1\nout_time_ms=1000000\nprogress=continue\n";
    append(path, block);
    EXPECT_EQ(reader.readNew(path), QString::fromLatin1(block));
    EXPECT_EQ(reader.offset(), quint64(block.size()));
    EXPECT_EQ(reader.readNew(path), "");

    // A half-written line waits for its end.
    append(path, "out_time_ms=12");
    EXPECT_EQ(reader.readNew(path), "");
    EXPECT_EQ(reader.offset(), quint64(block.size()));
    append(path, "34567\nprogress=end\n");
    const QString next = reader.readNew(path);
    EXPECT_EQ(next, "out_time_ms=1234567\nprogress=end\n");
    EXPECT_EQ(latestOutTimeSeconds(next), 1.234567);

    // A new, shorter file is read from its beginning; a missing one resets.
    QFile::remove(path);
    append(path, "out_time_ms=5\n");
    EXPECT_EQ(reader.readNew(path), "out_time_ms=5\n");
    QFile::remove(path);
    EXPECT_EQ(reader.readNew(path), "");
    EXPECT_EQ(reader.offset(), 0u);
}

TEST(ProgressFileReader, FollowsARealFfmpegRun)
{
    const QString dir = makeTempDir("real");
    const QString log = dir + "/run.log";
    ASSERT_TRUE(ffmpeg({"-f", "lavfi", "-i", "sine=frequency=440:duration=3", "-progress", log,
                        dir + "/out.wav"}));
    ProgressFileReader reader;
    const std::optional<double> t = latestOutTimeSeconds(reader.readNew(log));
    ASSERT_TRUE(t);
    EXPECT_NEAR(*t, 3.0, 0.1);
    EXPECT_NEAR(*progressFromOutTime(*t, 3), 100.0f, 3.0f);
}
