#include "engine/RawNameLinks.h"

#include "common/TestSupport.h"
#include "engine/SourceMovie.h"
#include "foundation/PathBytes.h"
#include "foundation/PlatformServices.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <cstdio>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

// Files whose names are not UTF-8, reached through links with clean names.

namespace {

const QString kClean = QString::fromUtf8("Caf\uFFFD Noir");

bool writeRaw(const QByteArray& path, const QByteArray& data = "movie bytes")
{
    FILE* file = std::fopen(path.constData(), "wb");
    if (!file)
        return false;
    const bool written =
        std::fwrite(data.constData(), 1, size_t(data.size()), file) == size_t(data.size());
    return std::fclose(file) == 0 && written;
}

bool rawExists(const QByteArray& path)
{
    struct stat info
    {
    };
    return ::lstat(path.constData(), &info) == 0;
}

class ScriptedWorkspace final : public Workspace
{
public:
    bool trashWorks = false;
    QStringList trashed;
    QList<QUrl> opened;
    void openURL(const QUrl& url) override { opened.append(url); }
    bool moveToTrash(const QString& path) override
    {
        trashed.append(path);
        return trashWorks && QFile::moveToTrash(path);
    }
};

} // namespace

TEST(RawNameLinks, LinksKeepSubtitlesWithTheirMovieAndLookAlikeNamesApart)
{
    const QString dir = makeTempDir("raw-links");
    const QByteArray folder = QFile::encodeName(dir);
    const QByteArray movie = folder + "/Caf\xe9 Noir.mkv";
    const QByteArray subtitle = folder + "/Caf\xe9 Noir.en.srt";
    const QByteArray lookAlike = folder + "/Caf\xe8 Noir.mkv";
    for (const QByteArray& path : {movie, subtitle, lookAlike})
        ASSERT_TRUE(writeRaw(path));

    EXPECT_EQ(RawNameLinks::usablePath(folder + "/Plain.mkv"), dir + "/Plain.mkv");
    const QString link = RawNameLinks::usablePath(movie);
    EXPECT_TRUE(link.startsWith(RawNameLinks::linksRoot() + "/")) << qPrintable(link);
    EXPECT_EQ(QFileInfo(link).fileName(), kClean + ".mkv");
    EXPECT_EQ(QFileInfo(link).size(), QByteArray("movie bytes").size());
    EXPECT_EQ(RawNameLinks::usablePath(movie), link); // handed over again
    // The subtitle sits beside its movie's link and pairs by name; the other
    // movie, whose clean name is the same, gets a folder of its own.
    const QString subtitleLink = RawNameLinks::usablePath(subtitle);
    EXPECT_EQ(QFileInfo(subtitleLink).path(), QFileInfo(link).path());
    const QString lookAlikeLink = RawNameLinks::usablePath(lookAlike);
    EXPECT_EQ(QFileInfo(lookAlikeLink).fileName(), kClean + ".mkv");
    EXPECT_NE(QFileInfo(lookAlikeLink).path(), QFileInfo(link).path());

    EXPECT_EQ(RawNameLinks::realPathBytes(link), movie);
    EXPECT_EQ(RawNameLinks::realPathBytes(lookAlikeLink), lookAlike);
    EXPECT_EQ(RawNameLinks::displayPath(link), dir + "/" + kClean + ".mkv");
    EXPECT_EQ(RawNameLinks::realFolder(link), dir);
    EXPECT_FALSE(RawNameLinks::realPathBytes(dir + "/Plain.mkv"));
    // Nothing to link to: the decoded name, which reads as no such file.
    EXPECT_EQ(RawNameLinks::usablePath(folder + "/Gone\xe9.mkv"),
              dir + QString::fromUtf8("/Gone\uFFFD.mkv"));

    // A folder named so is reached through a link too, and so is what is below it.
    const QByteArray theatre = folder + "/Th\xe9\xe2tre";
    ASSERT_EQ(::mkdir(theatre.constData(), 0755), 0);
    ASSERT_TRUE(writeRaw(theatre + "/Film.mkv"));
    const QString film = RawNameLinks::usablePath(theatre + "/Film.mkv");
    EXPECT_EQ(QFileInfo(film).fileName(), "Film.mkv");
    const QString theatreLink = RawNameLinks::realFolder(film);
    EXPECT_TRUE(QFileInfo(theatreLink).isDir());
    EXPECT_EQ(RawNameLinks::realPathBytes(theatreLink + "/Out.mp4"), theatre + "/Out.mp4");

    // The links of a run that is gone are swept, never what they lead to;
    // this run's stay.
    const QString deadRun = RawNameLinks::linksRoot() + "/boot-99999999-1";
    ASSERT_TRUE(QDir().mkpath(deadRun + "/1"));
    ASSERT_EQ(::symlink(movie.constData(), QFile::encodeName(deadRun + "/1/Old.mkv").constData()),
              0);
    RawNameLinks::removeStale();
    EXPECT_FALSE(QFileInfo::exists(deadRun));
    EXPECT_TRUE(rawExists(movie));
    EXPECT_TRUE(QFileInfo(link).isFile());
    RawNameLinks::removeLink(link);
    EXPECT_FALSE(rawExists(QFile::encodeName(link)));
    EXPECT_TRUE(rawExists(movie));
}

TEST(SourceMovie, AfterConversionSettingsActOnTheRealMovieBehindTheLink)
{
    auto owned = std::make_unique<ScriptedWorkspace>();
    ScriptedWorkspace* workspace = owned.get();
    setWorkspaceService(std::move(owned));
    const QString dir = makeTempDir("raw-disposal");
    const QByteArray folder = QFile::encodeName(dir);
    const QByteArray movie = folder + "/Caf\xe9 Noir.mkv";
    ASSERT_TRUE(writeRaw(movie));
    const QString link = RawNameLinks::usablePath(movie);

    // The Trash refuses: the movie stays, under its own name.
    trashSourceMovie(link);
    EXPECT_EQ(workspace->trashed, QStringList{dir + "/" + kClean + ".mkv"});
    EXPECT_TRUE(rawExists(movie));
    EXPECT_FALSE(QFileInfo::exists(dir + "/" + kClean + ".mkv"));
    EXPECT_TRUE(QFileInfo(link).isFile());

    workspace->trashWorks = true;
    trashSourceMovie(link);
    EXPECT_FALSE(rawExists(movie));
    EXPECT_FALSE(rawExists(QFile::encodeName(link)));
    const QString trashed = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                            "/Trash/files/" + kClean + ".mkv";
    EXPECT_EQ(QFileInfo(trashed).size(), QByteArray("movie bytes").size());

    // Shown in its real folder; deleted itself, and its link with it.
    const QByteArray other = folder + "/Th\xe9.mkv";
    ASSERT_TRUE(writeRaw(other));
    const QString otherLink = RawNameLinks::usablePath(other);
    revealSourceMovie(otherLink);
    EXPECT_EQ(workspace->opened, QList<QUrl>{fileURLFromBytes(folder)});
    deleteSourceMovie(otherLink);
    EXPECT_FALSE(rawExists(other));
    EXPECT_FALSE(rawExists(QFile::encodeName(otherLink)));
    setWorkspaceService(std::make_unique<Workspace>());
}
