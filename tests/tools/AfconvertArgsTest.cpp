#include "afconvert/AfconvertArgs.h"

#include <algorithm>
#include <gtest/gtest.h>

TEST(AfconvertArgs, AcceptsOptionsInAnyOrder)
{
    const auto usual =
        parseAfconvertArgs({"in.wav", "-o", "out.aac", "-f", "mp4f", "-d", "aac", "-b", "128000"});
    ASSERT_TRUE(usual.args) << usual.error;
    EXPECT_EQ(usual.args->input, "in.wav");
    EXPECT_EQ(usual.args->output, "out.aac");
    EXPECT_EQ(usual.args->bitRate, 128000u);

    const auto shuffled =
        parseAfconvertArgs({"-b", "96000", "-d", "aac", "-o", "x.m4a", "a b.wav"});
    ASSERT_TRUE(shuffled.args) << shuffled.error;
    EXPECT_EQ(shuffled.args->input, "a b.wav");
    EXPECT_EQ(shuffled.args->output, "x.m4a");
    EXPECT_EQ(shuffled.args->bitRate, 96000u);

    const auto minimal = parseAfconvertArgs({"-o", "o.mp4", "in.wav"});
    ASSERT_TRUE(minimal.args);
    EXPECT_FALSE(minimal.args->bitRate.has_value());
}

TEST(AfconvertArgs, RefusesBadCommandLines)
{
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"in.wav"},                               // no -o
        {"-o", "out.m4a"},                        // no input
        {"in.wav", "-o"},                         // -o without a value
        {"in.wav", "other.wav", "-o", "out.m4a"}, // two inputs
        {"in.wav", "-o", "out.m4a", "-f", "caff"},
        {"in.wav", "-o", "out.m4a", "-d", "alac"},
        {"in.wav", "-o", "out.m4a", "-b", "0"},
        {"in.wav", "-o", "out.m4a", "-b", "-5"},
        {"in.wav", "-o", "out.m4a", "-b", "128k"},
        {"in.wav", "-o", "out.m4a", "-b", "99999999999"},
        {"in.wav", "-o", "out.m4a", "-q", "127"},
        {"in.wav", "-o", ""},
    };
    for (const auto& args : bad) {
        const auto parsed = parseAfconvertArgs(args);
        EXPECT_FALSE(parsed.args.has_value());
        EXPECT_FALSE(parsed.error.empty());
    }
}

TEST(AfconvertArgs, BuildsFfmpegCommandThatForcesMp4AndProtectsPaths)
{
    AfconvertArgs args;
    args.input = "-in:put.wav";
    args.output = "http://out.aac";
    args.bitRate = 128000;
    const std::vector<std::string> argv = ffmpegArguments(args, "/opt/ffmpeg");
    const std::vector<std::string> expected = {"/opt/ffmpeg",
                                               "-nostdin",
                                               "-hide_banner",
                                               "-nostats",
                                               "-loglevel",
                                               "error",
                                               "-y",
                                               "-i",
                                               "file:-in:put.wav",
                                               "-vn",
                                               "-c:a",
                                               "aac",
                                               "-b:a",
                                               "128000",
                                               "-f",
                                               "mp4",
                                               "file:http://out.aac"};
    EXPECT_EQ(argv, expected);

    // An ADTS stream for a reader at the other end of a FIFO.
    const auto adts = parseAfconvertArgs({"in.wav", "-o", "out.aac", "-f", "adts"});
    ASSERT_TRUE(adts.args) << adts.error;
    const std::vector<std::string> streamed = ffmpegArguments(*adts.args, "ffmpeg");
    const std::vector<std::string> tail(streamed.end() - 5, streamed.end());
    EXPECT_EQ(tail,
              (std::vector<std::string>{"-flush_packets", "0", "-f", "adts", "file:out.aac"}));
}

TEST(AfconvertArgs, LooksForFfmpegInToolsDirThenOwnDirThenPath)
{
    EXPECT_EQ(ffmpegCandidates("/tools", "/app/res", "/usr/bin::/bin"),
              (std::vector<std::string>{"/tools/ffmpeg", "/app/res/ffmpeg", "/usr/bin/ffmpeg",
                                        "./ffmpeg", "/bin/ffmpeg"}));
    EXPECT_EQ(ffmpegCandidates(nullptr, "/app/res", nullptr),
              (std::vector<std::string>{"/app/res/ffmpeg"}));
    EXPECT_EQ(ffmpegCandidates("", "", "/usr/bin"), (std::vector<std::string>{"/usr/bin/ffmpeg"}));
}

TEST(AfconvertArgs, ReadsWorkersPiecesAndLeadIn)
{
    const auto parsed = parseAfconvertArgs(
        {"in.wav", "-o", "o.aac", "-f", "adts", "-w", "3", "-p", "2.5", "-l", "8", "-e", "5400"});
    ASSERT_TRUE(parsed.args) << parsed.error;
    EXPECT_EQ(parsed.args->expectedSeconds, 5400.0);
    EXPECT_EQ(parsed.args->workers, 3u);
    EXPECT_EQ(parsed.args->pieceSeconds, 2.5);
    EXPECT_EQ(parsed.args->leadInFrames, 8u);
    for (const std::vector<std::string>& bad : {std::vector<std::string>{"-w", "0"},
                                                {"-w", "65"},
                                                {"-w", "2x"},
                                                {"-w", ""},
                                                {"-p", "0"},
                                                {"-p", "601"},
                                                {"-p", "nan"},
                                                {"-l", "1"},
                                                {"-e", "0"},
                                                {"-e", "inf"},
                                                {"-l", "-4"}}) {
        std::vector<std::string> args{"in.wav", "-o", "o.aac"};
        args.insert(args.end(), bad.begin(), bad.end());
        EXPECT_FALSE(parseAfconvertArgs(args).args) << bad[0] << " " << bad[1];
    }

    // -w first, then the environment (when it is a number in range), then
    // one worker a core.
    AfconvertArgs none;
    EXPECT_EQ(effectiveWorkers(*parsed.args, "7", 16), 3u);
    EXPECT_EQ(effectiveWorkers(none, "7", 16), 7u);
    EXPECT_EQ(effectiveWorkers(none, "lots", 16), 16u);
    EXPECT_EQ(effectiveWorkers(none, "0", 8), 8u);
    EXPECT_EQ(effectiveWorkers(none, nullptr, 0), 1u);
    EXPECT_EQ(effectiveWorkers(none, nullptr, 500), kMaxWorkers);
}
