#include "common/JobTestKit.h"
#include "common/MovieFactory.h"
#include "common/TestSupport.h"
#include "foundation/SettingsAccess.h"
#include "foundation/SettingsKeys.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <csignal>
#include <gtest/gtest.h>

// The desktop program quits on SIGTERM while a job's MP4Box step runs: the
// main thread never waits on a tool, so the signal is answered at once and
// the tool goes with the program.

namespace {

bool writeExecutable(const QString& path, const QByteArray& text)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
        return false;
    file.close();
    return file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
}

QList<qint64> pidsIn(const QString& path)
{
    QFile file(path);
    QList<qint64> pids;
    if (file.open(QIODevice::ReadOnly))
        for (const QByteArray& line : file.readAll().split('\n'))
            if (!line.trimmed().isEmpty())
                pids.append(line.trimmed().toLongLong());
    return pids;
}

// The process has ended: gone, or a zombie (an orphan is reaped by whoever
// adopts it, which in some containers is nobody).
bool hasEnded(qint64 pid)
{
    const char state = processStateLetter(pid);
    return state == 0 || state == 'Z';
}

} // namespace

TEST(DesktopQuit, SigtermWhileMp4BoxRunsEndsTheProgramAndItsTools)
{
    const QString dir = makeTempDir("movies");
    MovieRecipe movie;
    movie.path = dir + "/Surround.mkv";
    AudioRecipe stereo, surround;
    surround.codec = "ac3";
    surround.channels = 6;
    movie.audio = {stereo, surround};
    ASSERT_TRUE(makeMovie(movie));

    // A stand-in MP4Box that takes a minute; the real one is too quick to
    // be caught running.
    const QString tools = makeTempDir("tools");
    const QString started = dir + "/mp4box.pids";
    ASSERT_TRUE(writeExecutable(tools + "/MP4Box",
                                "#!/bin/sh\necho $$ >> '" + started.toUtf8() + "'\nsleep 60\n"));
    // The movie is queued on its own into a saved folder, in the style that
    // keeps the surround track (MP4Box sets its flag).
    const QString out = makeTempDir("out");
    setDefaultArray(kDestinationBookmarksKey, {out.toUtf8()});
    setDefaultArray(kDestinationNamesKey, {QFileInfo(out).fileName()});
    setDefaultInt(kDefaultDestinationKey, 2);
    setDefaultInt(kAutoAddKey, 1);
    setDefaultInt(kIncludeSurroundTrackKey, 1);
    setDefaultInt(kConversionPresetKey, 0);
    setDefaultInt(kWelcomeShownKey, 1);
    synchronize();

    // The test's own home, settings file and runtime folder are inherited.
    QProcessEnvironment env = englishEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("VANTREO_TOOLS_DIR", tools);
    env.remove("DBUS_SESSION_BUS_ADDRESS");
    QProcess program;
    program.setProcessEnvironment(env);
    program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    program.setStandardInputFile(QProcess::nullDevice());
    program.start(binDir() + "/vantreo", {movie.path});
    ASSERT_TRUE(program.waitForStarted());

    ASSERT_TRUE(waitUntil([&] { return !pidsIn(started).isEmpty(); }, 120000))
        << "the job never reached its MP4Box step";
    const QList<qint64> tools_ = descendants(program.processId());
    ASSERT_FALSE(tools_.isEmpty());

    ::kill(pid_t(program.processId()), SIGTERM);
    // Before, the program answered only once MP4Box had ended, a minute later.
    ASSERT_TRUE(program.waitForFinished(5000)) << "the program did not end on SIGTERM";
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    for (const qint64 pid : tools_ + pidsIn(started))
        EXPECT_TRUE(waitUntil([pid] { return hasEnded(pid); }, 5000)) << "left behind: " << pid;
    // Nothing unfinished stays behind.
    EXPECT_TRUE(QDir(out).entryList(QDir::Files | QDir::Hidden).isEmpty())
        << qPrintable(QDir(out).entryList(QDir::Files | QDir::Hidden).join(", "));
    EXPECT_TRUE(temporaryEntries().isEmpty()) << qPrintable(temporaryEntries().join(", "));
}
