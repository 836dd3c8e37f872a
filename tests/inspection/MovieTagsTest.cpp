#include "inspection/MovieTags.h"

#include "inspection/CoverChoice.h"
#include "inspection/MovieNames.h"

#include <gtest/gtest.h>

TEST(MovieTags, EpisodesAndMoviesAreNamedFromTheirFiles)
{
    struct Case
    {
        const char* path;
        NamedMovie::Kind kind;
        const char* show;
        int season, episode;
        const char* title;
        int year;
    };
    using K = NamedMovie::Kind;
    const Case cases[] = {
        {"/tv/Northern Lights - S02E05 - The Long Night.mkv", K::Episode, "Northern Lights", 2, 5,
         "The Long Night", 0},
        {"/tv/Northern.Lights.S02E05.720p.WEB-DL.x264-GRP.mkv", K::Episode, "Northern Lights", 2, 5,
         "", 0},
        {"/tv/Northern Lights 2x05.mkv", K::Episode, "Northern Lights", 2, 5, "", 0},
        {"/tv/Northern Lights/Season 2/05 The Long Night.mkv", K::Episode, "Northern Lights", 2, 5,
         "The Long Night", 0},
        {"/tv/Northern Lights/Season 02/S02E05.mkv", K::Episode, "Northern Lights", 2, 5, "", 0},
        {"/films/The Quiet Harbour (2019) 1080p BluRay.mkv", K::Movie, "", 0, 0,
         "The Quiet Harbour", 2019},
        {"/films/The.Quiet.Harbour.2019.1080p.BluRay.x264.mkv", K::Movie, "", 0, 0,
         "The Quiet Harbour", 2019},
        {"/films/Blade Runner 2049 (2017).mkv", K::Movie, "", 0, 0, "Blade Runner 2049", 2017},
        {"/films/Holiday at the Lake.mkv", K::Unknown, "", 0, 0, "", 0},
        {"/films/Some.Film.1080p.BluRay.mkv", K::Unknown, "", 0, 0, "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const NamedMovie named = movieFromPath(c.path);
        EXPECT_EQ(named.kind, c.kind);
        EXPECT_EQ(named.show, c.show);
        EXPECT_EQ(named.season, c.season);
        EXPECT_EQ(named.episode, c.episode);
        EXPECT_EQ(named.title, c.title);
        EXPECT_EQ(named.year, c.year);
    }
}

TEST(MovieTags, TheMoviesTagsComeFirstAndTheNameFillsTheRest)
{
    // A release name as the title tag is no title; the name's title stands.
    MovieTags tags = movieTagsFor({{"TITLE", "Northern.Lights.S02E05.720p.WEB-DL"},
                                   {"DATE_RELEASED", "2019-03-04"},
                                   {"DIRECTOR", "Jo Doe"},
                                   {"SUMMARY", "A night."},
                                   {"track", "5"}},
                                  "/tv/Northern Lights - S02E06 - The Long Night.mkv", 1080);
    EXPECT_EQ(tags.title, "The Long Night");
    EXPECT_EQ(tags.episode, 5); // the tag's part number over the name's
    EXPECT_EQ(tags.season, 2);
    EXPECT_EQ(tags.episodeId, "S02E05");
    EXPECT_EQ(tags.mediaKind, MovieTags::kTvShowKind);
    EXPECT_EQ(tags.hdVideo, 2);
    EXPECT_EQ(tagsSummary(tags), "TV show: Northern Lights, S02E05");
    const auto entries = metadataEntries(tags);
    EXPECT_TRUE(entries.contains(std::pair<QString, QString>{"date", "2019-03-04"}));
    EXPECT_TRUE(entries.contains(std::pair<QString, QString>{"artist", "Jo Doe"}));
    EXPECT_TRUE(entries.contains(std::pair<QString, QString>{"synopsis", "A night."}));

    const MovieTags film = movieTagsFor({}, "/films/The Quiet Harbour (2019) 1080p.mkv", 720);
    EXPECT_EQ(tagsSummary(film), "Movie: The Quiet Harbour (2019)");
    EXPECT_EQ(film.hdVideo, 1);
    EXPECT_TRUE(metadataEntries(movieTagsFor({}, "/films/Holiday.mkv", std::nullopt)).isEmpty());
    // A release name as the title of a name that says nothing loses its
    // release words.
    EXPECT_EQ(
        movieTagsFor({{"title", "Some.Film.1080p.BluRay.x264-GRP"}}, "/films/x.mkv", {}).title,
        "Some Film");
}

TEST(MovieTags, TheCoverIsChosenByItsName)
{
    QString note;
    const QList<AttachedPicture> pictures{
        {3, "mjpeg", "cover_land.jpg"}, {4, "png", "small_cover.png"}, {5, "mjpeg", "Cover.JPG"}};
    EXPECT_EQ(coverPictureStream(pictures, note), 5);
    EXPECT_EQ(coverPictureStream(pictures.mid(0, 2), note), 4);
    EXPECT_EQ(coverPictureStream({{2, "mjpeg", "still.jpg"}}, note), 2);
    EXPECT_FALSE(coverPictureStream({{2, "mjpeg", "a.jpg"}, {3, "mjpeg", "b.jpg"}}, note));
    EXPECT_FALSE(coverPictureStream({{2, "webp", "cover.webp"}}, note));
    EXPECT_EQ(note, "cover cover.webp left out: it is neither JPEG nor PNG");
    EXPECT_EQ(coverNamesBeside("Film", false).size(), 6);
    EXPECT_EQ(coverNamesBeside("Film", true).last(), "cover.png");
    EXPECT_TRUE(isJpegOrPng(QByteArray("\xFF\xD8\xFF\xE0", 4)));
    EXPECT_FALSE(isJpegOrPng("BM\x00\x00"));
}
