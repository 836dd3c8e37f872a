#include "inspection/SubtitleFileNames.h"

#include "foundation/PathHelpers.h"
#include "inspection/AudioTrackChoice.h"
#include "inspection/LanguageNames.h"
#include "inspection/Languages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <algorithm>
#include <limits>

namespace {

// What may follow the movie's base name in the name of its subtitle file.
// Not "-": it joins the words of titles ("Spider-Man" is not "Spider").
bool isNameSeparator(QChar c)
{
    return c == u'.' || c == u'_' || c == u' ';
}

// Whether a name without its extension is `base` or `base` followed by a
// separator and more.
bool belongsTo(const QString& stem, const QString& base)
{
    if (base.isEmpty() || !stem.startsWith(base, Qt::CaseInsensitive))
        return false;
    return stem.size() == base.size() || isNameSeparator(stem.at(base.size()));
}

// Video files whose subtitles a shorter-named movie must not take, whether
// or not they can be converted themselves.
bool isVideoFile(const QFileInfo& info)
{
    static const QStringList extensions{"mkv", "mp4",  "mov", "ogm", "m4v", "avi",  "webm",
                                        "ts",  "m2ts", "mts", "wmv", "mpg", "mpeg", "flv"};
    return extensions.contains(info.suffix().toLower());
}

// Every ISO 639-2 code the language tables know, bibliographic form.
const QSet<QString>& knownLanguageCodes()
{
    static const QSet<QString> codes = [] {
        QSet<QString> all;
        for (const QString& code : languageTable())
            all.insert(code);
        for (const QString& code : languageNameTable())
            all.insert(code);
        return all;
    }();
    return codes;
}

// ISO 639-2 codes that are also words and abbreviations met in file names;
// as a bare token they say something else far more often than the language,
// and the first language token decides. Their language names still count.
bool isWordLikeCode(const QString& code)
{
    static const QSet<QString> words{"art", "bad", "bin", "bra", "car", "day", "del", "den", "fan",
                                     "fat", "gay", "her", "him", "hit", "lol", "mad", "mag", "man",
                                     "men", "mic", "min", "new", "non", "pal", "pro", "rom", "sad",
                                     "sat", "sel", "sit", "smi", "son", "ssa", "sun", "tem", "ter",
                                     "tog", "tut", "war", "was", "zen"};
    return words.contains(code);
}

// The bibliographic three-letter code of a two- or three-letter code in any
// case; empty when it is no such code.
QString languageOfCode(const QString& token)
{
    const QString lower = token.toLower();
    if (lower.size() == 2)
        return languageTable().value(lower);
    const QString code = comparableLanguage(lower);
    if (!knownLanguageCodes().contains(code) || isWordLikeCode(lower))
        return QString();
    return code;
}

bool isForcedToken(const QString& lower)
{
    return lower == QLatin1String("forced") || lower == QLatin1String("foreign");
}

bool isSdhToken(const QString& lower)
{
    return lower == QLatin1String("sdh") || lower == QLatin1String("cc") ||
           lower == QLatin1String("hi");
}

// The region or script of a language tag: "BR", "Hans", "419".
bool isRegionOrScript(const QString& text)
{
    static const QRegularExpression shape(QStringLiteral("^([A-Za-z]{2}|[A-Za-z]{4}|[0-9]{3})$"));
    return shape.match(text).hasMatch() && !isSdhToken(text.toLower());
}

// The language a token names, or empty.
QString languageOfToken(const QString& token)
{
    if (isPlainLanguageCode(token))
        return languageOfCode(token);
    static const QRegularExpression dashes(QStringLiteral("[-_]"));
    const qsizetype dash = token.indexOf(dashes);
    if ((dash == 2 || dash == 3) && isRegionOrScript(token.mid(dash + 1)))
        return languageOfCode(token.left(dash));
    // languageCodeForTag answers a name's code, anything else unchanged (or
    // "unk"), which is not a known code.
    const QString code = languageCodeForTag(token);
    if (code == token || !knownLanguageCodes().contains(code))
        return QString();
    return code;
}

// Reads one token into the file; false when it says nothing.
bool readToken(const QString& token, SubtitleFile& file)
{
    const QString lower = token.toLower();
    if (isForcedToken(lower)) {
        file.forced = true;
        return true;
    }
    if (isSdhToken(lower)) {
        file.sdh = true;
        return true;
    }
    const QString language = languageOfToken(token);
    if (language.isEmpty())
        return false;
    if (file.language.isEmpty())
        file.language = language;
    return true;
}

QString trimmedToken(const QString& token)
{
    static const QRegularExpression ends(QStringLiteral("^[-_ ()\\[\\]{}]+|[-_ ()\\[\\]{}]+$"));
    return QString(token).remove(ends);
}

// The dot-separated tokens of what follows the base name; one that says
// nothing as a whole ("English-SDH", "Portuguese (Brazil)") is read by its
// words.
void readTokens(const QString& rest, SubtitleFile& file)
{
    static const QRegularExpression words(QStringLiteral("[-_ ()\\[\\]{}]+"));
    for (const QString& dotted : rest.split(u'.', Qt::SkipEmptyParts)) {
        const QString token = trimmedToken(dotted);
        if (token.isEmpty() || readToken(token, file))
            continue;
        for (const QString& word : token.split(words, Qt::SkipEmptyParts))
            readToken(word, file);
    }
}

// Nothing from a FIFO or device, whose read could block for ever.
QByteArray firstBytes(const QString& path, qint64 count)
{
    if (!isRegularFile(path))
        return QByteArray();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.read(count);
}

// VobSub images are an MPEG program stream: a pack header first.
bool startsWithPackHeader(const QString& path)
{
    return firstBytes(path, 4) == QByteArray("\x00\x00\x01\xBA", 4);
}

// EBU STL starts with a three-digit code page and "STL" ("850STL25.01").
bool isEbuStl(const QString& path)
{
    const QByteArray head = firstBytes(path, 6);
    if (head.size() < 6 || head.mid(3) != "STL")
        return false;
    return std::all_of(head.begin(), head.begin() + 3, [](char c) { return c >= '0' && c <= '9'; });
}

bool fileNameLess(const QString& a, const QString& b)
{
    const int folded = QString::compare(a, b, Qt::CaseInsensitive);
    return folded != 0 ? folded < 0 : a < b;
}

} // namespace

