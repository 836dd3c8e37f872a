#include "inspection/MovieNames.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace {

// The first word of a release's description; it and everything after it
// describe the file, not the movie.
const QRegularExpression& releaseWord()
{
    static const QRegularExpression word(
        QStringLiteral("(?:^|[\\s\\[(])(?:\\d{3,4}[pi]|4k|uhd|hdr10?\\+?|dv|sdr|"
                       "blu-?ray|bdrip|brrip|bdremux|remux|web-?dl|webrip|web|hdtv|pdtv|"
                       "dvdrip|dvd|dvdscr|hdrip|hddvd|x26[45]|h\\.?26[45]|hevc|avc|xvid|divx|"
                       "10-?bit|aac\\d?(?:\\.\\d)?|ac3|eac3|dts(?:-hd)?|truehd|atmos|"
                       "ddp?\\d\\.\\d|proper|repack|extended|unrated|remastered|"
                       "internal|limited|multi|dubbed|subbed)(?=$|[\\s\\])-])"),
        QRegularExpression::CaseInsensitiveOption);
    return word;
}

// An episode code inside a name: "S02E05" (also "s2e5", "S02E05E06"), or
// "2x05".
const QRegularExpression& episodeCode()
{
    static const QRegularExpression code(QStringLiteral(
        "(?:^|[\\s._\\-\\[(])(?:[Ss](\\d{1,2})[\\s._]?[Ee](\\d{1,3})(?:[Ee-]\\d{1,3})*"
        "|(\\d{1,2})x(\\d{2,3}))(?=$|[\\s._\\-\\])])"));
    return code;
}

// A season's folder: "Season 2", "Staffel 02", "S2".
const QRegularExpression& seasonFolder()
{
    static const QRegularExpression folder(
        QStringLiteral(
            "^(?:season|staffel|saison|temporada|series)[\\s._]*(\\d{1,2})$|^[Ss](\\d{1,2})$"),
        QRegularExpression::CaseInsensitiveOption);
    return folder;
}

// The name of the folder `levels` above the file's own (0: its own).
QString folderName(const QFileInfo& file, int levels)
{
    // By the path alone: the folders need not exist (nor be readable).
    const QStringList parts = file.absolutePath().split(u'/', Qt::SkipEmptyParts);
    return levels < parts.size() ? parts.at(parts.size() - 1 - levels) : QString();
}

int numberOf(const QString& digits)
{
    return digits.toInt();
}

} // namespace

bool hasReleaseWords(const QString& text)
{
    QString spaced = text;
    spaced.replace(u'.', u' ').replace(u'_', u' ');
    return releaseWord().match(spaced).hasMatch();
}

QString titleFromWords(const QString& words)
{
    QString text = words;
    // "Show.Name.S01" and "Show_Name" separate their words so; a name with
    // spaces keeps its dots ("Mr. Robot", "S.W.A.T.").
    if (!text.contains(u' '))
        text.replace(u'.', u' ').replace(u'_', u' ');
    const QRegularExpressionMatch release = releaseWord().match(text);
    if (release.hasMatch())
        text.truncate(release.capturedStart());
    // A group's tag in brackets at the start ("[Group] Title").
    static const QRegularExpression leadingTag(QStringLiteral("^\\s*\\[[^\\]]*\\]\\s*"));
    text.remove(leadingTag);
    static const QRegularExpression ends(QStringLiteral("^[\\s\\-–.,:_(\\[]+|[\\s\\-–.,:_(\\[]+$"));
    text.remove(ends);
    return text.simplified();
}

NamedMovie movieFromPath(const QString& path)
{
    const QFileInfo file(path);
    const QString name = file.completeBaseName();
    NamedMovie movie;

    const QRegularExpressionMatch code = episodeCode().match(name);
    if (code.hasMatch()) {
        const bool sxe = !code.captured(1).isEmpty();
        movie.kind = NamedMovie::Kind::Episode;
        movie.season = numberOf(code.captured(sxe ? 1 : 3));
        movie.episode = numberOf(code.captured(sxe ? 2 : 4));
        movie.show = titleFromWords(name.left(code.capturedStart()));
        movie.title = titleFromWords(name.mid(code.capturedEnd()));
        // "Show/Season 2/S02E05.mkv", "Show/S02E05.mkv": the show's name is
        // the folder's.
        if (movie.show.isEmpty())
            movie.show = titleFromWords(
                folderName(file, seasonFolder().match(folderName(file, 0)).hasMatch() ? 1 : 0));
        if (movie.show.isEmpty())
            return {};
        return movie;
    }

    // "Show/Season 2/05 Title.mkv": numbered alone inside a season's folder.
    static const QRegularExpression numbered(
        QStringLiteral("^(?:[Ee](?:p(?:isode)?)?[\\s._]?)?(\\d{1,3})(?=$|[\\s._\\-])(.*)$"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch inSeason = seasonFolder().match(folderName(file, 0));
    const QRegularExpressionMatch number = numbered.match(name);
    if (inSeason.hasMatch() && number.hasMatch()) {
        movie.kind = NamedMovie::Kind::Episode;
        movie.season =
            numberOf(inSeason.captured(1).isEmpty() ? inSeason.captured(2) : inSeason.captured(1));
        movie.episode = numberOf(number.captured(1));
        movie.title = titleFromWords(number.captured(2));
        movie.show = titleFromWords(folderName(file, 1));
        return movie.show.isEmpty() ? NamedMovie{} : movie;
    }

    // "Title (2019)", "Title [2019]", "Title.2019.1080p": the last year that
    // stands alone, with a title before it.
    static const QRegularExpression year(
        QStringLiteral("^(.+)[\\s._]+[(\\[]?((?:19|20)\\d{2})[)\\]]?(?=$|[\\s._\\-])"));
    const QRegularExpressionMatch dated = year.match(name);
    if (dated.hasMatch()) {
        const QString title = titleFromWords(dated.captured(1));
        if (title.isEmpty())
            return {};
        movie.kind = NamedMovie::Kind::Movie;
        movie.title = title;
        movie.year = numberOf(dated.captured(2));
        return movie;
    }
    return {};
}
