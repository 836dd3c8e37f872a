#include "ShellTestKit.h"
#include "common/MovieFactory.h"
#include "common/TestSupport.h"
#include "shell/Intake.h"

#include <QDir>
#include <gtest/gtest.h>

// The intake on its own, as the command line drives it: a group of movies
// probed at once, answered in the order given.

class IntakeBatch : public ShellTest
{
};

TEST_F(IntakeBatch, AGroupIsAnsweredInOrderWithItsSubtitlesAndRefusals)
{
    const QString a = movie("A.mkv");
    const QString b = movie("B.mkv");
    const QString folder = dir() + "/Folder.mkv";
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_TRUE(writeSrt(dir() + "/B.srt"));
    ASSERT_TRUE(writeSrt(dir() + "/Folder.srt"));

    Intake intake;
    EXPECT_EQ(intake.openFiles({a, dir() + "/B.srt", folder, dir() + "/Folder.srt", b}),
              QStringList({a, folder, b}));
    QList<IntakeMovie> movies;
    while (const auto next = intake.nextMovie()) {
        movies.append(*next);
        intake.dropNextMovie();
    }
    EXPECT_EQ(intake.waitingCount(), 0);
    ASSERT_EQ(movies.size(), 3);
    EXPECT_EQ(movies[0].path, a);
    EXPECT_EQ(movies[2].subtitles, QStringList({dir() + "/B.srt"}));

    QList<MKVFileInfoPtr> infos;
    QObject::connect(&intake, &Intake::probed, [&](const QList<IntakeResult>& answer) {
        for (const IntakeResult& r : answer) {
            EXPECT_EQ(r.movie.path, movies.at(infos.size()).path) << "answered with its request";
            infos.append(r.info);
        }
    });
    intake.probe(movies, MKVFileInfo::Warnings::Collected);
    EXPECT_TRUE(intake.isProbing());
    ASSERT_TRUE(waitUntil([&] { return !infos.isEmpty(); }));
    EXPECT_FALSE(intake.isProbing());
    ASSERT_EQ(infos.size(), 3);
    EXPECT_EQ(infos[0]->fileName(), "A.mkv");
    EXPECT_TRUE(infos[0]->videoTrackID().has_value());
    EXPECT_FALSE(infos[0]->subtitleFileURL());
    // The folder is answered without being probed, and takes no subtitle.
    EXPECT_EQ(infos[1]->unreadableReason(), "This is a folder, not a movie file.");
    EXPECT_FALSE(infos[1]->subtitleFileURL());
    EXPECT_EQ(infos[2]->fileName(), "B.mkv");
    ASSERT_TRUE(infos[2]->subtitleFileURL());
    EXPECT_EQ(infos[2]->subtitleFileURL()->toLocalFile(), dir() + "/B.srt");
    EXPECT_TRUE(infos[2]->informationString().contains("+1)"));
}
