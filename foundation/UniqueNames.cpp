#include "foundation/UniqueNames.h"

#include "foundation/MakeString.h"
#include "foundation/PathHelpers.h"

#include <climits>

QString numberedName(const QString& path, int n)
{
    if (n < 0)
        return path;
    return makeString("%@-%i.%@", stringByDeletingPathExtension(path), n, pathExtension(path));
}

QString firstFreeName(const QString& path, const std::function<bool(const QString&)>& taken,
                      int limit)
{
    for (int n = -1; n < limit; ++n) {
        const QString candidate = numberedName(path, n);
        if (!taken(candidate))
            return candidate;
    }
    return path;
}

QString uniqueFile(const QString& path)
{
    return firstFreeName(
        path, [](const QString& candidate) { return fileExists(candidate); }, INT_MAX);
}

std::optional<QUrl> uniqueFile(const QUrl& url)
{
    if (!url.isLocalFile())
        return std::nullopt;
    return QUrl::fromLocalFile(uniqueFile(url.toLocalFile()));
}
