#include "CliProcessKit.h"

#include "MovieFactory.h"
#include "TestSupport.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QThread>
#include <unistd.h>

namespace clikit {

Home makeHome(const QString& name)
{
    Home h;
    h.home = makeTempDir(name);
    QDir().mkpath(h.home + "/Documents");
    h.settings = h.home + "/settings.ini";
    h.env = englishEnvironment();
    h.env.insert("HOME", h.home);
    h.env.insert("XDG_CONFIG_HOME", h.home + "/.config");
    h.env.insert("XDG_DATA_HOME", h.home + "/.local/share");
    h.env.insert("XDG_CACHE_HOME", h.home + "/.cache");
    h.env.insert("VANTREO_SETTINGS_FILE", h.settings);
    return h;
}

void start(QProcess& cli, const QStringList& args, const QProcessEnvironment& env)
{
    cli.setProcessEnvironment(env);
    cli.setStandardInputFile(QProcess::nullDevice());
    cli.start(binDir() + "/vantreo-cli", args);
    cli.waitForStarted();
}

Outcome finish(QProcess& cli, int timeoutMs)
{
    Outcome r;
    if (!cli.waitForFinished(timeoutMs)) {
        cli.kill();
        cli.waitForFinished();
    } else if (cli.exitStatus() == QProcess::NormalExit) {
        r.status = cli.exitCode();
    }
    r.out = QString::fromUtf8(cli.readAllStandardOutput());
    r.err = QString::fromUtf8(cli.readAllStandardError());
    return r;
}

Outcome run(const QStringList& args, const QProcessEnvironment& env, int timeoutMs)
{
    QProcess cli;
    start(cli, args, env);
    return finish(cli, timeoutMs);
}

QString readText(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

bool processAlive(qint64 pid)
{
    const QString stat = readText(QString("/proc/%1/stat").arg(pid));
    return !stat.isEmpty() && stat.mid(stat.lastIndexOf(')') + 2, 1) != "Z";
}

QString processName(qint64 pid)
{
    return readText(QString("/proc/%1/comm").arg(pid)).trimmed();
}

qint64 waitForDescendant(qint64 root, const QString& name, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < timeoutMs) {
        for (qint64 pid : descendants(root))
            if (processName(pid) == name)
                return pid;
        QThread::msleep(20);
    }
    return 0;
}

qint64 waitForConversion(qint64 root, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    for (bool first = true; first || clock.elapsed() < timeoutMs; first = false) {
        for (qint64 pid : descendants(root)) {
            QFile cmdline(QString("/proc/%1/cmdline").arg(pid));
            if (processName(pid) == "ffmpeg" && cmdline.open(QIODevice::ReadOnly) &&
                cmdline.readAll().contains(QByteArray("\0-progress\0", 11)))
                return pid;
        }
        QThread::msleep(20);
    }
    return 0;
}

bool waitUntilAllQueued(qint64 root, int quietMs, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    qint64 quietSince = -1;
    while (clock.elapsed() < timeoutMs) {
        const qint64 converting = waitForConversion(root, 0);
        const bool others = descendants(root).size() > 1;
        if (!converting || others)
            quietSince = -1;
        else if (quietSince < 0)
            quietSince = clock.elapsed();
        else if (clock.elapsed() - quietSince >= quietMs)
            return true;
        QThread::msleep(20);
    }
    return false;
}

bool allGone(const QList<qint64>& pids)
{
    return waitUntil(
        [&pids] {
            for (qint64 pid : pids)
                if (processAlive(pid))
                    return false;
            return true;
        },
        5000);
}

QStringList entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden |
                                  QDir::System);
}

QStringList temporaryEntries(const Home& h)
{
    return entries(h.documents()) + entries(h.cache());
}

QByteArray fingerprint(const QString& path)
{
    const QFileInfo info(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QByteArray::number(info.size()) + ' ' +
           QByteArray::number(info.lastModified().toMSecsSinceEpoch()) + ' ' +
           QCryptographicHash::hash(file.readAll(), QCryptographicHash::Md5).toHex();
}

bool writeExecutable(const QString& path, const QByteArray& text)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    file.write(text);
    file.close();
    return file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                               QFileDevice::ExeOwner);
}

QString makeSmallMovie(const QString& path, const QString& audioCodec, int seconds,
                       const QString& bitrate)
{
    MovieRecipe movie;
    movie.path = path;
    movie.seconds = seconds;
    movie.size = QStringLiteral("64x48");
    movie.frameRate = 5;
    AudioRecipe audio;
    audio.codec = audioCodec;
    audio.bitrate = bitrate;
    movie.audio = {audio};
    return ::makeMovie(movie) ? path : QString();
}

Tmpfs::Tmpfs(const QString& folder, const QString& size) : m_folder(folder)
{
    if (::geteuid() != 0)
        return;
    QDir().mkpath(folder);
    m_mounted = runProgram("mount", {"-t", "tmpfs", "-o", "size=" + size, "tmpfs", folder}) == 0;
}

Tmpfs::~Tmpfs()
{
    if (m_mounted)
        runProgram("umount", {"-l", m_folder});
}

bool Tmpfs::remountReadOnly()
{
    return m_mounted && runProgram("mount", {"-o", "remount,ro", m_folder}) == 0;
}

} // namespace clikit
