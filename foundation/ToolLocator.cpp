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

QString programDir()
{
    return QCoreApplication::instance() ? QCoreApplication::applicationDirPath()
                                        : QDir::currentPath();
}

} // namespace

QString ToolLocator::resourcesDir()
{
    const QByteArray fromEnv = qgetenv("VANTREO_RESOURCES_DIR");
    if (!fromEnv.isEmpty())
        return QDir::cleanPath(QString::fromLocal8Bit(fromEnv));
    const QString appDir = programDir();
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
    const QByteArray fromEnv = qgetenv("VANTREO_TOOLS_DIR");
    if (!fromEnv.isEmpty()) {
        const QString candidate = QString::fromLocal8Bit(fromEnv) + "/" + name;
        if (isExecutableFile(candidate))
            return candidate;
    }
    for (const QString& dir : {toolsDir(), resourcesDir()}) {
        const QString bundled = dir + "/" + name;
        if (isExecutableFile(bundled))
            return bundled;
    }
    return QStandardPaths::findExecutable(name);
}

QString ToolLocator::toolsDir()
{
    const QString installed =
        QDir::cleanPath(programDir() + "/../" + QString::fromUtf8(appinfo::kToolsInstallDir));
    if (QFileInfo(installed).isDir())
        return installed;
    return resourcesDir();
}

QString ToolLocator::installHint(const QString& name)
{
    if (name == QLatin1String("ffmpeg") || name == QLatin1String("ffprobe"))
        return tr("%1 was not found. Install it with: %2")
            .arg(QStringLiteral("ffmpeg"), QStringLiteral("sudo apt-get install ffmpeg"));
    if (name == QLatin1String("mediainfo"))
        return tr("%1 was not found. Install it with: %2")
            .arg(QStringLiteral("mediainfo"), QStringLiteral("sudo apt-get install mediainfo"));
    return tr("%1 was not found. It is part of Vantreo and belongs in %2; "
              "reinstall Vantreo or set VANTREO_TOOLS_DIR.")
        .arg(name, toolsDir());
}
