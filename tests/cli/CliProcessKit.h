#pragma once

#include "TestSupport.h"

#include <QByteArray>
#include <QList>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <functional>

// Helpers for tests that run the built vantreo-cli as a child process and
// check what it leaves behind: files, temporary files and processes.
namespace clikit {

struct Outcome
{
    int status = -1; // -1: did not end normally (killed, timed out)
    QString out;
    QString err;
};

// A home folder (with Documents) and settings file of its own.
struct Home
{
    QString home;
    QString settings;
    QProcessEnvironment env;
    QString documents() const { return home + "/Documents"; }
    // Where the progress and temporary audio files live.
    QString cache() const { return home + "/.cache/Vantreo"; }
};

Home makeHome(const QString& name);

Outcome run(const QStringList& args, const QProcessEnvironment& env, int timeoutMs = 120000);

// Starts the CLI without waiting; the caller reads it with finish().
void start(QProcess& cli, const QStringList& args, const QProcessEnvironment& env);
Outcome finish(QProcess& cli, int timeoutMs = 120000);

// Every living (non-zombie) descendant of a process (shared with the other tests).
using ::descendants;
bool processAlive(qint64 pid);
// The short command name of a process ("ffmpeg", "afconvert", …).
QString processName(qint64 pid);
// Waits until a descendant of `root` named `name` runs; 0 when none came.
qint64 waitForDescendant(qint64 root, const QString& name, int timeoutMs = 30000);
// Waits until a descendant ffmpeg converts (its command line carries
// "-progress"; probing a movie runs ffmpeg too); answers its pid or 0.
qint64 waitForConversion(qint64 root, int timeoutMs = 30000);
// Waits until a conversion runs and nothing else (no movie being probed)
// has run beside it for `quietMs`: every movie given is then in the queue.
bool waitUntilAllQueued(qint64 root, int quietMs = 700, int timeoutMs = 30000);
// Every process in `pids` has ended (waits a little for the kernel).
bool allGone(const QList<qint64>& pids);

// Entries of a folder, "." and ".." left out.
QStringList entries(const QString& folder);
// What a run left in the documents and the cache folder (temporary files).
QStringList temporaryEntries(const Home& h);

// Size, modification time and content checksum: a source must keep all three.
QByteArray fingerprint(const QString& path);

bool writeExecutable(const QString& path, const QByteArray& text);
QString readText(const QString& path);

// A small movie (mpeg4 video, one audio track in `audioCodec`).
QString makeSmallMovie(const QString& path, const QString& audioCodec, int seconds = 2,
                       const QString& bitrate = {});

// A tmpfs mounted on a folder for the life of the object (root only).
class Tmpfs final
{
public:
    Tmpfs(const QString& folder, const QString& size);
    ~Tmpfs();
    Tmpfs(const Tmpfs&) = delete;
    Tmpfs& operator=(const Tmpfs&) = delete;
    bool mounted() const { return m_mounted; }
    bool remountReadOnly();

private:
    QString m_folder;
    bool m_mounted = false;
};

} // namespace clikit
