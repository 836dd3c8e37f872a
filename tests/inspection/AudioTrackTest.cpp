#include "inspection/AudioTrack.h"

#include <climits>
#include <gtest/gtest.h>

TEST(AudioTrack, DescriptorLinesAreMadeFromTheTrackAndReadBackForSavedQueues)
{
    AudioTrack track;
    track.streamIndex = 12;
    track.language = "eng";
    track.codec = "dts";
    track.surround = AudioTrack::Surround::FivePointOne;
    EXPECT_EQ(track.descriptor(), "#12: eng (dts) [5.1]");
    EXPECT_EQ(track.displayText(), " eng (dts) [5.1]");

    const AudioTrack d = audioTrackFromDescriptor("#12: eng (dts) [5.1]");
    EXPECT_EQ(d.streamIndex, 12);
    EXPECT_EQ(d.language, "eng");
    EXPECT_EQ(d.codec, "dts");
    EXPECT_TRUE(d.isSurround());
    EXPECT_EQ(d.descriptor(), track.descriptor());
    EXPECT_FALSE(audioTrackFromDescriptor("#1: ger (aac)").isSurround());
    EXPECT_EQ(audioTrackFromDescriptor("#2: eng (truehd) [7.1]").surround,
              AudioTrack::Surround::SevenPointOne);

    // Odd text never crashes and reads as empty parts.
    for (const QString odd : {"", "#", "#:", "garbage", "#x: eng", "#3 eng (a", "#7: e ()"}) {
        const AudioTrack o = audioTrackFromDescriptor(odd);
        EXPECT_GE(o.streamIndex, 0) << odd.toStdString();
    }
    EXPECT_EQ(audioTrackFromDescriptor("#x: eng").streamIndex, 0);
    EXPECT_EQ(audioTrackFromDescriptor("#7: e ()").codec, "");
    EXPECT_EQ(audioTrackFromDescriptor("#3 eng (a").codec, "");
    EXPECT_EQ(audioTrackFromDescriptor("#99999999999: x (y)").streamIndex, INT_MAX);
}
