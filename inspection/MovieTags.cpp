#include "inspection/MovieTags.h"

#include "inspection/MovieNames.h"

#include <QCoreApplication>
#include <QRegularExpression>

namespace {

struct MovieTagTexts
{
    Q_DECLARE_TR_FUNCTIONS(MovieTags)
};

// The first of the keys the listing has a value for, in any case.
QString firstOf(const QHash<QString, QString>& listed, std::initializer_list<const char*> keys)
{
    for (const char* key : keys)
        for (auto it = listed.cbegin(); it != listed.cend(); ++it)
            if (it.key().compare(QLatin1String(key), Qt::CaseInsensitive) == 0 &&
                !it.value().trimmed().isEmpty())
                return it.value().trimmed();
    return {};
}

// "5", "5/10": the leading number of a part tag.
std::optional<int> partNumber(const QString& text)
{
    static const QRegularExpression number(QStringLiteral("^\\s*(\\d{1,4})"));
    const QRegularExpressionMatch m = number.match(text);
    return m.hasMatch() ? std::optional<int>(m.captured(1).toInt()) : std::nullopt;
}

QString episodeIdOf(int season, int episode)
{
    return QStringLiteral("S%1E%2")
        .arg(season, 2, 10, QChar(u'0'))
        .arg(episode, 2, 10, QChar(u'0'));
}

} // namespace

MovieTags movieTagsFor(const QHash<QString, QString>& listed, const QString& path,
                       std::optional<int> videoHeight)
{
    MovieTags tags;
    tags.title = firstOf(listed, {"TITLE"});
    // Many muxers tag the release's name as the title: it is written
    // without the release words (ffmpeg would copy it as it is), unless the
    // file name gives a title below.
    const bool releaseTitle = hasReleaseWords(tags.title);
    if (releaseTitle)
        tags.title = titleFromWords(tags.title);
    tags.date = firstOf(listed, {"DATE_RELEASED", "DATE_RECORDED", "date"});
    tags.artist = firstOf(listed, {"DIRECTOR", "ARTIST"});
    tags.description = firstOf(listed, {"SUMMARY", "DESCRIPTION", "SYNOPSIS"});
    tags.synopsis = firstOf(listed, {"SYNOPSIS", "SUMMARY", "DESCRIPTION"});
    tags.comment = firstOf(listed, {"COMMENT"});
    tags.genre = firstOf(listed, {"GENRE"});
    tags.show = firstOf(listed, {"show"});
    tags.episode = partNumber(firstOf(listed, {"episode_sort", "track"}));
    tags.season = partNumber(firstOf(listed, {"season_number"}));

    const NamedMovie named = movieFromPath(path);
    if (named.kind == NamedMovie::Kind::Episode) {
        if (tags.show.isEmpty())
            tags.show = named.show;
        if (!tags.season)
            tags.season = named.season;
        if (!tags.episode)
            tags.episode = named.episode;
        if (tags.title.isEmpty() || (releaseTitle && !named.title.isEmpty()))
            tags.title = named.title;
    } else if (named.kind == NamedMovie::Kind::Movie) {
        if (tags.title.isEmpty() || releaseTitle)
            tags.title = named.title;
        if (tags.date.isEmpty())
            tags.date = QString::number(named.year);
    }
    if (!tags.show.isEmpty() && tags.season && tags.episode) {
        tags.mediaKind = MovieTags::kTvShowKind;
        tags.episodeId = episodeIdOf(*tags.season, *tags.episode);
    } else {
        // A show's atoms only for an episode (a movie of a collection has a
        // level-70 title and a part number too).
        tags.show.clear();
        tags.season.reset();
        tags.episode.reset();
        if (named.kind == NamedMovie::Kind::Movie)
            tags.mediaKind = MovieTags::kMovieKind;
    }
    if (videoHeight && *videoHeight > 0)
        tags.hdVideo = *videoHeight >= 2160   ? 3
                       : *videoHeight >= 1080 ? 2
                       : *videoHeight >= 720  ? 1
                                              : 0;
    return tags;
}

QList<std::pair<QString, QString>> metadataEntries(const MovieTags& tags)
{
    QList<std::pair<QString, QString>> entries;
    const auto text = [&entries](const char* key, const QString& value) {
        if (!value.isEmpty())
            entries.append({QString::fromLatin1(key), value});
    };
    const auto number = [&entries](const char* key, const std::optional<int>& value) {
        if (value)
            entries.append({QString::fromLatin1(key), QString::number(*value)});
    };
    text("title", tags.title);
    text("date", tags.date);
    text("artist", tags.artist);
    text("description", tags.description);
    text("synopsis", tags.synopsis);
    text("comment", tags.comment);
    text("genre", tags.genre);
    text("show", tags.show);
    number("season_number", tags.season);
    number("episode_sort", tags.episode);
    text("episode_id", tags.episodeId);
    number("media_type", tags.mediaKind);
    number("hd_video", tags.hdVideo);
    return entries;
}

QString tagsSummary(const MovieTags& tags)
{
    if (tags.mediaKind == MovieTags::kTvShowKind)
        return MovieTagTexts::tr("TV show: %1, %2").arg(tags.show, tags.episodeId);
    if (tags.mediaKind == MovieTags::kMovieKind)
        return tags.date.isEmpty()
                   ? MovieTagTexts::tr("Movie: %1").arg(tags.title)
                   : MovieTagTexts::tr("Movie: %1 (%2)").arg(tags.title, tags.date.left(4));
    return {};
}
