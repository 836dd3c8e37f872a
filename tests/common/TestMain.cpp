#include "TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

// Gives every test process its own home, documents folder and settings file,
// so tests never touch the user's files and can run in parallel.
int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    QTemporaryDir root(QDir::tempPath() + "/vantreo-test-XXXXXX");
    if (!root.isValid())
        return 2;
    const QString home = root.path() + "/home";
    QDir().mkpath(home + "/Documents");
    QDir().mkpath(home + "/.config");
    setenv("HOME", home.toUtf8().constData(), 1);
    setenv("XDG_CONFIG_HOME", (home + "/.config").toUtf8().constData(), 1);
    setenv("XDG_DATA_HOME", (home + "/.local/share").toUtf8().constData(), 1);
    setenv("XDG_CACHE_HOME", (home + "/.cache").toUtf8().constData(), 1);
    setenv("VANTREO_SETTINGS_FILE", (home + "/.config/Vantreo/Vantreo.ini").toUtf8().constData(), 1);
    setenv("VANTREO_CRASH_DIR", (root.path() + "/crash").toUtf8().constData(), 1);
    setenv("VANTREO_RESOURCES_DIR", VANTREO_TEST_RESOURCES_DIR, 1);
    unsetenv("VANTREO_TOOLS_DIR");
    unsetenv("DBUS_SESSION_BUS_ADDRESS");
    setTestRoot(root.path());
    QCoreApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
