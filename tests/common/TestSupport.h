#pragma once

#include <QByteArray>
#include <QList>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <functional>

// Shared by every test executable. Every test has a fresh temporary home
// folder, documents folder and settings file of its own, whether CTest runs
// it in a process of its own or the test program runs all its tests in one
// (TestIsolation, set up by the test mains).

// The running test's temporary folder (its fake home is inside it); removed
// with everything in it when the test ends.
QString testRoot();
void setTestRoot(const QString& root);
// A fresh empty folder inside testRoot().
QString makeTempDir(const QString& name);

// Runs a program to its end; answers its exit status (-1 when it could not
// run). Output goes to `output` when given.
int runProgram(const QString& program, const QStringList& args, QString* output = nullptr,
               int timeoutMs = 120000);
// Runs the real ffmpeg with "-hide_banner -loglevel error -y" before args;
// true on exit status 0.
bool ffmpeg(const QStringList& args);
// Writes the bytes as the whole file; false when it could not be written.
bool writeBytes(const QString& path, const QByteArray& bytes);
// ffprobe's JSON description of a file (streams and format), or empty.
QString ffprobeJson(const QString& path);

// Every living (non-zombie) descendant of a process.
QList<qint64> descendants(qint64 root);

// Pumps the event loop until the condition holds or the time is up.
bool waitUntil(const std::function<bool()>& condition, int timeoutMs = 60000);

// This process's environment without the language variables and with LANG
// C.UTF-8: a child program's messages are English whatever the machine's
// language.
QProcessEnvironment englishEnvironment();

// Build-tree locations.
QString binDir();
QString resourcesDir();
QString sourceDir();
