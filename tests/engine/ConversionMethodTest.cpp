#include "engine/ConversionMethod.h"

#include "engine/ConversionSettings.h"
#include "foundation/SettingsAccess.h"

#include <gtest/gtest.h>

namespace {

ConversionSettings preset(qint64 p)
{
    ConversionSettings s;
    s.conversionPreset = p;
    return s;
}

} // namespace

TEST(ConversionMethod, AacIsCopiedUnderEveryStyle)
{
    for (qint64 p : {0, 1, 2, 5}) {
        ConversionSettings s = preset(p);
        s.custom[QStringLiteral("CustomUnknownHandling")] = 0;
        EXPECT_EQ(calculateConversionMethod("aac", false, s), MethodCopy) << p;
        EXPECT_EQ(calculateConversionMethod("aac", true, s), MethodCopy) << p;
    }
}

TEST(ConversionMethod, CompatibleStyleReencodesEverythingElse)
{
    for (const QString codec : {"ac3", "dts", "mp3", "vorbis"})
        EXPECT_EQ(calculateConversionMethod(codec, true, preset(0)), MethodAACViaWAV);
}

TEST(ConversionMethod, FastStyle)
{
    ConversionSettings s = preset(1);
    EXPECT_EQ(calculateConversionMethod("ac3", false, s), MethodCopy);
    EXPECT_EQ(calculateConversionMethod("ac3", true, s), MethodCopy);
    EXPECT_EQ(calculateConversionMethod("dts", false, s), MethodAC3Stereo);
    EXPECT_EQ(calculateConversionMethod("dts", true, s), MethodAC3Surround);
    EXPECT_EQ(calculateConversionMethod("mp3", false, s), MethodAC3Stereo);
    EXPECT_EQ(calculateConversionMethod("vorbis", true, s), MethodAC3Stereo);
    s.ac3Downmix = 1;
    s.dtsDownmix = 1;
    EXPECT_EQ(calculateConversionMethod("ac3", true, s), MethodAC3Stereo);
    EXPECT_EQ(calculateConversionMethod("ac3", false, s), MethodCopy);
    EXPECT_EQ(calculateConversionMethod("dts", true, s), MethodAC3Stereo);
    // Unknown style numbers behave like the fast style.
    EXPECT_EQ(calculateConversionMethod("dts", true, preset(7)), MethodAC3Surround);
}

TEST(ConversionMethod, CustomStyleReadsThePerFormatKeys)
{
    ConversionSettings s = preset(2);
    // Registered defaults: AC3 copied, 5.1 DTS to AC3 5.1, MP3 and others to AC3 stereo.
    EXPECT_EQ(calculateConversionMethod("ac3", false, s), MethodCopy);
    EXPECT_EQ(calculateConversionMethod("ac3", true, s), MethodCopy);
    EXPECT_EQ(calculateConversionMethod("dts", true, s), MethodAC3Surround);
    EXPECT_EQ(calculateConversionMethod("mp3", false, s), MethodAC3Stereo);
    // Stereo DTS and 5.1 MP3 have no default: 0, the AAC method.
    EXPECT_EQ(calculateConversionMethod("dts", false, s), MethodAACViaWAV);
    EXPECT_EQ(calculateConversionMethod("mp3", true, s), MethodAACViaWAV);

    s.custom[QStringLiteral("CustomUnknownHandling")] = 2;
    s.custom[QStringLiteral("CustomAC351Handling")] = 0;
    EXPECT_EQ(calculateConversionMethod("vorbis", false, s), MethodAC3Surround);
    EXPECT_EQ(calculateConversionMethod("ac3", true, s), MethodAACViaWAV);
    // The comparison is exact: "AC3" is an unknown codec.
    EXPECT_EQ(calculateConversionMethod("AC3", true, s), MethodAC3Surround);
}

TEST(ConversionSettings, BitrateTextsClampTheirIndex)
{
    EXPECT_EQ(ac3SurroundBitrateText(1), "448k");
    EXPECT_EQ(ac3SurroundBitrateText(7), "576k");
    EXPECT_EQ(ac3SurroundBitrateText(-1), "384k");
    EXPECT_EQ(ac3StereoBitrateText(0), "160k");
    EXPECT_EQ(ac3StereoBitrateText(2), "224k");
    EXPECT_EQ(ac3StereoBitrateText(99), "256k");
    EXPECT_EQ(aacBitrateText(1), "128000");
    EXPECT_EQ(aacBitrateText(7), "192000");
    EXPECT_EQ(aacBitrateText(-1), "96000");
}

TEST(ConversionSettings, FromStoreReadsEveryKey)
{
    setDefaultInt("ConversionPreset", 2);
    setDefaultInt("AC3SurroundBitrate", 3);
    setDefaultInt("DisableBuiltinSubtitles", 0);
    setDefaultInt("CustomDTSHandling", 2);
    setDefaultInt("CustomMP351Handling", 1);
    const ConversionSettings s = ConversionSettings::fromStore();
    EXPECT_EQ(s.conversionPreset, 2);
    EXPECT_EQ(s.ac3SurroundBitrate, 3);
    EXPECT_EQ(s.disableBuiltinSubtitles, 0);
    EXPECT_EQ(s.customValue("CustomDTSHandling"), 2);
    EXPECT_EQ(s.customValue("CustomMP351Handling"), 1);
    EXPECT_EQ(s.customValue("NoSuchKey"), 0);
    EXPECT_EQ(calculateConversionMethod("dts", false, s), MethodAC3Surround);
}
