#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// Saved destination folders. A bookmark is the folder's absolute path as
// UTF-8 bytes; there is no sandbox here, so access to an existing folder is
// always granted and stopping it does nothing.

// Absent (with the reason in `error`) when the path is not an existing folder.
std::optional<QByteArray> bookmarkForFolder(const QString& folder, QString* error = nullptr);
// The folder behind a bookmark; absent when it no longer exists.
std::optional<QString> resolveBookmark(const QByteArray& bookmark);
bool startAccessingFolder(const QString& folder);
void stopAccessingFolder(const QString& folder);
// Resolvable and accessible: what the launch upkeep keeps.
bool isUsableBookmark(const QByteArray& bookmark);
