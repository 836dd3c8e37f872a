#include "shell/OutputName.h"

#include "foundation/MakeString.h"
#include "foundation/PathHelpers.h"

#include <QDir>

QString outputFileName(const QString& movieFileName, qint64 defaultExtension)
{
    return stringByDeletingPathExtension(movieFileName) +
           (defaultExtension != 0 ? QStringLiteral(".m4v") : QStringLiteral(".mp4"));
}

QString uniqueDestination(const QString& folder, const QString& name,
                          const QStringList& queuedDestinations)
{
    const QString path = stringByAppendingPathComponent(folder, name);
    auto taken = [&](const QString& candidate) {
        const QString clean = QDir::cleanPath(candidate);
        for (const QString& queued : queuedDestinations)
            if (QDir::cleanPath(queued) == clean)
                return true;
        return fileExists(candidate);
    };
    return firstFreeName(path, taken, 1000000);
}
