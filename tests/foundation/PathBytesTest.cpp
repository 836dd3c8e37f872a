#include "foundation/PathBytes.h"

#include <QFile>
#include <gtest/gtest.h>

TEST(PathBytes, NamesThatAreNotUtf8AreFoundOutAndGivenACleanName)
{
    const QByteArray latin1("Caf\xe9 Noir.mkv");
    EXPECT_FALSE(roundTripsAsName(latin1));
    EXPECT_FALSE(roundTripsAsName("/media/Th\xe9\xe2tre 80/Film.mkv"));
    EXPECT_TRUE(roundTripsAsName(QByteArray("Caf\xc3\xa9 Noir.mkv")));
    EXPECT_TRUE(roundTripsAsName("100% [x] 'y'.mkv"));

    // Each invalid byte becomes U+FFFD; valid UTF-8 stays as it is.
    EXPECT_EQ(cleanFileName(latin1), QString::fromUtf8("Caf\uFFFD Noir.mkv"));
    EXPECT_EQ(cleanFileName("\xe9t\xe9.srt"), QString::fromUtf8("\uFFFDt\uFFFD.srt"));
    EXPECT_EQ(cleanFileName("Caf\xc3\xa9.mkv"), QString::fromUtf8("Café.mkv"));
    // Three bytes for each replaced one: a long name is cut before its
    // extension to stay a valid name.
    const QString longName = cleanFileName(QByteArray(200, '\xe9') + ".mkv");
    EXPECT_LE(QFile::encodeName(longName).size(), kMaxNameBytes);
    EXPECT_TRUE(longName.endsWith(QString::fromUtf8("\uFFFD.mkv")));
}

TEST(PathBytes, DroppedUrlsKeepTheirBytesAndPathsAreMadeAbsolute)
{
    EXPECT_EQ(localPathBytes(QUrl("file:///m/Caf%E9%20Noir.mkv")), "/m/Caf\xe9 Noir.mkv");
    EXPECT_EQ(localPathBytes(QUrl::fromLocalFile(QString::fromUtf8("/m/Café 100%.mkv"))),
              "/m/Caf\xc3\xa9 100%.mkv");
    EXPECT_EQ(localPathBytes(QUrl("https://example.org/a.mkv")), QByteArray());
    const QByteArray raw("/m/Th\xe9\xe2tre/Caf\xe9 #1?.mkv");
    EXPECT_EQ(localPathBytes(fileURLFromBytes(raw)), raw);

    EXPECT_EQ(absolutePathBytes("Caf\xe9.mkv", "/home/a/../b"), "/home/b/Caf\xe9.mkv");
    EXPECT_EQ(absolutePathBytes("/x//\xe9/./y.mkv", "/ignored"), "/x/\xe9/y.mkv");
    EXPECT_EQ(folderBytes("/m/\xe9/F.mkv"), "/m/\xe9");
    EXPECT_EQ(folderBytes("/F.mkv"), "/");
    EXPECT_EQ(nameBytes("/m/\xe9/F\xe9.mkv"), "F\xe9.mkv");
}
