#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// The character encoding of a subtitle file, as the name ffmpeg's
// -sub_charenc takes. ffmpeg reads text subtitles as UTF-8 (or UTF-16 after a
// byte order mark) and stops at the first byte that is not; files in a
// legacy code page need their encoding named before their "-i".

// The -sub_charenc value for a subtitle file of these bytes. Absent when
// ffmpeg must be told nothing: a UTF-8 or UTF-16 byte order mark (ffmpeg reads
// those itself, and naming UTF-16 would make it decode the text twice), or
// valid UTF-8, plain ASCII included. Otherwise the detector's answer when
// iconv knows it and decodes every byte with it, else "WINDOWS-1252" (the
// code page of most older and downloaded files), else "ISO-8859-1", which
// decodes any byte.
std::optional<QString> subtitleEncoding(const QByteArray& bytes);

// Subtitle files run to a few hundred kilobytes; the head of anything larger
// tells its encoding just as well.
inline constexpr qint64 kSubtitleExaminedBytes = 4 * 1024 * 1024;

// The same for the file at `path`, judged by its first kSubtitleExaminedBytes.
// Absent when it cannot be read: ffmpeg then reports the file itself.
std::optional<QString> subtitleFileEncoding(const QString& path);
