#pragma once

#include "foundation/UniqueNames.h"

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <optional>

// File-system questions on plain path strings and file URLs. None of them
// reports errors: a failure answers absent, false or 0.

bool fileExists(const QString& path);
// Byte size of the item itself (a symbolic link is not followed); 0 when it
// cannot be read.
quint64 fileSize(const QString& path);
// A regular file, or a symbolic link that leads to one. FIFOs, sockets,
// devices and folders answer false: a tool reading one may block for ever.
bool isRegularFile(const QString& path);
// False when an item exists at the path; otherwise writes a small test file
// there, removes it again and answers whether the write worked.
bool isWriteablePath(const QString& path);
// How a flush to the disk went. Unsupported: the file system offers no
// flush for this item and says so (EINVAL or EROFS, as some FUSE and SMB
// mounts answer); nothing more can be done there.
enum class DiskSync { Done, Unsupported, Failed };
// Flushes a file's data and size to the disk (fsync), so that it survives a
// power cut; a write the kernel failed to make since it was written is
// reported here too. errno tells why when the answer is not Done.
DiskSync syncFile(const QString& path);
// Flushes a folder's entries to the disk: a file renamed or created in it is
// then found under its new name after a power cut.
DiskSync syncFolder(const QString& path);
std::optional<QStringList> dirContents(const QString& path);
std::optional<QStringList> dirContentsRecursive(const QString& path);
std::optional<QByteArray> contents(const QString& path);
// A leading "~" or "~user" replaced by that home folder.
QString expanded(const QString& path);
// A resource of the application's resources folder with exactly this name.
std::optional<QString> resourcePath(const QString& name);
std::optional<QUrl> resourceURL(const QString& name);
QUrl fileURL(const QString& path);
// The string parsed as it is; absent when it is not a valid URL.
std::optional<QUrl> URL(const QString& text);
// Percent-escapes every character that may not appear in a URL (keeping the
// reserved ones such as : / ? & = @), then parses. In a "mailto:" text the
// header values (subject, body, ...) also get "#", "&" and "+" escaped, so
// the whole value comes back when the link is read.
std::optional<QUrl> escapedURL(const QString& text);
// The bytes behind a local file URL; absent for anything else or on failure.
std::optional<QByteArray> download(const QString& text);

// The path's extension (after the last dot of the last component) and the
// path without it.
QString pathExtension(const QString& path);
QString stringByDeletingPathExtension(const QString& path);
QString lastPathComponent(const QString& path);
QString stringByDeletingLastPathComponent(const QString& path);
QString stringByAppendingPathComponent(const QString& path, const QString& component);

QUrl add(const QUrl& url, const QString& component);
bool fileExists(const QUrl& url);
std::optional<QStringList> dirContents(const QUrl& url);
std::optional<QStringList> dirContentsRecursive(const QUrl& url);
// Opens the URL with the user's default application (through the workspace).
void open(const QUrl& url);

// The next 4 bytes in the machine's byte order; missing bytes read as 0.
qint32 readInt(QIODevice& device);
float readFloat(QIODevice& device);
