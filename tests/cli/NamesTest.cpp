#include "CliProcessKit.h"
#include "MovieFactory.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace clikit;

namespace {

// Names that trip up shells, format strings, option parsers and file systems.
QStringList oddBaseNames()
{
    return {
        "With spaces in it",
        "100%",
        "%s %d %n %@",
        "It's",
        "Say \"cheese\"",
        "-x",
        "Part 1: The Colon",
        "[Group] Title [1080p]",
        QString::fromUtf8("Café Straße 日本 🎬"),
        QString(246, u'L'), // 250 bytes with ".mkv"
        "Film",
        "FILM", // differs from "Film" only in case
    };
}

bool hasMovText(const QString& path)
{
    for (const QJsonValue& s : probeStreams(path))
        if (streamValue(s, "codec_name") == "mov_text")
            return true;
    return false;
}

void convertOddNames(const QStringList& baseNames, const QString& audioCodec, const QString& style)
{
    const Home h = makeHome("names-" + style);
    const QString dir = makeTempDir("names-movies-" + style);
    const QString prototype = makeSmallMovie(dir + "/prototype.bin.mkv", audioCodec, 1);
    ASSERT_FALSE(prototype.isEmpty());
    QStringList movies;
    for (const QString& base : baseNames) {
        const QString movie = dir + "/" + base + ".mkv";
        ASSERT_TRUE(QFile::copy(prototype, movie)) << qPrintable(movie);
        ASSERT_TRUE(writeSrt(dir + "/" + base + ".srt"));
        // Relative names after "--": "-x.mkv" must not be read as an option.
        // Each subtitle file is handed over with its movie and pairs by name.
        movies << base + ".srt" << base + ".mkv";
    }
    ASSERT_TRUE(QFile::remove(prototype));
    QProcessEnvironment env = h.env;
    QProcess cli;
    cli.setWorkingDirectory(dir);
    start(cli, QStringList{"convert", "--style", style, "--"} + movies, env);
    const Outcome r = finish(cli);
    EXPECT_EQ(r.status, 0) << qPrintable(r.err);
    for (const QString& base : baseNames) {
        const QString output = dir + "/" + base + ".mp4";
        SCOPED_TRACE(base.toStdString());
        // Printed literally: a '%' stays '%', UTF-8 stays UTF-8.
        EXPECT_TRUE(r.out.contains("Finished: " + output + "\n")) << qPrintable(r.out);
        ASSERT_TRUE(QFileInfo::exists(output));
        EXPECT_TRUE(hasMovText(output));
    }
    // A movie, a subtitle file and an output per name; nothing else.
    EXPECT_EQ(entries(dir).size(), 3 * baseNames.size()) << qPrintable(entries(dir).join('\n'));
    EXPECT_TRUE(temporaryEntries(h).isEmpty()) << qPrintable(temporaryEntries(h).join('\n'));
}

} // namespace

TEST(Names, OddNamesConvertWithTheirSubtitlesWhenAudioIsCopied)
{
    convertOddNames(oddBaseNames(), "aac", "compatible");
}

// The three-process method writes temporary files named after the movie in
// the documents folder; a long name must still fit, odd characters must
// survive.
TEST(Names, OddNamesConvertThroughTheThreeProcessMethod)
{
    const QStringList names = oddBaseNames();
    convertOddNames({names.at(1), names.at(2), names.at(3), names.at(8), names.at(9)}, "ac3",
                    "compatible");
}
