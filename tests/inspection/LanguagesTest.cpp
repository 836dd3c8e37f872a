#include "inspection/Languages.h"

#include "foundation/SettingsAccess.h"
#include "foundation/SettingsKeys.h"
#include "inspection/AudioTrackChoice.h"

#include <gtest/gtest.h>

TEST(Languages, TableHoldsEveryTwoLetterCodeWithBibliographicCodes)
{
    const QHash<QString, QString>& table = languageTable();
    EXPECT_EQ(table.size(), 184);
    const QHash<QString, QString> expected{
        {"bo", "tib"}, {"cs", "cze"}, {"cy", "wel"}, {"de", "ger"}, {"el", "gre"}, {"eu", "baq"},
        {"fa", "per"}, {"fr", "fre"}, {"hy", "arm"}, {"is", "ice"}, {"ka", "geo"}, {"mi", "mao"},
        {"mk", "mac"}, {"ms", "may"}, {"my", "bur"}, {"nl", "dut"}, {"ro", "rum"}, {"sk", "slo"},
        {"sq", "alb"}, {"zh", "chi"}, {"en", "eng"}, {"es", "spa"}, {"it", "ita"}, {"ja", "jpn"},
        {"ru", "rus"}, {"hr", "hrv"}, {"sr", "srp"}, {"no", "nor"}, {"nb", "nob"}, {"nn", "nno"},
        {"bh", "bih"}, {"aa", "aar"}, {"zu", "zul"}, {"kw", "cor"}, {"rw", "kin"}};
    for (auto it = expected.cbegin(); it != expected.cend(); ++it)
        EXPECT_EQ(table.value(it.key()), it.value()) << qPrintable(it.key());
    for (auto it = table.cbegin(); it != table.cend(); ++it) {
        EXPECT_EQ(it.key().size(), 2);
        EXPECT_EQ(it.key(), it.key().toLower());
        EXPECT_EQ(it.value().size(), 3);
    }
}

TEST(Languages, ThreeLetterCodesKeepOrderAndUnknownEntries)
{
    EXPECT_EQ(preferredLanguages3Letter({"de", "en"}), (QStringList{"ger", "eng"}));
    EXPECT_EQ(preferredLanguages3Letter({"zh", "en-GB", "pt_BR", "DE", "eng"}),
              (QStringList{"chi", "en-GB", "pt_BR", "DE", "eng"}));
    EXPECT_TRUE(preferredLanguages3Letter(QStringList{}).isEmpty());
}

TEST(Languages, PlatformListFromTheLocaleVariables)
{
    EXPECT_EQ(preferredLanguagesFromEnvironment("fr_CA:de:en_US", "", "C", "de_DE.UTF-8"),
              (QStringList{"fr", "de", "en"}));
    EXPECT_EQ(preferredLanguagesFromEnvironment("", "sr@latin", "POSIX", "en_GB.UTF-8"),
              (QStringList{"sr", "en"}));
    EXPECT_TRUE(preferredLanguagesFromEnvironment("", "C.UTF-8", "", "POSIX").isEmpty());
    EXPECT_EQ(
        preferredLanguages3Letter(preferredLanguagesFromEnvironment("", "", "", "zh_CN.UTF-8")),
        QStringList{"chi"});
}

TEST(DefaultAudioTrack, LanguageRankBeforeCodec)
{
    const QStringList tracks{"#1: eng (ac3) [5.1]", "#2: ger (ac3) [5.1]", "#3: ger (aac)"};
    EXPECT_EQ(bestLanguage(tracks, {"ger", "eng"}, 0), "#3: ger (aac)");
    EXPECT_EQ(bestLanguage({"#1: ger (aac)", "#2: eng (dts)"}, {"eng"}, 0), "#2: eng (dts)");
}

TEST(DefaultAudioTrack, CodecDecidesAmongEqualRanks)
{
    EXPECT_EQ(bestLanguage({"#1: ita (dts)", "#2: ita (ac3)", "#3: ita (aac)"}, {"eng"}, 0),
              "#3: ita (aac)");
    EXPECT_EQ(bestLanguage({"#1: unk (dts)", "#2: unk (ac3)"}, {}, 0), "#2: unk (ac3)");
    EXPECT_EQ(bestLanguage({"#1: unk (dts)", "#2: unk (mp3)"}, {"eng"}, 0), "#1: unk (dts)");
    EXPECT_FALSE(bestLanguage({}, {"eng"}, 0).has_value());

    // The worked example: ger ac3 surround, then eng aac.
    const QStringList example{"#1: ger (ac3) [5.1]", "#2: eng (aac)"};
    EXPECT_EQ(bestLanguage(example, {"eng"}, 0), "#2: eng (aac)");
    EXPECT_EQ(bestLanguage(example, {"ger"}, 0), "#1: ger (ac3) [5.1]");
    EXPECT_EQ(bestLanguage(example, {"jpn"}, 0), "#2: eng (aac)");
}

TEST(DefaultAudioTrack, FixedLanguageSetting)
{
    const QStringList tracks{"#1: eng (aac)", "#2: fre (ac3)", "#3: fre (dts)"};
    EXPECT_EQ(bestLanguage(tracks, {"eng"}, 4), "#2: fre (ac3)");
    EXPECT_EQ(bestLanguage({"#1: eng (dts)", "#2: ger (ac3)"}, {"eng"}, 4), "#2: ger (ac3)");
    EXPECT_EQ(bestLanguage({"#1: rus (dts)", "#2: eng (aac)"}, {}, 8), "#1: rus (dts)");
    // Values outside 2 to 8 fall back to the preferred languages.
    for (qint64 stray : {qint64(1), qint64(-5), qint64(9), qint64(1) << 40})
        EXPECT_EQ(bestLanguage(tracks, {"fre"}, stray), "#2: fre (ac3)") << stray;

    setDefaultInt(QString::fromLatin1(kDefaultAudioKey), 3);
    EXPECT_EQ(bestLanguage({"#1: eng (aac)", "#2: ger (dts)"}, {"eng"}), "#2: ger (dts)");
}

TEST(DefaultAudioTrack, MalformedDescriptorsDoNotBreakTheChoice)
{
    EXPECT_EQ(bestLanguage({"", "#1:", "#2: eng ()", "#3: eng (aac"}, {"eng"}, 0), "#2: eng ()");
}
