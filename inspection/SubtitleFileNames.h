#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Subtitle files that sit beside a movie: which files they are, what kind,
// and what their names say about language and purpose. Pure logic on names;
// listing the movie's folder and reading the first bytes of a few files are
// the only I/O.

// A subtitle file to be written as a subtitle track, with what its name says.
struct SubtitleFile
{
    QString path;
    // ISO 639-2 code as the probe writes track languages ("eng", "ger",
    // "fre", "por"); empty when the name says none.
    QString language;
    bool forced = false;
    // "sdh", "cc" or "hi" among the tokens.
    bool sdh = false;
    // The track's name, for a file made of a movie's own track (a picture
    // track read as text); empty for a file beside the movie.
    QString title = {};
};
bool operator==(const SubtitleFile& a, const SubtitleFile& b);

// What the name of `subtitlePath` says after the movie's base name.
//
// The name belongs to the movie when, without its extension, it is the
// movie's base name or starts with it followed by ".", "_" or " "
// (case-insensitive): "Film.en.srt", "Film_eng.srt", "Film - English.srt".
// The rest is cut into tokens at dots; a token that says nothing as a whole
// is cut again at spaces, "_", "-" and brackets ("English-SDH", "(eng)").
// A name that does not start with the movie's base name is read the same way
// after its own first dot-separated part.
//
// Tokens, case-insensitive: "forced" and "foreign" mark forced; "sdh", "cc"
// and "hi" mark SDH ("hi" is hearing impaired, not Hindi). The first token
// that names a language sets it: a two-letter ISO 639-1 code, a real
// three-letter ISO 639-2 code (terminological ones as the bibliographic code:
// "deu" gives "ger"), a code with a region or script ("pt-BR", "en_US",
// "zh-Hans", "es-419") by its language part, or a language name in English or
// in the language itself ("German", "Deutsch", "Français"). Three-letter
// codes that are also common words of file names ("new", "pro", "pal", "war")
// do not count. Everything else is ignored ("default", "720p", "Part2").
SubtitleFile subtitleFileFor(const QString& moviePath, const QString& subtitlePath);

enum class SubtitleFileKind { None, Text, Image };
// The kind of a file by its extension (case-insensitive): the text formats
// of textSubtitleExtensions() except a ".sub" that starts with an MPEG
// program stream pack header (00 00 01 BA, VobSub images) and an ".stl" that
// is EBU STL (binary, "STL" after the three-digit code page), which ffmpeg
// would misread; image subtitles (".sup", ".idx", the VobSub ".sub"); None
// for everything else. A ".sub" or ".stl" that cannot be read counts as text.
SubtitleFileKind subtitleFileKind(const QString& path);
// The text subtitle extensions ffmpeg converts to MP4 text tracks, lower
// case, for the intake and the open dialog.
const QStringList& textSubtitleExtensions();

// The subtitle files in the movie's folder whose names belong to the movie
// (see subtitleFileFor), not following into subfolders, not hidden files.
// A file that belongs to a longer-named movie of the same folder
// (Film.Part2.en.srt when Film.Part2.mkv lies beside Film.mkv) is not the
// shorter movie's; any common video extension makes a file a movie here, so
// Film.Part2.avi keeps its subtitles too. Text files and the picture files
// that can be read as text (a PGS .sup, a VobSub .idx with the .sub beside
// it that holds its pictures) come with what their names say; half a VobSub
// pair only by path, so that the caller can note it. Every list is in file
// name order.
struct SubtitleFilesBeside
{
    QList<SubtitleFile> text;
    QList<SubtitleFile> picture;
    QStringList unreadable;
};
SubtitleFilesBeside subtitleFilesBeside(const QString& moviePath);

// A stable order of a movie's subtitle files: those whose language is among
// `preferredLanguages` (most preferred first, compared as languageRank does;
// a region form such as "en-GB" counts as its language) first, by that rank,
// then the rest; within equal rank by file name, case-insensitive, then
// exact. A path given twice is kept once, with its first entry.
QList<SubtitleFile> orderedSubtitleFiles(const QList<SubtitleFile>& files,
                                         const QStringList& preferredLanguages);
