#include "TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <cstdlib>
#include <gtest/gtest.h>

// Gives every test process its own home, documents folder and settings file,
// so tests never touch the user's files and can run in parallel.
int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    QTemporaryDir root(QDir::tempPath() + "/vantreo-test-XXXXXX");
    if (!root.isValid())
        return 2;
    isolateTestProcess(root.path());
    QCoreApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
