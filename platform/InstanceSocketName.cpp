#include "platform/InstanceSocketName.h"

#include <AppInfo.h>
#include <QDir>
#include <QFileInfo>
#include <unistd.h>

namespace {

// The longest socket path the system takes (sun_path), with room to spare.
constexpr qsizetype kMaxSocketPath = 100;

QString safeName(const QString& display)
{
    QString out;
    for (const QChar c : display)
        out += (c.isLetterOrNumber() && c.unicode() < 128) || c == u'.' || c == u'-' ? c : u'_';
    return out.isEmpty() ? QStringLiteral("nodisplay") : out;
}

} // namespace

QString instanceSocketPath(const QString& runtimeDir, const QString& tempDir, uint userId,
                           const QString& display)
{
    const QString name = safeName(display);
    if (!runtimeDir.isEmpty() && QDir::isAbsolutePath(runtimeDir) &&
        QFileInfo(runtimeDir).isDir()) {
        const QString path = QDir::cleanPath(runtimeDir) + QLatin1Char('/') +
                             QLatin1String(appinfo::kIdentifier) + QLatin1Char('-') + name +
                             QStringLiteral(".socket");
        if (path.toLocal8Bit().size() <= kMaxSocketPath)
            return path;
    }
    return QDir::cleanPath(tempDir) + QStringLiteral("/vantreo-%1-%2.socket").arg(userId).arg(name);
}

QString instanceSocketPath()
{
    QString display = qEnvironmentVariable("WAYLAND_DISPLAY");
    if (display.isEmpty())
        display = qEnvironmentVariable("DISPLAY");
    return instanceSocketPath(qEnvironmentVariable("XDG_RUNTIME_DIR"), QDir::tempPath(),
                              uint(getuid()), display);
}
