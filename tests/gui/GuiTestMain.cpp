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
    isolateTestProcess(root.path());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
