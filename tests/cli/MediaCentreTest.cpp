#include "CliProcessKit.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace clikit;

// Cover art and tags for media centres: from a Matroska attachment and its
// tags, from a poster beside the movie and from the names of episodes and
// movies, read back by ffprobe and mediainfo.

namespace {

QJsonObject formatTags(const QString& path)
{
    return QJsonDocument::fromJson(ffprobeJson(path).toUtf8())
        .object()["format"]
        .toObject()["tags"]
        .toObject();
}

bool hasCover(const QString& path)
{
    QString info;
    return runProgram("mediainfo", {path}, &info) == 0 &&
           info.contains(QRegularExpression("Cover\\s*: Yes"));
}

} // namespace

TEST(MediaCentre, CoversTagsAndNamesReachTheMp4)
{
    const Home h = makeHome("media-centre");
    const QString dir = makeTempDir("media-centre-movies");
    const QString raw = dir + "/raw.mkv";
    ASSERT_TRUE(ffmpeg({"-f", "lavfi", "-i", "testsrc2=size=160x120:rate=25:duration=2", "-f",
                        "lavfi", "-i", "sine=duration=2", "-c:v", "libx264", "-preset", "ultrafast",
                        "-c:a", "aac", raw}));
    ASSERT_TRUE(ffmpeg(
        {"-f", "lavfi", "-i", "testsrc2=size=320x240", "-frames:v", "1", dir + "/cover.jpg"}));
    ASSERT_TRUE(writeBytes(dir + "/tags.xml",
                           "<?xml version=\"1.0\"?><Tags>"
                           "<Tag><Targets><TargetTypeValue>70</TargetTypeValue></Targets>"
                           "<Simple><Name>TITLE</Name><String>Northern Lights</String></Simple>"
                           "</Tag><Tag><Targets><TargetTypeValue>60</TargetTypeValue></Targets>"
                           "<Simple><Name>PART_NUMBER</Name><String>2</String></Simple></Tag>"
                           "<Tag><Targets><TargetTypeValue>50</TargetTypeValue></Targets>"
                           "<Simple><Name>TITLE</Name><String>The Long Night</String></Simple>"
                           "<Simple><Name>PART_NUMBER</Name><String>5</String></Simple>"
                           "<Simple><Name>DATE_RELEASED</Name><String>2019-03-04</String></Simple>"
                           "<Simple><Name>DIRECTOR</Name><String>Jo Doe</String></Simple>"
                           "<Simple><Name>SUMMARY</Name><String>A long night.</String></Simple>"
                           "<Simple><Name>GENRE</Name><String>Drama</String></Simple>"
                           "</Tag></Tags>"));
    // An episode with its cover attached and the movie's tags (mkvmerge).
    const QString episode = dir + "/Northern Lights - S02E05 - The Long Night.mkv";
    ASSERT_EQ(runProgram("mkvmerge", {"-q", "-o", episode, "--global-tags", dir + "/tags.xml",
                                      "--attachment-mime-type", "image/jpeg", "--attachment-name",
                                      "cover.jpg", "--attach-file", dir + "/cover.jpg", raw}),
              0);
    // The same episode known by its tags alone: the show and the season
    // are tags of their own levels, which ffmpeg does not list.
    const QString tagged = dir + "/Long Night.mkv";
    ASSERT_EQ(runProgram("mkvmerge", {"-q", "-o", tagged, "--global-tags", dir + "/tags.xml", raw}),
              0);
    // A movie alone in its folder with a poster beside it.
    ASSERT_TRUE(QDir(dir).mkpath("film"));
    const QString film = dir + "/film/The Quiet Harbour (2019) 1080p BluRay.mkv";
    ASSERT_TRUE(QFile::copy(raw, film));
    ASSERT_TRUE(QFile::copy(dir + "/cover.jpg", dir + "/film/poster.jpg"));
    // More name forms; one that says neither, with a picture that is no JPEG.
    ASSERT_TRUE(QDir(dir).mkpath("Show Name/Season 2"));
    const QStringList forms{dir + "/Show.Name.S01E02.720p.WEB-DL.x264-GRP.mkv",
                            dir + "/Show Name 3x04.mkv", dir + "/Show Name/Season 2/05 Title.mkv",
                            dir + "/Title.2018.1080p.BluRay.x264.mkv",
                            dir + "/Holiday at the Lake.mkv"};
    for (const QString& form : forms)
        ASSERT_TRUE(QFile::copy(raw, form));
    ASSERT_TRUE(writeBytes(dir + "/Holiday at the Lake.jpg", "BM not a jpeg"));

    const QString out = makeTempDir("media-centre-out");
    const Outcome r =
        run(QStringList{"convert", "--style", "fast", "--dest", out, episode, tagged, film} + forms,
            h.env);
    ASSERT_EQ(r.status, 0) << qPrintable(r.err);
    EXPECT_TRUE(r.err.contains("Note: Holiday at the Lake.mkv: cover Holiday at the Lake.jpg "
                               "left out: it is neither JPEG nor PNG"))
        << qPrintable(r.err);

    const QJsonObject tv = formatTags(out + "/Northern Lights - S02E05 - The Long Night.mp4");
    EXPECT_EQ(tv["show"].toString(), "Northern Lights");
    EXPECT_EQ(tv["season_number"].toString(), "2");
    EXPECT_EQ(tv["episode_sort"].toString(), "5");
    EXPECT_EQ(tv["episode_id"].toString(), "S02E05");
    EXPECT_EQ(tv["media_type"].toString(), "10");
    EXPECT_EQ(tv["title"].toString(), "The Long Night");
    EXPECT_EQ(tv["date"].toString(), "2019-03-04");
    EXPECT_EQ(tv["artist"].toString(), "Jo Doe");
    EXPECT_EQ(tv["description"].toString(), "A long night.");
    EXPECT_EQ(tv["genre"].toString(), "Drama");
    EXPECT_TRUE(hasCover(out + "/Northern Lights - S02E05 - The Long Night.mp4"));
    const QJsonObject byTags = formatTags(out + "/Long Night.mp4");
    for (const char* key : {"show", "season_number", "episode_sort", "episode_id", "title"})
        EXPECT_EQ(byTags[key], tv[key]) << key;

    const QJsonObject movie = formatTags(out + "/The Quiet Harbour (2019) 1080p BluRay.mp4");
    EXPECT_EQ(movie["title"].toString(), "The Quiet Harbour");
    EXPECT_EQ(movie["date"].toString(), "2019");
    EXPECT_EQ(movie["media_type"].toString(), "9");
    EXPECT_TRUE(hasCover(out + "/The Quiet Harbour (2019) 1080p BluRay.mp4"));

    const auto expectEpisode = [&](const QString& name, const char* show, const char* season,
                                   const char* number, const char* title) {
        SCOPED_TRACE(qPrintable(name));
        const QJsonObject tags = formatTags(out + "/" + name);
        EXPECT_EQ(tags["show"].toString(), show);
        EXPECT_EQ(tags["season_number"].toString(), season);
        EXPECT_EQ(tags["episode_sort"].toString(), number);
        EXPECT_EQ(tags["title"].toString(), title);
        EXPECT_EQ(tags["media_type"].toString(), "10");
    };
    expectEpisode("Show.Name.S01E02.720p.WEB-DL.x264-GRP.mp4", "Show Name", "1", "2", "");
    expectEpisode("Show Name 3x04.mp4", "Show Name", "3", "4", "");
    expectEpisode("05 Title.mp4", "Show Name", "2", "5", "Title");
    const QJsonObject dotted = formatTags(out + "/Title.2018.1080p.BluRay.x264.mp4");
    EXPECT_EQ(dotted["title"].toString(), "Title");
    EXPECT_EQ(dotted["date"].toString(), "2018");
    // A name that says neither is left as it is, and gets no cover.
    const QJsonObject plain = formatTags(out + "/Holiday at the Lake.mp4");
    EXPECT_FALSE(plain.contains("title"));
    EXPECT_FALSE(plain.contains("media_type"));
    EXPECT_FALSE(hasCover(out + "/Holiday at the Lake.mp4"));

    // --no-tags: neither cover nor tags this run.
    const QString bare = makeTempDir("media-centre-bare");
    ASSERT_EQ(run({"convert", "--style", "fast", "--no-tags", "--dest", bare, film}, h.env).status,
              0);
    EXPECT_FALSE(
        formatTags(bare + "/The Quiet Harbour (2019) 1080p BluRay.mp4").contains("media_type"));
    EXPECT_FALSE(hasCover(bare + "/The Quiet Harbour (2019) 1080p BluRay.mp4"));
}
