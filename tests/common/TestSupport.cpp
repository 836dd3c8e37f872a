#include "TestSupport.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>
#include <QUuid>

namespace {
QString& rootStorage()
{
    static QString root;
    return root;
}
} // namespace

void setTestRoot(const QString& root)
{
    rootStorage() = root;
}

QString testRoot()
{
    return rootStorage();
}

void isolateTestProcess(const QString& root)
{
    const QString home = root + "/home";
    QDir().mkpath(home + "/Documents");
    QDir().mkpath(home + "/.config");
    qputenv("HOME", home.toUtf8());
    qputenv("XDG_CONFIG_HOME", (home + "/.config").toUtf8());
    qputenv("XDG_DATA_HOME", (home + "/.local/share").toUtf8());
    qputenv("XDG_CACHE_HOME", (home + "/.cache").toUtf8());
    qputenv("XDG_RUNTIME_DIR", root.toUtf8());
    qputenv("VANTREO_SETTINGS_FILE", (home + "/.config/Vantreo/Vantreo.ini").toUtf8());
    qputenv("VANTREO_CRASH_DIR", (root + "/crash").toUtf8());
    qputenv("VANTREO_RESOURCES_DIR", VANTREO_TEST_RESOURCES_DIR);
    qunsetenv("VANTREO_TOOLS_DIR");
    qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    setTestRoot(root);
}

QString makeTempDir(const QString& name)
{
    const QString path =
        testRoot() + "/" + name + "-" + QUuid::createUuid().toString(QUuid::Id128).left(8);
    QDir().mkpath(path);
    return path;
}

int runProgram(const QString& program, const QStringList& args, QString* output, int timeoutMs)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.setStandardInputFile(QProcess::nullDevice());
    p.start(program, args);
    if (!p.waitForStarted(10000))
        return -1;
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        return -1;
    }
    if (output)
        *output = QString::fromUtf8(p.readAll());
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

bool ffmpeg(const QStringList& args)
{
    QString out;
    const int rc =
        runProgram("ffmpeg", QStringList{"-hide_banner", "-loglevel", "error", "-y"} + args, &out);
    if (rc != 0)
        qWarning("ffmpeg failed (%d): %s", rc, qPrintable(out));
    return rc == 0;
}

QString ffprobeJson(const QString& path)
{
    QProcess p;
    p.start("ffprobe",
            {"-v", "error", "-print_format", "json", "-show_streams", "-show_format", path});
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

bool waitUntil(const std::function<bool()>& condition, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(5);
    }
    return true;
}

QString binDir()
{
    return QStringLiteral(VANTREO_TEST_BIN_DIR);
}
QString resourcesDir()
{
    return QStringLiteral(VANTREO_TEST_RESOURCES_DIR);
}
QString sourceDir()
{
    return QStringLiteral(VANTREO_TEST_SOURCE_DIR);
}
