#include "TestSupport.h"
#include "shell/OutputName.h"
#include "shell/SubtitlePairing.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

TEST(OutputName, ExtensionFollowsTheSetting)
{
    EXPECT_EQ(outputFileName("Film.mkv", 0), "Film.mp4");
    EXPECT_EQ(outputFileName("Film.mkv", 1), "Film.m4v");
    EXPECT_EQ(outputFileName("My.Film.2020.mkv", 0), "My.Film.2020.mp4");
}

TEST(OutputName, AvoidsFilesOnDiskAndDestinationsOfQueuedJobs)
{
    const QString dir = makeTempDir("names");
    // Nothing there: the plain name.
    EXPECT_EQ(uniqueDestination(dir, "Film.mp4", {}), dir + "/Film.mp4");
    // A second movie of the same name queued into the same folder must not
    // get the first one's destination, although nothing exists on disk yet.
    EXPECT_EQ(uniqueDestination(dir, "Film.mp4", {dir + "/Film.mp4"}), dir + "/Film-0.mp4");
    writeFile(dir + "/Film.mp4", "x");
    EXPECT_EQ(uniqueDestination(dir, "Film.mp4", {dir + "/Film-0.mp4"}), dir + "/Film-1.mp4");
}

TEST(SubtitlePairing, SubtitlesGoWithTheMovieTheyAreNamedFor)
{
    QStringList subs;
    const QStringList movies =
        sortIntakeFiles({"/m/Film.en.forced.srt", "/m/Other.en.srt", "/m/Film.mkv", "/m/B.MKV",
                         "/m/C.avi", "/m/C.nfo", "/m/Film_eng.srt", "/n/Film.srt", "/m/Filmed.srt"},
                        subs);
    EXPECT_EQ(movies, QStringList({"/m/Film.mkv", "/m/B.MKV", "/m/C.avi"}));
    EXPECT_EQ(subtitlesForMovie("/m/Other.mkv", subs), QStringList({"/m/Other.en.srt"}));
    // Any number of tokens after the base name; another folder or a longer
    // word is another movie's.
    EXPECT_EQ(subtitlesForMovie("/m/Film.mkv", subs),
              QStringList({"/m/Film.en.forced.srt", "/m/Film_eng.srt"}));
    EXPECT_TRUE(subtitlesForMovie("/m/B.MKV", subs).isEmpty());
}

TEST(SubtitlePairing, ImageSubFilesAreRefusedTextSubFilesWin)
{
    const QString dir = makeTempDir("subs");
    writeFile(dir + "/Film.srt", "1\n00:00:01,000 --> 00:00:02,000\nHi\n");
    writeFile(dir + "/Film.sub", "{1}{25}Hello\n");
    writeFile(dir + "/Vob.sub", QByteArray::fromHex("000001ba4400040004"));
    writeFile(dir + "/Tiny.sub", "ab");
    EXPECT_TRUE(isSubtitleFile(dir + "/Film.sub"));
    EXPECT_FALSE(isSubtitleFile(dir + "/Vob.sub"));
    // Shorter than the four-byte header: not an image subtitle.
    EXPECT_TRUE(isSubtitleFile(dir + "/Tiny.sub"));

    QStringList subs;
    sortIntakeFiles({dir + "/Film.sub", dir + "/Film.srt", dir + "/Vob.sub"}, subs);
    EXPECT_EQ(subs, QStringList({dir + "/Film.sub", dir + "/Film.srt"}));
}
