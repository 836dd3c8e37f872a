#include "TestIsolation.h"

#include <QApplication>
#include <gtest/gtest.h>

// The widget tests' main: the same isolation as the other test programs (own
// home, documents folder and settings file for the process and every test),
// with a QApplication on the offscreen platform so windows can be built
// without a display.
int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    TestIsolation isolation;
    if (!isolation.isValid())
        return 2;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