bool operator==(const SubtitleFile& a, const SubtitleFile& b)
{
    return a.path == b.path && a.language == b.language && a.forced == b.forced && a.sdh == b.sdh &&
           a.title == b.title;
}

SubtitleFile subtitleFileFor(const QString& moviePath, const QString& subtitlePath)
{
    SubtitleFile file;
    file.path = subtitlePath;
    const QString base = QFileInfo(moviePath).completeBaseName();
    const QString stem = QFileInfo(subtitlePath).completeBaseName();
    if (belongsTo(stem, base)) {
        readTokens(stem.mid(base.size()), file);
    } else {
        // A name of its own: its first part is its title.
        const qsizetype dot = stem.indexOf(u'.');
        if (dot >= 0)
            readTokens(stem.mid(dot), file);
    }
    return file;
}

const QStringList& textSubtitleExtensions()
{
    // Each checked by converting a sample to mov_text with ffmpeg 5.1. Not
    // "txt" (any text file; MPL2 and VPlayer use it) nor "js" (JACOsub).
    static const QStringList extensions{"srt", "ass", "ssa", "vtt", "smi",  "sami", "sub", "jss",
                                        "rt",  "aqt", "pjs", "mpl", "mpl2", "lrc",  "stl", "scc"};
    return extensions;
}

SubtitleFileKind subtitleFileKind(const QString& path)
{
    const QString extension = QFileInfo(path).suffix().toLower();
    if (extension == QLatin1String("sup") || extension == QLatin1String("idx"))
        return SubtitleFileKind::Image;
    if (extension == QLatin1String("sub"))
        return startsWithPackHeader(path) ? SubtitleFileKind::Image : SubtitleFileKind::Text;
    if (extension == QLatin1String("stl") && isEbuStl(path))
        return SubtitleFileKind::None;
    return textSubtitleExtensions().contains(extension) ? SubtitleFileKind::Text
                                                        : SubtitleFileKind::None;
}

