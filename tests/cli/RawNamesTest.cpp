#include "CliProcessKit.h"
#include "MovieFactory.h"
#include "TestSupport.h"

#include <QFile>
#include <algorithm>
#include <cstdio>
#include <dirent.h>
#include <gtest/gtest.h>

using namespace clikit;

namespace {

// A folder's entries by their bytes (QDir decodes them).
QList<QByteArray> rawEntries(const QString& folder)
{
    QList<QByteArray> names;
    DIR* dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return names;
    while (const dirent* entry = ::readdir(dir))
        if (QByteArray(entry->d_name) != "." && QByteArray(entry->d_name) != "..")
            names.append(entry->d_name);
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

TEST(RawNames, LatinOneNameConvertsAndAutoRemoveDeletesTheRealMovie)
{
    const Home h = makeHome("raw-names");
    const QString dir = makeTempDir("raw-names-movies");
    const QByteArray folder = QFile::encodeName(dir);
    const QString made = makeSmallMovie(dir + "/made.mkv", "aac", 1);
    ASSERT_FALSE(made.isEmpty());
    ASSERT_TRUE(writeSrt(dir + "/made.srt"));
    ASSERT_EQ(std::rename(QFile::encodeName(made).constData(),
                          (folder + "/Caf\xe9 Noir.mkv").constData()),
              0);
    ASSERT_EQ(std::rename(QFile::encodeName(dir + "/made.srt").constData(),
                          (folder + "/Caf\xe9 Noir.srt").constData()),
              0);
    ASSERT_EQ(run({"settings", "AutoRemove", "1"}, h.env).status, 0);
    ASSERT_EQ(run({"settings", "AutoRemoveType", "1"}, h.env).status, 0);

    // QProcess hands over QStrings; the shell's glob hands over the bytes.
    QProcess cli;
    cli.setWorkingDirectory(dir);
    cli.setProcessEnvironment(h.env);
    cli.setStandardInputFile(QProcess::nullDevice());
    cli.start("/bin/sh", {"-c", "exec \"$0\" convert -- Caf*", binDir() + "/vantreo-cli"});
    const Outcome o = finish(cli);
    ASSERT_EQ(o.status, 0) << qPrintable(o.err);

    const QString output = dir + QString::fromUtf8("/Caf\uFFFD Noir.mp4");
    EXPECT_TRUE(o.out.contains("Finished: " + output)) << qPrintable(o.out);
    QStringList codecs;
    for (const QJsonValue& stream : probeStreams(output))
        codecs.append(streamValue(stream, "codec_name"));
    EXPECT_EQ(codecs, QStringList({"mpeg4", "aac", "mov_text"}));
    // The real movie is gone, its subtitle file stays, and nothing of ours is
    // left: no link, no temporary file.
    EXPECT_EQ(rawEntries(dir), QList<QByteArray>({"Caf\xe9 Noir.srt",
                                                  QFile::encodeName(output).mid(dir.size() + 1)}));
    EXPECT_TRUE(rawEntries(h.home + "/.local/share/Vantreo/links").isEmpty());
    EXPECT_TRUE(rawEntries(h.documents()).isEmpty());
    EXPECT_TRUE(rawEntries(h.cache()).isEmpty());
}
