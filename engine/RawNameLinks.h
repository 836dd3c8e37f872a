#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// Paths whose bytes no QString can hold (see PathBytes.h) are reached
// through symbolic links with clean names, kept in a folder of this run under
// the application's data folder: the probe, the tools, the output name and
// every list of the program see the link, and the after-conversion settings
// act on the real item behind it. A link is only ever removed, never what it
// leads to. Main thread only.
//
// Links of one folder and one name stem (the name up to its first dot) share
// a subfolder, so a movie and its subtitle files keep pairing by name; names
// that only differ in invalid bytes get subfolders of their own.
namespace RawNameLinks {

// A path for these bytes that the rest of the program can use: the decoded
// path when the bytes round-trip, otherwise a link to the item (made on first
// use, relative paths taken from the current folder). An item that does not
// exist, or a link that cannot be made, gives the decoded path, which then
// reads as "no such file".
QString usablePath(const QByteArray& path);
QStringList usablePaths(const QList<QByteArray>& paths);

// The bytes of the real item behind one of our links (also for a path below
// a linked folder); absent for any other path.
std::optional<QByteArray> realPathBytes(const QString& path);
// The real item's path as a user reads it (invalid bytes as U+FFFD); any
// other path unchanged.
QString displayPath(const QString& path);
// A usable path of the folder that holds the real item (a link when its
// bytes do not round-trip either); the path's own folder for other paths.
QString realFolder(const QString& path);

// Removes one of our links (not what it leads to); other paths are left.
void removeLink(const QString& path);
// Removes the links of runs that are no longer alive (after the files the
// journal names for those runs, which may lie behind them).
void removeStale();
// The folder holding every run's links.
QString linksRoot();

} // namespace RawNameLinks
