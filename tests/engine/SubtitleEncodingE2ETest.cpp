#include "common/JobTestKit.h"
#include "common/MovieFactory.h"
#include "common/TestSupport.h"
#include "common/WrittenBoxes.h"
#include "engine/ConversionJob.h"
#include "engine/JobState.h"
#include "shell/AppDelegate.h"

#include <QFile>
#include <QPointer>
#include <QStringEncoder>
#include <gtest/gtest.h>

// Subtitle files in a legacy code page and in UTF-16, converted for real: the
// MP4's text track, read back by ffmpeg, holds the characters of the file.

namespace {

const QString kFirstCue = QString::fromUtf8("Café chez Müller");
const QString kSecondCue = QString::fromUtf8("Le français, c’est élégant et très réussi.");

QString cueText()
{
    return "1\r\n00:00:00,000 --> 00:00:01,000\r\n" + kFirstCue +
           "\r\n\r\n2\r\n00:00:01,000 --> 00:00:02,000\r\n" + kSecondCue + "\r\n\r\n";
}

class SubtitleFileEncodings : public ConversionTestBase
{
protected:
    // Converts `source` with the subtitle file of these bytes; checks that the
    // text track came out whole and enabled, and answers what ffmpeg reads
    // back from it as SubRip.
    QString convertWithSubtitles(const QString& source, const QByteArray& srtBytes,
                                 bool throughMuxStage)
    {
        const QString srt = source.chopped(4) + ".srt";
        QFile file(srt);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(srtBytes) == srtBytes.size());
        file.close();
        ConversionJob* job = makeJob(source, source.chopped(4) + ".mp4", 0, srt);
        EXPECT_EQ(job->slowmode(), throughMuxStage);
        const QString dest = job->destinationPath();
        QPointer<ConversionJob> watched = job;
        EXPECT_TRUE(delegate->addJob(job));
        EXPECT_TRUE(waitUntil([&] {
            return !watched || watched->state() == JobFinished || watched->state() == JobFailed;
        }));
        if (!watched)
            return {};
        EXPECT_EQ(job->state(), JobFinished) << job->jobOutput().toStdString();
        EXPECT_EQ(job->verificationProblem(), "");

        const auto boxes = readBoxes(dest);
        EXPECT_TRUE(boxes.has_value());
        if (!boxes)
            return {};
        const auto text = tracksOf(*boxes, "sbtl");
        EXPECT_EQ(text.size(), 1u);
        if (text.size() != 1u)
            return {};
        EXPECT_EQ(fourCCText(text[0].sampleEntry), "tx3g");
        EXPECT_TRUE(text[0].enabled);
        EXPECT_GE(text[0].sampleCount, 2u);
        // The subtitle file is left as it was.
        EXPECT_TRUE(file.open(QIODevice::ReadOnly) && file.readAll() == srtBytes);

        QString read;
        EXPECT_EQ(runProgram("ffmpeg",
                             {"-hide_banner", "-loglevel", "error", "-i", dest, "-map", "0:s:0",
                              "-f", "srt", "-"},
                             &read),
                  0)
            << read.toStdString();
        return read;
    }

    QString movieWith(const QString& name, const QString& audioCodec)
    {
        MovieRecipe movie;
        movie.path = dir() + "/" + name;
        AudioRecipe audio;
        audio.codec = audioCodec;
        audio.language = "fre";
        movie.audio = {audio};
        EXPECT_TRUE(makeMovie(movie));
        return movie.path;
    }
};

} // namespace

TEST_F(SubtitleFileEncodings, Windows1252AndUtf16FilesGiveMovTextWithTheRightCharacters)
{
    // Windows-1252, where "’" is the byte 0x92; ffmpeg alone stops on it.
    QByteArray western = cueText().toLatin1();
    western.replace('?', '\x92');
    const QString copied =
        convertWithSubtitles(movieWith("Copied.mkv", "aac"), western, /*throughMuxStage=*/false);
    EXPECT_TRUE(copied.contains(kFirstCue)) << copied.toStdString();
    EXPECT_TRUE(copied.contains(kSecondCue)) << copied.toStdString();

    // UTF-16 little-endian with its byte order mark, through the mux stage.
    QStringEncoder utf16(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom);
    const QByteArray wide = utf16.encode(cueText());
    const QString muxed =
        convertWithSubtitles(movieWith("Muxed.mkv", "libmp3lame"), wide, /*throughMuxStage=*/true);
    EXPECT_TRUE(muxed.contains(kFirstCue)) << muxed.toStdString();
    EXPECT_TRUE(muxed.contains(kSecondCue)) << muxed.toStdString();
}
