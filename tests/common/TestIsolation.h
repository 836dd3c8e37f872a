#pragma once

#include <QProcessEnvironment>
#include <QString>

// Keeps a test process off the user's files and leaves nothing behind.
//
// The process gets a folder of its own in the temporary folder
// (vantreo-test-XXXXXX), and every test a fresh folder inside it with its own
// home, documents folder, settings file and temporary folder, so a test
// neither sees nor depends on what another test of the same process left.
// When a test ends, the processes it started that still run (also tools
// orphaned by a killed child: the test process adopts them) are ended, the
// environment is put back as it was before the test, and the test's folder is
// removed, read-only entries included. The process folder goes when the
// object does; folders of test processes that were killed before they could
// clean up are removed by the next test process.
//
// Created by the test mains before the application object exists.
class TestIsolation final
{
public:
    TestIsolation();
    ~TestIsolation();
    TestIsolation(const TestIsolation&) = delete;
    TestIsolation& operator=(const TestIsolation&) = delete;

    bool isValid() const { return !m_root.isEmpty(); }

    // Called around every test by a listener the constructor installs.
    void beginTest();
    void endTest();

private:
    QString m_root;
    int m_lockFd = -1;
    int m_tests = 0;
    QString m_testFolder;
    QProcessEnvironment m_environment;
};

// Removes a folder and everything in it, also entries without write or
// search permission. True when nothing of it is left.
bool removeFolderTree(const QString& path);
// Ends (SIGKILL) every living descendant of this process.
void endDescendantProcesses();
