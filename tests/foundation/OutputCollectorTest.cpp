#include "foundation/OutputCollector.h"

#include "foundation/LineSplitter.h"

#include <gtest/gtest.h>

TEST(LineSplitter, EndsLinesAtLfCrAndCrLf)
{
    LineSplitter splitter;
    EXPECT_EQ(splitter.feed("a\nb\rc\r\nd"), QStringList({"a", "b", "c"}));
    EXPECT_EQ(splitter.feed("e\r"), QStringList({"de"}));
    // The LF of a CR LF split across chunks ends nothing more.
    EXPECT_EQ(splitter.feed("\nf\n\n"), QStringList({"f", ""}));
    // UTF-8 as written, even when a chunk ends inside a character ("Ö" is
    // C3 96); an invalid byte becomes U+FFFD instead of losing the line.
    EXPECT_EQ(splitter.feed("Error opening '\xc3"), QStringList());
    EXPECT_EQ(splitter.feed("\x96l.srt'\ntail \xe9"),
              QStringList({QString::fromUtf8("Error opening '\xc3\x96l.srt'")}));
    EXPECT_EQ(splitter.takeRemainder(), QString::fromUtf16(u"tail \uFFFD"));
    EXPECT_EQ(splitter.takeRemainder(), "");
}

TEST(OutputCollector, DropsRunningStatisticsAndKeepsOneLinePerLine)
{
    EXPECT_TRUE(isStatisticsLine(
        "frame=  120 fps=0.0 q=-1.0 size=  256kB time=00:00:05.00 bitrate= 419.4kbits/s"));
    EXPECT_FALSE(isStatisticsLine("size=  256kB time=00:00:05.00 bitrate= 419.4kbits/s"));

    OutputCollector out;
    out.feed("[mp4 @ 0x1] warning one\nframe=  1 fps=0 bitrate=1k\rframe=  2 fps=0 bitrate=2k\r");
    out.feed("size=1kB time=00:00:01 bitrate=8k\nError wri");
    EXPECT_EQ(out.text(), "[mp4 @ 0x1] warning one\nsize=1kB time=00:00:01 bitrate=8k\n");
    out.feed("ting\r\n");
    EXPECT_EQ(out.text(),
              "[mp4 @ 0x1] warning one\nsize=1kB time=00:00:01 bitrate=8k\nError writing\n");
    out.feed("No space left on device");
    out.finish();
    EXPECT_TRUE(out.text().endsWith("Error writing\nNo space left on device\n"));

    out.feed("half");
    out.clear();
    out.feed("\nnext\n");
    EXPECT_EQ(out.text(), "next\n");
    out.setText("USER_REMOVED");
    EXPECT_EQ(out.text(), "USER_REMOVED");
}
