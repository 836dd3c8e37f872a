#pragma once

#include <QString>
#include <QStringList>
#include <functional>

// Shared by every test executable. Each test runs in its own process (CTest
// starts one per test) with a fresh temporary home folder, documents folder
// and settings file, set up by the test main before QCoreApplication exists.

// The per-process temporary folder (the fake home is inside it).
QString testRoot();
void setTestRoot(const QString& root);
// Points HOME, the XDG folders, the settings file, the crash folder and the
// resources folder into `root`, so a test process never touches the user's
// files; called by the test mains before the application object exists.
void isolateTestProcess(const QString& root);
// A fresh empty folder inside testRoot().
QString makeTempDir(const QString& name);

// Runs a program to its end; answers its exit status (-1 when it could not
// run). Output goes to `output` when given.
int runProgram(const QString& program, const QStringList& args, QString* output = nullptr,
               int timeoutMs = 120000);
// Runs the real ffmpeg with "-hide_banner -loglevel error -y" before args;
// true on exit status 0.
bool ffmpeg(const QStringList& args);
// ffprobe's JSON description of a file (streams and format), or empty.
QString ffprobeJson(const QString& path);

// Pumps the event loop until the condition holds or the time is up.
bool waitUntil(const std::function<bool()>& condition, int timeoutMs = 60000);

// Build-tree locations.
QString binDir();
QString resourcesDir();
QString sourceDir();
