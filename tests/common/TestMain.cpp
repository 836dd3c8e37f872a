#include "TestIsolation.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

// Gives the test process and every test its own home, documents folder and
// settings file, so tests never touch the user's files, can run in parallel
// and leave nothing behind.
int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    TestIsolation isolation;
    if (!isolation.isValid())
        return 2;
    QCoreApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
