#include "TestSupport.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QHash>
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

bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QString ffprobeJson(const QString& path)
{
    QProcess p;
    p.start("ffprobe",
            {"-v", "error", "-print_format", "json", "-show_streams", "-show_format", path});
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

QList<qint64> descendants(qint64 root)
{
    QHash<qint64, QList<qint64>> children;
    for (const QString& entry : QDir("/proc").entryList(QDir::Dirs)) {
        bool isPid = false;
        entry.toLongLong(&isPid);
        if (!isPid)
            continue;
        QFile file("/proc/" + entry + "/stat");
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QString stat = QString::fromUtf8(file.readAll());
        const QStringList fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 1 && fields.at(0) != "Z")
            children[fields.at(1).toLongLong()].append(entry.toLongLong());
    }
    QList<qint64> out;
    QList<qint64> todo{root};
    while (!todo.isEmpty()) {
        for (qint64 child : children.value(todo.takeFirst())) {
            out.append(child);
            todo.append(child);
        }
    }
    return out;
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

QProcessEnvironment englishEnvironment()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES"})
        env.remove(QString::fromLatin1(name));
    env.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
    return env;
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
