#include "foundation/ToolLocator.h"

#include <AppInfo.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

bool isExecutableFile(const QString& path)
{
    const QFileInfo info(path);
    return info.isFile() && info.isExecutable();
}

} // namespace

QString ToolLocator::resourcesDir()
{
    const QByteArray fromEnv = qgetenv("VANTREO_RESOURCES_DIR");
    if (!fromEnv.isEmpty())
        return QDir::cleanPath(QString::fromLocal8Bit(fromEnv));
    const QString appDir = QCoreApplication::instance() ? QCoreApplication::applicationDirPath()
                                                        : QDir::currentPath();
    const QString installed =
        QDir::cleanPath(appDir + "/../" + QString::fromUtf8(appinfo::kResourcesInstallDir));
    if (QFileInfo(installed).isDir())
        return installed;
    const QString buildTree = QDir::cleanPath(appDir + "/../resources");
    if (QFileInfo(buildTree).isDir())
        return buildTree;
    return installed;
}

QString ToolLocator::find(const QString& name)
{
    if (name.isEmpty() || name.contains(u'/'))
        return {};
    const QByteArray toolsDir = qgetenv("VANTREO_TOOLS_DIR");
    if (!toolsDir.isEmpty()) {
        const QString candidate = QString::fromLocal8Bit(toolsDir) + "/" + name;
        if (isExecutableFile(candidate))
            return candidate;
    }
    const QString bundled = resourcesDir() + "/" + name;
    if (isExecutableFile(bundled))
        return bundled;
    return QStandardPaths::findExecutable(name);
}

QString ToolLocator::installHint(const QString& name)
{
    if (name == QLatin1String("ffmpeg") || name == QLatin1String("ffprobe"))
        return QStringLiteral("ffmpeg was not found. Install it with: sudo apt-get install ffmpeg");
    if (name == QLatin1String("mediainfo"))
        return QStringLiteral(
            "mediainfo was not found. Install it with: sudo apt-get install mediainfo");
    return QStringLiteral("%1 was not found. It is part of Vantreo and belongs in %2; "
                          "reinstall Vantreo or set VANTREO_TOOLS_DIR.")
        .arg(name, resourcesDir());
}