namespace {

// VobSub is a pair: the .idx (timing and palette) names the .sub (the
// pictures); either alone cannot be read. The pair is read through its .idx.
bool hasPartnerBeside(const QFileInfo& file, const char* extension)
{
    const QDir folder = file.dir();
    for (const QString& name : folder.entryList(QDir::Files))
        if (QFileInfo(name).completeBaseName() == file.completeBaseName() &&
            QFileInfo(name).suffix().compare(QLatin1String(extension), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

} // namespace

SubtitleFilesBeside subtitleFilesBeside(const QString& moviePath)
{
    SubtitleFilesBeside found;
    const QFileInfo movie(moviePath);
    const QString base = movie.completeBaseName();
    if (base.isEmpty())
        return found;
    const QFileInfoList entries =
        movie.dir().entryInfoList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
    QStringList longerMovies;
    for (const QFileInfo& entry : entries) {
        const QString other = entry.completeBaseName();
        if (isVideoFile(entry) && other.size() > base.size() && belongsTo(other, base))
            longerMovies.append(other);
    }
    QFileInfoList candidates;
    for (const QFileInfo& entry : entries) {
        const QString stem = entry.completeBaseName();
        if (!belongsTo(stem, base) || isVideoFile(entry))
            continue;
        const bool otherMovies = std::any_of(longerMovies.begin(), longerMovies.end(),
                                             [&](const QString& b) { return belongsTo(stem, b); });
        if (!otherMovies)
            candidates.append(entry);
    }
    std::sort(candidates.begin(), candidates.end(), [](const QFileInfo& a, const QFileInfo& b) {
        return fileNameLess(a.fileName(), b.fileName());
    });
    for (const QFileInfo& entry : candidates) {
        switch (subtitleFileKind(entry.filePath())) {
        case SubtitleFileKind::Text:
            found.text.append(subtitleFileFor(moviePath, entry.filePath()));
            break;
        case SubtitleFileKind::Image: {
            const QString extension = entry.suffix().toLower();
            if (extension == QLatin1String("sup") ||
                (extension == QLatin1String("idx") && hasPartnerBeside(entry, "sub")))
                found.picture.append(subtitleFileFor(moviePath, entry.filePath()));
            else if (!hasPartnerBeside(entry, extension == QLatin1String("sub") ? "idx" : "sub"))
                found.unreadable.append(entry.filePath());
            break;
        }
        case SubtitleFileKind::None:
            break;
        }
    }
    return found;
}

QList<SubtitleFile> orderedSubtitleFiles(const QList<SubtitleFile>& files,
                                         const QStringList& preferredLanguages)
{
    QStringList ranking;
    for (const QString& language : preferredLanguages)
        ranking.append(
            language.section(QRegularExpression(QStringLiteral("[-_]")), 0, 0).toLower());
    QList<SubtitleFile> ordered;
    QSet<QString> seen;
    for (const SubtitleFile& file : files) {
        if (seen.contains(file.path))
            continue;
        seen.insert(file.path);
        ordered.append(file);
    }
    const auto rankOf = [&](const SubtitleFile& file) {
        const qsizetype rank = file.language.isEmpty() ? -1 : languageRank(ranking, file.language);
        return rank < 0 ? std::numeric_limits<qsizetype>::max() : rank;
    };
    std::stable_sort(
        ordered.begin(), ordered.end(), [&](const SubtitleFile& a, const SubtitleFile& b) {
            const qsizetype rankA = rankOf(a);
            const qsizetype rankB = rankOf(b);
            if (rankA != rankB)
                return rankA < rankB;
            return fileNameLess(QFileInfo(a.path).fileName(), QFileInfo(b.path).fileName());
        });
    return ordered;
}
