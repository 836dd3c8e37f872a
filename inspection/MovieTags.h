#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <optional>
#include <utility>

// The tags an MP4 gets for media centres, by the names ffmpeg's MP4 muxer
// writes them under (the atom in brackets): the movie's own tags first,
// then what its file name says where the tags say nothing.
struct MovieTags
{
    QString title;                // ©nam
    QString date;                 // ©day
    QString artist;               // ©ART
    QString description;          // desc
    QString synopsis;             // ldes
    QString comment;              // ©cmt
    QString genre;                // ©gen
    QString show;                 // tvsh
    QString episodeId;            // tven, "S02E05"
    std::optional<int> season;    // tvsn
    std::optional<int> episode;   // tves
    std::optional<int> mediaKind; // stik: 9 movie, 10 TV show
    std::optional<int> hdVideo;   // hdvd: 0 SD, 1 720p, 2 1080p, 3 2160p

    static constexpr int kMovieKind = 9;
    static constexpr int kTvShowKind = 10;
};

// From the tags ffmpeg lists for the movie (Matroska's target 50: TITLE,
// DATE_RELEASED, DIRECTOR, SUMMARY, …; "track" for its PART_NUMBER), the
// movie's path and its video's height.
MovieTags movieTagsFor(const QHash<QString, QString>& listed, const QString& path,
                       std::optional<int> videoHeight);

// ffmpeg's "-metadata key=value" entries for the tags, in a fixed order;
// empty fields are left out.
QList<std::pair<QString, QString>> metadataEntries(const MovieTags& tags);

// What the add panel and the probe say of them: "TV show: Northern Lights,
// S02E05" or "Movie: The Quiet Harbour (2019)"; empty for neither.
QString tagsSummary(const MovieTags& tags);
