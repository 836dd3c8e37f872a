#pragma once

#include <QString>
#include <QUrl>
#include <functional>
#include <optional>

// The unique-name rule of every file Vantreo makes: a path that is taken
// gives way to "base-0.ext", "base-1.ext", ... in turn.

// The n-th name of the rule for `path`: the path itself for n < 0, else
// "base-n.ext".
QString numberedName(const QString& path, int n);
// The first name of the rule that `taken` does not claim, trying at most
// `limit` numbered names; the path itself when every one is taken.
QString firstFreeName(const QString& path, const std::function<bool(const QString&)>& taken,
                      int limit);

// The path itself when nothing exists there, else the first free
// "base-N.ext" with N counting from 0. Reserves nothing.
QString uniqueFile(const QString& path);
std::optional<QUrl> uniqueFile(const QUrl& url);
