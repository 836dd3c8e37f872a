#include "foundation/PathHelpers.h"

#include "common/TestSupport.h"
#include "foundation/FileMode.h"
#include "foundation/PlatformServices.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QUrlQuery>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void touch(const QString& path, const QByteArray& data = "x")
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(data);
}

} // namespace

TEST(PathHelpers, UniqueFileNumbersFromZero)
{
    const QString dir = makeTempDir("unique");
    const QString movie = dir + "/Movie.mp4";
    EXPECT_EQ(uniqueFile(movie), movie);
    touch(movie);
    EXPECT_EQ(uniqueFile(movie), dir + "/Movie-0.mp4");
    touch(dir + "/Movie-0.mp4");
    EXPECT_EQ(uniqueFile(movie), dir + "/Movie-1.mp4");

    touch(dir + "/Movie.tmp.aac");
    EXPECT_EQ(uniqueFile(dir + "/Movie.tmp.aac"), dir + "/Movie.tmp-0.aac");
    touch(dir + "/Name");
    EXPECT_EQ(uniqueFile(dir + "/Name"), dir + "/Name-0.");

    EXPECT_EQ(uniqueFile(QUrl::fromLocalFile(movie)), QUrl::fromLocalFile(dir + "/Movie-1.mp4"));
    EXPECT_FALSE(uniqueFile(QUrl("https://example.org/Movie.mp4")).has_value());
}

TEST(PathHelpers, WriteProbeLeavesNothingBehind)
{
    const QString dir = makeTempDir("probe");
    const QString target = dir + "/new.mp4";
    EXPECT_TRUE(isWriteablePath(target));
    EXPECT_FALSE(fileExists(target));
    EXPECT_EQ(QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).size(),
              0);

    touch(target, "keep me");
    EXPECT_FALSE(isWriteablePath(target));
    EXPECT_EQ(*contents(target), QByteArray("keep me"));

    EXPECT_FALSE(isWriteablePath(dir + "/missing/new.mp4"));
    EXPECT_FALSE(isWriteablePath(QString()));
}

TEST(PathHelpers, ExistenceAndSizeDoNotFollowLinks)
{
    const QString dir = makeTempDir("size");
    EXPECT_EQ(fileSize(dir + "/missing"), 0u);
    EXPECT_FALSE(fileExists(dir + "/missing"));
    touch(dir + "/data", QByteArray(1000, 'x'));
    EXPECT_EQ(fileSize(dir + "/data"), 1000u);
    const QString target = dir + "/data";
    ASSERT_EQ(::symlink(target.toUtf8().constData(), (dir + "/link").toUtf8().constData()), 0);
    EXPECT_EQ(fileSize(dir + "/link"), quint64(target.toUtf8().size()));
    ASSERT_EQ(::symlink("nowhere", (dir + "/dangling").toUtf8().constData()), 0);
    EXPECT_TRUE(fileExists(dir + "/dangling"));
    EXPECT_TRUE(fileExists(QUrl::fromLocalFile(dir + "/data")));
    EXPECT_FALSE(fileExists(QUrl("https://example.org" + dir + "/data")));
}

TEST(PathHelpers, FolderListings)
{
    const QString dir = makeTempDir("list");
    EXPECT_EQ(dirContents(dir), QStringList());
    touch(dir + "/.hidden");
    QDir(dir).mkpath("sub/deeper");
    touch(dir + "/sub/deeper/f");
    QStringList names = *dirContents(dir);
    names.sort();
    EXPECT_EQ(names, QStringList({".hidden", "sub"}));
    QStringList all = *dirContentsRecursive(dir);
    all.sort();
    EXPECT_EQ(all, QStringList({".hidden", "sub", "sub/deeper", "sub/deeper/f"}));
    EXPECT_FALSE(dirContents(dir + "/none").has_value());
    EXPECT_FALSE(dirContentsRecursive(dir + "/none").has_value());
    EXPECT_FALSE(dirContents(QUrl("https://example.org/")).has_value());
    EXPECT_FALSE(contents(dir + "/none").has_value());
    EXPECT_FALSE(contents(dir).has_value());
}

TEST(PathHelpers, PathComponents)
{
    EXPECT_EQ(pathExtension("/a/Movie.tmp.aac"), QStringLiteral("aac"));
    EXPECT_EQ(stringByDeletingPathExtension("/a/Movie.tmp.aac"), QStringLiteral("/a/Movie.tmp"));
    EXPECT_EQ(pathExtension("/a.b/.hidden"), QString());
    EXPECT_EQ(stringByDeletingPathExtension("/a.b/name"), QStringLiteral("/a.b/name"));
    EXPECT_EQ(lastPathComponent("/a/b/"), QStringLiteral("b"));
    EXPECT_EQ(stringByDeletingLastPathComponent("/a/b"), QStringLiteral("/a"));
    EXPECT_EQ(stringByDeletingLastPathComponent("/a"), QStringLiteral("/"));
    EXPECT_EQ(stringByDeletingLastPathComponent("a"), QString());
    EXPECT_EQ(stringByAppendingPathComponent("/a/", "b"), QStringLiteral("/a/b"));
    EXPECT_EQ(stringByAppendingPathComponent("/", "b"), QStringLiteral("/b"));
    EXPECT_EQ(add(QUrl::fromLocalFile("/a"), "b c.mp4"), QUrl::fromLocalFile("/a/b c.mp4"));
}

