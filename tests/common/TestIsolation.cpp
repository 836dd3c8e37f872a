#include "TestIsolation.h"

#include "TestSupport.h"
#include "foundation/SettingsStore.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kFolderPrefix = QStringLiteral("vantreo-test-");
// Held locked (flock) by the owning process for its whole life.
const QString kLockName = QStringLiteral(".owner-lock");

QString settingsFileIn(const QString& folder)
{
    return folder + "/home/.config/Vantreo/Vantreo.ini";
}

// Points HOME, the XDG folders, the settings file, the crash folder and the
// temporary folder into `folder`, and makes it the folder makeTempDir uses.
void useFolder(const QString& folder)
{
    const QString home = folder + "/home";
    QDir().mkpath(home + "/Documents");
    QDir().mkpath(home + "/.config");
    QDir().mkpath(folder + "/tmp");
    qputenv("HOME", QFile::encodeName(home));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home + "/.config"));
    qputenv("XDG_DATA_HOME", QFile::encodeName(home + "/.local/share"));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(home + "/.cache"));
    qputenv("VANTREO_SETTINGS_FILE", QFile::encodeName(settingsFileIn(folder)));
    qputenv("VANTREO_CRASH_DIR", QFile::encodeName(folder + "/crash"));
    qputenv("TMPDIR", QFile::encodeName(folder + "/tmp"));
    setTestRoot(folder);
}

void restoreEnvironment(const QProcessEnvironment& saved)
{
    const QProcessEnvironment now = QProcessEnvironment::systemEnvironment();
    for (const QString& key : now.keys())
        if (!saved.contains(key))
            qunsetenv(key.toLocal8Bit().constData());
    for (const QString& key : saved.keys())
        if (!now.contains(key) || now.value(key) != saved.value(key))
            qputenv(key.toLocal8Bit().constData(), saved.value(key).toLocal8Bit());
}

// Whether the process that made a test folder has ended without removing it:
// its lock is free. Folders without a lock (made by older test programs)
// count as abandoned once they have been left alone for an hour.
bool isAbandoned(const QFileInfo& folder)
{
    const int fd = ::open(QFile::encodeName(folder.filePath() + "/" + kLockName).constData(),
                          O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return folder.lastModified() < QDateTime::currentDateTime().addSecs(-3600);
    const bool free = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    ::close(fd);
    return free;
}

void removeAbandonedFolders(const QString& tempDir)
{
    const QFileInfoList folders = QDir(tempDir).entryInfoList(
        {kFolderPrefix + "*"}, QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QFileInfo& folder : folders)
        if (!folder.isSymLink() && folder.ownerId() == ::getuid() && isAbandoned(folder))
            removeFolderTree(folder.filePath());
}

// Locks a new file in `folder` and only then gives it the name others look
// for, so nobody can take the lock between its creation and its locking.
int holdOwnerLock(const QString& folder)
{
    const QByteArray unnamed = QFile::encodeName(folder + "/" + kLockName + ".new");
    const int fd = ::open(unnamed.constData(), O_CREAT | O_RDWR | O_CLOEXEC, 0600);
    if (fd < 0)
        return -1;
    if (::flock(fd, LOCK_EX) != 0 ||
        ::rename(unnamed.constData(), QFile::encodeName(folder + "/" + kLockName).constData()) !=
            0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

class IsolationListener final : public ::testing::EmptyTestEventListener
{
public:
    explicit IsolationListener(TestIsolation& isolation) : m_isolation(isolation) {}
    void OnTestStart(const ::testing::TestInfo&) override { m_isolation.beginTest(); }
    void OnTestEnd(const ::testing::TestInfo&) override { m_isolation.endTest(); }

private:
    TestIsolation& m_isolation;
};

} // namespace

bool removeFolderTree(const QString& path)
{
    const QFileInfo info(path);
    if (info.isDir() && !info.isSymLink()) {
        // Emptying a folder needs write and search permission on it.
        ::chmod(QFile::encodeName(path).constData(), S_IRWXU);
        const QStringList names = QDir(path).entryList(QDir::AllEntries | QDir::Hidden |
                                                       QDir::System | QDir::NoDotAndDotDot);
        for (const QString& name : names)
            removeFolderTree(path + "/" + name);
        return QDir().rmdir(path);
    }
    return QFile::remove(path) || !QFileInfo::exists(path);
}

void endDescendantProcesses()
{
    // Ended processes stay as zombies (excluded) until reaped; new ones may
    // still be started by a dying parent, hence the rounds.
    for (int round = 0; round < 100; ++round) {
        const QList<qint64> living = descendants(::getpid());
        if (living.isEmpty())
            return;
        for (qint64 pid : living)
            ::kill(pid_t(pid), SIGKILL);
        QThread::msleep(10);
    }
}

TestIsolation::TestIsolation()
{
    const QString tempDir = QDir::tempPath();
    removeAbandonedFolders(tempDir);
    QTemporaryDir root(tempDir + "/" + kFolderPrefix + "XXXXXX");
    if (!root.isValid())
        return;
    root.setAutoRemove(false);
    m_root = root.path();
    m_lockFd = holdOwnerLock(m_root);
    // Tools orphaned by a child that was killed come to this process, so the
    // end of the test can end them too.
    ::prctl(PR_SET_CHILD_SUBREAPER, 1);

    useFolder(m_root);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_root));
    qputenv("VANTREO_RESOURCES_DIR", VANTREO_TEST_RESOURCES_DIR);
    qunsetenv("VANTREO_TOOLS_DIR");
    qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    ::testing::UnitTest::GetInstance()->listeners().Append(new IsolationListener(*this));
}

TestIsolation::~TestIsolation()
{
    if (m_root.isEmpty())
        return;
    endDescendantProcesses();
    // A fresh settings object on a file of the folder: nothing is pending,
    // so the store's last write at exit finds nothing to write.
    SettingsStore::instance().useFile(settingsFileIn(m_root));
    removeFolderTree(m_root);
    if (m_lockFd >= 0)
        ::close(m_lockFd);
}

void TestIsolation::beginTest()
{
    m_environment = QProcessEnvironment::systemEnvironment();
    m_testFolder = QStringLiteral("%1/test-%2").arg(m_root).arg(++m_tests);
    useFolder(m_testFolder);
    SettingsStore::instance().useFile(settingsFileIn(m_testFolder));
}

void TestIsolation::endTest()
{
    endDescendantProcesses();
    restoreEnvironment(m_environment);
    setTestRoot(m_root);
    SettingsStore::instance().useFile(settingsFileIn(m_root));
    removeFolderTree(m_testFolder);
}
