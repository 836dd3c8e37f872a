#include "TestSupport.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <cstdlib>
#include <gtest/gtest.h>

// The widget tests' main: the same isolation as the other test programs (own
// home, documents folder and settings file), with a QApplication on the
// offscreen platform so windows can be built without a display.
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
    setenv("XDG_RUNTIME_DIR", root.path().toUtf8().constData(), 1);
    setenv("VANTREO_SETTINGS_FILE", (home + "/.config/Vantreo/Vantreo.ini").toUtf8().constData(),
           1);
    setenv("VANTREO_CRASH_DIR", (root.path() + "/crash").toUtf8().constData(), 1);
    setenv("VANTREO_RESOURCES_DIR", VANTREO_TEST_RESOURCES_DIR, 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    unsetenv("VANTREO_TOOLS_DIR");
    unsetenv("DBUS_SESSION_BUS_ADDRESS");
    setTestRoot(root.path());
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
