#include "foundation/HalvornLib.h"

#include "ScopedInfoValue.h"
#include "TestSupport.h"
#include "foundation/HostInformation.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

void touch(const QString& path)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
}

} // namespace

TEST(HalvornLib, NameAndFolders)
{
    HalvornLib& info = appInfo();
    EXPECT_EQ(info.appName(), "Vantreo");
    EXPECT_FALSE(info.appVersionString().isEmpty());
    EXPECT_GT(info.appVersion(), 0);

    const QString documents = QDir::homePath() + "/Documents";
    ASSERT_TRUE(QDir(documents).removeRecursively());
    ASSERT_FALSE(QFileInfo::exists(documents));
    EXPECT_EQ(info.docDir(), documents);
    EXPECT_TRUE(QFileInfo(documents).isDir());
    EXPECT_EQ(info.docURL().toLocalFile(), documents);
    EXPECT_TRUE(info.suppDir().endsWith("/Vantreo"));
    EXPECT_TRUE(info.suppDir().startsWith(QDir::homePath()));
    // The cache folder follows XDG_CACHE_HOME and is made when missing.
    const QString cache = qEnvironmentVariable("XDG_CACHE_HOME") + "/Vantreo";
    QDir(cache).removeRecursively();
    EXPECT_EQ(info.cacheDir(), cache);
    EXPECT_TRUE(QFileInfo(cache).isDir());
}

TEST(HalvornLib, CrashReportsAreCountedByNameInAnyCase)
{
    HalvornLib& info = appInfo();
    const QString folder = HalvornLib::crashReportsFolder();
    QDir(folder).removeRecursively();
    EXPECT_FALSE(info.appCrashLogs().has_value());

    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_TRUE(info.appCrashLogs().has_value());
    EXPECT_TRUE(info.appCrashLogs()->isEmpty());

    touch(folder + "/_usr_bin_vantreo.0.crash");
    touch(folder + "/VANTREO.crash");
    touch(folder + "/other.crash");
    auto logs = info.appCrashLogs();
    ASSERT_TRUE(logs.has_value());
    logs->sort();
    EXPECT_EQ(*logs, (QStringList{"VANTREO.crash", "_usr_bin_vantreo.0.crash"}));
    EXPECT_EQ(crashReportNote(), " Problems: 2");
}

TEST(HalvornLib, ServiceLinks)
{
    HalvornLib& info = appInfo();
    QDir(HalvornLib::crashReportsFolder()).removeRecursively();
    const QString support = info.serviceLinkText(1);
    EXPECT_TRUE(support.startsWith("mailto:")) << qPrintable(support);
    EXPECT_TRUE(support.contains(QString("?subject=Vantreo v%1 (%2) Support Request&body=Insert "
                                         "Support Request Here\n\n\n\nP.S: Hardware: ")
                                     .arg(info.appVersionString())
                                     .arg(info.appVersion())))
        << qPrintable(support);
    EXPECT_TRUE(
        support.endsWith(" Software: " + XTHostInformation::operatingSystemVersionString()));

    const ScopedInfoValue feedback("FeedbackEmail", QString("help@example.org"));
    EXPECT_TRUE(info.serviceLinkText(2).startsWith(
        "mailto:help@example.org?subject=Vantreo Beta Versions&body=Hello\nI would like to test "
        "upcoming beta versions of Vantreo.\nBye\n"));

    const ScopedInfoValue store("StoreProductPage", QString("https://store.example/https/app"));
    EXPECT_EQ(info.serviceLinkText(4), "https://store.example/https/app");
    EXPECT_EQ(info.serviceLinkText(5), "macappstore://store.example/macappstore/app");
    EXPECT_EQ(info.serviceLinkText(0), "");
    EXPECT_EQ(info.serviceLinkText(7), "");
}

TEST(HalvornLib, MissingVersionKeyReadsZero)
{
    const ScopedInfoValue version("CFBundleVersion", QString("12b"));
    EXPECT_EQ(appInfo().appVersion(), 12);
    HalvornLib::overrideInfoValue("CFBundleVersion", std::nullopt);
    HalvornLib::overrideInfoValue("CFBundleVersion", QString("beta"));
    EXPECT_EQ(appInfo().appVersion(), 0);
}

TEST(HostInformation, DiskNumberForDevice)
{
    EXPECT_EQ(XTHostInformation::diskNumberForDevice("/dev/sda2"), 0);
    EXPECT_EQ(XTHostInformation::diskNumberForDevice("/dev/vdb1"), 1);
    EXPECT_EQ(XTHostInformation::diskNumberForDevice("/dev/nvme0n1p2"), 0);
    EXPECT_EQ(XTHostInformation::diskNumberForDevice("/dev/nvme2n1p1"), 2);
    EXPECT_EQ(XTHostInformation::diskNumberForDevice("/dev/xvdc"), 2);
    EXPECT_EQ(XTHostInformation::diskNumberForDevice("/dev/mapper/x"), -1);
    EXPECT_EQ(XTHostInformation::diskNumberForDevice("overlay"), -1);
    EXPECT_EQ(XTHostInformation::diskNumberForDevice(""), -1);
    // Asked twice, the same answer.
    EXPECT_EQ(XTHostInformation::bootDiskBSDNum(), XTHostInformation::bootDiskBSDNum());
}
