#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

// File names on Linux are bytes; Qt names files with QStrings decoded from
// those bytes as UTF-8, whatever the locale. Bytes that are not UTF-8 (Latin-1
// names from old archives and SMB shares) decode to U+FFFD, and the QString
// then leads nowhere. These helpers work on the bytes themselves.

// The longest file name (one path component) Linux file systems take.
inline constexpr qsizetype kMaxNameBytes = 255;

// Whether a QString can stand for these bytes: decoded and encoded again
// (QFile::decodeName, QFile::encodeName) they come back unchanged.
bool roundTripsAsName(const QByteArray& bytes);
// A name for these bytes that any program can use and a user can read:
// every byte that is not UTF-8 becomes U+FFFD, the replacement character
// (the mark other programs show for such a name too). Shortened before its
// extension when the replacements make it longer than kMaxNameBytes.
QString cleanFileName(const QByteArray& nameBytes);

// The bytes of a local file URL's path, taken from its percent-encoding, so
// that file:///Caf%E9.mkv keeps its E9; empty for any other URL.
QByteArray localPathBytes(const QUrl& url);
// A file URL for a path's bytes, each byte kept (percent-encoded).
QUrl fileURLFromBytes(const QByteArray& path);

// The path made absolute against `folder` and cleaned of ".", ".." and
// doubled slashes, byte for byte.
QByteArray absolutePathBytes(const QByteArray& path, const QByteArray& folder);
// The folder part ("/" for a top-level item) and the last component.
QByteArray folderBytes(const QByteArray& path);
QByteArray nameBytes(const QByteArray& path);
// The current working folder's bytes; empty when it cannot be read.
QByteArray currentFolderBytes();
