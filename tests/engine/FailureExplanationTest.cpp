#include "engine/FailureExplanation.h"

#include "foundation/PathHelpers.h"

#include <QUrlQuery>
#include <gtest/gtest.h>

namespace {

const QString kSubtitlesHint = QStringLiteral(
    "This is most likely related to the subtitles embedded into the movie. Please disable "
    "conversion of embedded subtitles in the preferences and try again.");
const QString kFileHint = QStringLiteral("This is most likely related to the subtitle file you "
                                         "have specified. Please try again without the subtitle "
                                         "file.");

QString message(const QString& hint, const QString& commandLine, const QString& output)
{
    return "A problem prevented the file from being converted. " + hint +
           " You can contact our support with this information so that we can fix this "
           "problem.\n\nCommand-line: " +
           commandLine + "\nCommand-output: " + output;
}

} // namespace

TEST(FailureExplanation, KnownCausesGetTheirOwnMessage)
{
    const FailureExplanation space = explainFailure(
        "av_interleaved_write_frame(): No space left on device", {"-i", "x"}, true, true, true);
    EXPECT_EQ(space.title, "Conversion Failed");
    EXPECT_EQ(space.message, freeSpaceFailureText());
    EXPECT_TRUE(space.message.startsWith("Movie conversion failed because there is not enough "
                                         "free space left on the destination volume."));
    EXPECT_EQ(space.defaultButton, "OK");
    EXPECT_FALSE(space.offersSupportMail);

    const FailureExplanation removed = explainFailure("USER_REMOVED", {}, true, false, false);
    EXPECT_EQ(removed.title, "Conversion Failed");
    EXPECT_EQ(removed.message, "Movie conversion failed because you've removed/renamed the source "
                               "movie file or unmounted it's volume.");
    EXPECT_FALSE(removed.offersSupportMail);
}

TEST(FailureExplanation, OtherFailuresOfferASupportMail)
{
    const QString output = QString(399, 'a') + "bc";
    const QStringList args = {"-i", "/m/Movie.mkv", "-stats"};
    const FailureExplanation e = explainFailure(output, args, true, true, false);
    EXPECT_EQ(e.title, "Information");
    EXPECT_EQ(e.message, message("", "-i /m/Movie.mkv -stats", QString(399, 'a') + "b"));
    EXPECT_EQ(e.defaultButton, "Send to support");
    EXPECT_EQ(e.alternateButton, "Cancel");
    EXPECT_TRUE(e.offersSupportMail);

    EXPECT_EQ(explainFailure("x", args, false, true, false).message,
              message(kSubtitlesHint, "-i /m/Movie.mkv -stats", "x"));
    EXPECT_EQ(explainFailure("x", args, false, false, false).message,
              message("", "-i /m/Movie.mkv -stats", "x"));
    // The subtitle file hint wins.
    EXPECT_EQ(explainFailure("x", args, false, true, true).message,
              message(kFileHint, "-i /m/Movie.mkv -stats", "x"));
    // Subtitles kept by language: the hint names them; none kept, no hint.
    EXPECT_EQ(
        explainFailure("x", args, false, true, false, {}, QStringList{"ger", "eng", "unk", "und"})
            .message,
        message("This is most likely related to the subtitles embedded into the movie "
                "(kept for the languages ger, eng, untagged). Please disable conversion "
                "of embedded subtitles in the preferences and try again.",
                "-i /m/Movie.mkv -stats", "x"));
    EXPECT_EQ(explainFailure("x", args, false, true, false, {}, QStringList{}).message,
              message("", "-i /m/Movie.mkv -stats", "x"));
    // What the check of the written file found names the cause over both.
    EXPECT_EQ(explainFailure("x", args, false, true, true,
                             "The converted file has no video "
                             "frames.")
                  .message,
              message("The converted file has no video frames.", "-i /m/Movie.mkv -stats", "x"));
}

TEST(FailureExplanation, ProblemReportText)
{
    const QString base =
        "mailto:support@example.org?subject=Vantreo v1.0 Problem Report&body=Hello\n"
        "Conversion of a file failed.\n\nBye\n\nP.S. Details: -i a.mkv whole "
        "output\n\n\nP.P.S: Hardware: ThinkPad Software: Debian 12 ";
    EXPECT_EQ(problemReportMailText("support@example.org", "Vantreo", "1.0", "-i a.mkv",
                                    "whole output", "ThinkPad", "Debian 12", ""),
              base);
    EXPECT_EQ(problemReportMailText("support@example.org", "Vantreo", "1.0", "-i a.mkv",
                                    "whole output", "ThinkPad", "Debian 12", " Problems: 2"),
              base + " Problems: 2");
}

TEST(FailureExplanation, ProblemReportLinkCarriesTheWholeBody)
{
    // What ffmpeg really says, with the "#" of every stream address, a file
    // name with "&" and "+", a lone and an escape-like "%", and UTF-8.
    const QString output = QString::fromUtf8(
        "Input #0, matroska,webm, from '/m/Tom&Jerry+1 100% %zz.mkv':\n"
        "  Stream #0:1(eng): Audio: aac\nError opening /m/\xc3\x96l.srt: No such file");
    const QString commandLine = "-i /m/Tom&Jerry+1 100% %zz.mkv -map 0:1";
    const QString text =
        problemReportMailText("support@example.org", "Vantreo", "1.0", commandLine, output,
                              "ThinkPad X1", "Debian GNU/Linux 12 (bookworm)", " Problems: 1");
    const auto url = escapedURL(text);
    ASSERT_TRUE(url.has_value());
    const QUrl parsed(url->toString(QUrl::FullyEncoded), QUrl::StrictMode);
    ASSERT_TRUE(parsed.isValid()) << qPrintable(parsed.errorString());
    EXPECT_EQ(parsed.scheme(), "mailto");
    EXPECT_EQ(parsed.path(), "support@example.org");
    EXPECT_TRUE(parsed.fragment().isEmpty());
    const QUrlQuery query(parsed);
    EXPECT_EQ(query.queryItemValue("subject", QUrl::FullyDecoded), "Vantreo v1.0 Problem Report");
    const QString body = query.queryItemValue("body", QUrl::FullyDecoded);
    EXPECT_EQ(body, text.mid(text.indexOf("&body=") + 6));
    EXPECT_TRUE(body.contains(output));
    EXPECT_TRUE(body.endsWith("P.P.S: Hardware: ThinkPad X1 Software: Debian GNU/Linux 12 "
                              "(bookworm)  Problems: 1"));
    EXPECT_EQ(query.queryItems().size(), 2);
}