TEST(PathHelpers, TildeExpansion)
{
    EXPECT_EQ(expanded("~"), QDir::homePath());
    EXPECT_EQ(expanded("~/Movies/x.mkv"), QDir::homePath() + "/Movies/x.mkv");
    EXPECT_EQ(expanded("~root/x"), QStringLiteral("/root/x"));
    EXPECT_EQ(expanded("~no-such-user-vt/x"), QStringLiteral("~no-such-user-vt/x"));
    EXPECT_EQ(expanded("/a/~"), QStringLiteral("/a/~"));
}

TEST(PathHelpers, Urls)
{
    EXPECT_FALSE(URL(QString()).has_value());
    EXPECT_FALSE(URL("http://exa mple.org/").has_value());
    EXPECT_EQ(URL("https://vantreo.org/a?b=c")->host(), QStringLiteral("vantreo.org"));

    const auto mail = escapedURL(
        QString::fromUtf16(u"mailto:support@x.org?subject=A B&body=x\ny \"\u00FC\" 100% <%41>"));
    ASSERT_TRUE(mail.has_value());
    EXPECT_TRUE(mail->isValid());
    const QByteArray encoded = mail->toEncoded();
    EXPECT_TRUE(encoded.startsWith("mailto:support@x.org?subject=A%20B&body=x%0Ay"))
        << encoded.constData();
    EXPECT_TRUE(encoded.contains("%22%C3%BC%22")) << encoded.constData();
    EXPECT_TRUE(encoded.contains("100%25")) << encoded.constData();
    EXPECT_TRUE(encoded.contains("%3C%41%3E") || encoded.contains("%3CA%3E"))
        << encoded.constData();
    EXPECT_EQ(mail->scheme(), QStringLiteral("mailto"));

    // Mail header values keep every "#", "&" and "+" of their text; other
    // links keep them as the URL syntax they are.
    const auto report = escapedURL("mailto:s@x.org?subject=a#1 & b+c&body=Stream #0:1 Tom&Jerry "
                                   "a+b&cc=x&body=second");
    ASSERT_TRUE(report.has_value());
    const QUrlQuery query(*report);
    EXPECT_EQ(query.queryItemValue("subject", QUrl::FullyDecoded), "a#1 & b+c");
    EXPECT_EQ(query.queryItemValue("body", QUrl::FullyDecoded),
              "Stream #0:1 Tom&Jerry a+b&cc=x&body=second");
    EXPECT_TRUE(report->fragment().isEmpty());
    const auto page = escapedURL("https://vantreo.org/a b?x=1&y=2#top");
    ASSERT_TRUE(page.has_value());
    EXPECT_EQ(page->fragment(), "top");
    EXPECT_EQ(QUrlQuery(*page).queryItemValue("y"), "2");

    const QString dir = makeTempDir("url");
    touch(dir + "/file", "bytes");
    EXPECT_EQ(download(fileURL(dir + "/file").toString()), QByteArray("bytes"));
    EXPECT_FALSE(download("https://example.org/").has_value());
    EXPECT_EQ(fileURL("rel/x").toLocalFile(), QDir::currentPath() + "/rel/x");
}

TEST(PathHelpers, ResourcesByExactName)
{
    const QByteArray saved = qgetenv("VANTREO_RESOURCES_DIR");
    const QString dir = makeTempDir("resources");
    qputenv("VANTREO_RESOURCES_DIR", dir.toUtf8());
    touch(dir + "/FAQ.rtf");
    EXPECT_EQ(resourcePath("FAQ.rtf"), dir + "/FAQ.rtf");
    EXPECT_EQ(resourceURL("FAQ.rtf"), QUrl::fromLocalFile(dir + "/FAQ.rtf"));
    EXPECT_FALSE(resourcePath("FAQ").has_value());
    EXPECT_FALSE(resourceURL("History.rtf").has_value());
    qputenv("VANTREO_RESOURCES_DIR", saved);
}

TEST(PathHelpers, OpenGoesToTheWorkspace)
{
    struct Recorder : Workspace
    {
        QList<QUrl>* opened;
        explicit Recorder(QList<QUrl>* list) : opened(list) {}
        void openURL(const QUrl& url) override { opened->append(url); }
    };
    QList<QUrl> opened;
    setWorkspaceService(std::make_unique<Recorder>(&opened));
    open(QUrl("mailto:a@b.c"));
    setWorkspaceService(std::make_unique<Workspace>());
    EXPECT_EQ(opened, QList<QUrl>({QUrl("mailto:a@b.c")}));
}

TEST(PathHelpers, ReadIntUsesHostOrderAndZeroFillsMissingBytes)
{
    QByteArray data("\x00\x00\x01\xBA\x00\x00\x80\x3F\x07", 9);
    QBuffer buffer(&data);
    ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
    EXPECT_EQ(quint32(readInt(buffer)), 0xBA010000u);
    EXPECT_EQ(readFloat(buffer), 1.0f);
    EXPECT_EQ(readInt(buffer), 7);
    EXPECT_EQ(readInt(buffer), 0);
}

TEST(FileMode, UmaskIsReadFromTheProcessStatusAndGivesTheModeOfANewFile)
{
    EXPECT_EQ(umaskFromStatus("Name:\tvantreo\nUmask:\t0002\nState:\tR (running)\n"), 02u);
    EXPECT_EQ(umaskFromStatus("Umask:\t0077"), 077u);
    EXPECT_FALSE(umaskFromStatus("Name:\tvantreo\nState:\tR\n").has_value());
    EXPECT_FALSE(umaskFromStatus("Umask:\t0089\n").has_value());
    const mode_t before = ::umask(027);
    EXPECT_EQ(currentUmask(), 027u);
    EXPECT_EQ(newFileMode(), 0640u);
    ::umask(before);
}
