#include "foundation/StringHelpers.h"

#include <gtest/gtest.h>

TEST(StringHelpers, LinesSplitAtEveryNewlineCharacterAndKeepEmptyElements)
{
    EXPECT_EQ(lines(QStringLiteral("a\r\nb")), QStringList({"a", "", "b"}));
    EXPECT_EQ(lines(QString::fromUtf16(u"a\u2028b\u0085c\u000Bd\n")),
              QStringList({"a", "b", "c", "d", ""}));
    EXPECT_EQ(lines(QString()), QStringList({""}));
}

TEST(StringHelpers, SplitKeepsEmptyFieldsAndEmptySeparatorKeepsWhole)
{
    EXPECT_EQ(split(QStringLiteral(",a,,b,"), QStringLiteral(",")),
              QStringList({"", "a", "", "b", ""}));
    EXPECT_EQ(split(QStringLiteral("abc"), QString()), QStringList({"abc"}));
    EXPECT_EQ(countOccurencesOfString(QStringLiteral("aaaa"), QStringLiteral("aa")), 2);
    EXPECT_EQ(countOccurencesOfString(QStringLiteral("abc"), QString()), 0);
}

TEST(StringHelpers, TrimmedRemovesBlanksButNotLineBreaks)
{
    EXPECT_EQ(trimmed(QString::fromUtf16(u"\t\u00A0 a b\u2003 \n")),
              QString::fromUtf16(u"a b\u2003 \n"));
    EXPECT_EQ(trimmed(QStringLiteral(" x\t")), QStringLiteral("x"));
    EXPECT_EQ(trimmed(QStringLiteral(" \t ")), QString());
    EXPECT_EQ(words(QString::fromUtf16(u"a\u00A0b\tc  d")), QStringList({"a", "b", "c", "", "d"}));
}

TEST(StringHelpers, ClampCountsUtf16Units)
{
    EXPECT_EQ(clamp(QStringLiteral("abc"), 3), QStringLiteral("abc"));
    EXPECT_EQ(clamp(QStringLiteral("abc"), 5), QStringLiteral("abc"));
    EXPECT_EQ(clamp(QStringLiteral("abcdef"), 2), QStringLiteral("ab"));
    const QString emoji = QString::fromUtf16(u"\U0001F600x");
    EXPECT_EQ(emoji.size(), 3);
    EXPECT_EQ(clamp(emoji, 2), QString::fromUtf16(u"\U0001F600"));
}

TEST(StringHelpers, ContainsVariants)
{
    EXPECT_TRUE(contains(QStringLiteral("Conversion Failed"), QStringLiteral("Failed")));
    EXPECT_FALSE(contains(QStringLiteral("Conversion Failed"), QStringLiteral("failed")));
    EXPECT_TRUE(contains(QStringLiteral("Conversion Failed"), QStringLiteral("failed"), true));
    // An empty search string is never found.
    EXPECT_FALSE(contains(QStringLiteral("abc"), QString()));
    // Precomposed and decomposed forms match.
    EXPECT_TRUE(contains(QString::fromUtf16(u"caf\u00E9!"), QString::fromUtf16(u"cafe\u0301")));
    EXPECT_TRUE(containsAny(QStringLiteral("Error opening"), {"nope", "Error"}));
    EXPECT_FALSE(containsAny(QStringLiteral("fine"), {"nope", "Error"}));
}

TEST(StringHelpers, ReplacementsHappenAtOnce)
{
    const QMap<QString, QString> table{{"a", "b"}, {"b", "c"}};
    EXPECT_EQ(stringByReplacingMultipleStrings(QStringLiteral("ab"), table), QStringLiteral("bc"));
    const QMap<QString, QString> languages{{"ger", "deu"}, {"fre", "fra"}};
    EXPECT_EQ(stringByReplacingMultipleStrings(QStringLiteral("ger,fre,eng"), languages),
              QStringLiteral("deu,fra,eng"));
    // Null and empty keys and null values are skipped.
    const QMap<QString, QString> odd{{QString(), "x"}, {"", "y"}, {"a", QString()}, {"b", ""}};
    EXPECT_EQ(stringByReplacingMultipleStrings(QStringLiteral("abc"), odd), QStringLiteral("ac"));
    EXPECT_EQ(replaced(QStringLiteral("a.b.c"), QStringLiteral("."), QStringLiteral("::")),
              QStringLiteral("a::b::c"));
    EXPECT_EQ(replaced(QStringLiteral("abc"), QString(), QStringLiteral("x")),
              QStringLiteral("abc"));
}

TEST(StringHelpers, FormattedTime)
{
    EXPECT_EQ(formattedTimeFromTimeInterval(60), QStringLiteral("1m 0s"));
    EXPECT_EQ(formattedTimeFromTimeInterval(3725), QStringLiteral("62m 5s"));
    EXPECT_EQ(formattedTimeFromTimeInterval(59.9), QStringLiteral("59s"));
    EXPECT_EQ(formattedTimeFromTimeInterval(0.4), QStringLiteral("0s"));
    EXPECT_EQ(formattedTimeFromTimeInterval(125.7), QStringLiteral("2m 5s"));
    // Non-finite and huge values stay defined.
    EXPECT_EQ(formattedTimeFromTimeInterval(std::nan("")), QStringLiteral("0s"));
    EXPECT_EQ(formattedTimeFromTimeInterval(1e300), QStringLiteral("2147483647m 2147483647s"));
    EXPECT_FALSE(formattedTimeFromTimeInterval(-INFINITY).isEmpty());
}

TEST(StringHelpers, TitleAndProperCase)
{
    EXPECT_EQ(titlecaseString(QStringLiteral("gone with the wind")),
              QStringLiteral("Gone With the Wind"));
    EXPECT_EQ(titlecaseString(QStringLiteral("the end of days")),
              QStringLiteral("The End of Days"));
    EXPECT_EQ(titlecaseString(QStringLiteral("WAR AND PEACE")), QStringLiteral("War and Peace"));
    // Adjacent small words are all lowered.
    EXPECT_EQ(titlecaseString(QStringLiteral("lord of the rings and the king")),
              QStringLiteral("Lord of the Rings and the King"));
    EXPECT_EQ(propercaseString(QString()), QString());
    EXPECT_EQ(propercaseString(QStringLiteral("x")), QStringLiteral("X"));
    EXPECT_EQ(propercaseString(QStringLiteral("hELLO wORLD")), QStringLiteral("Hello world"));
}

TEST(StringHelpers, HashAndHexForms)
{
    EXPECT_EQ(SHA1(QStringLiteral("abc")),
              QStringLiteral("a9993e364706816aba3e25717850c26c9cd0d89d"));
    const QByteArray bytes("\x00\x7f\x80\xff\x01", 5);
    EXPECT_EQ(hexString(bytes), QStringLiteral("007f80ff01"));
    EXPECT_EQ(dataFromHexString(hexString(bytes)), bytes);
    EXPECT_EQ(hexString(QByteArray()), QString());
    // Partial pairs read their valid leading digits; an odd last digit is dropped.
    EXPECT_EQ(dataFromHexString(QStringLiteral("1gg1AbC")), QByteArray("\x01\x00\xab", 3));
}

TEST(StringHelpers, Utf8DecodingRejectsInvalidBytes)
{
    EXPECT_EQ(string(QByteArray("caf\xc3\xa9")), QString::fromUtf16(u"caf\u00E9"));
    EXPECT_EQ(string(QByteArray()), QString());
    EXPECT_FALSE(string(QByteArray("a\xff"
                                   "b"))
                     .has_value());
    EXPECT_FALSE(string(QByteArray("cut \xc3")).has_value());
}

TEST(StringHelpers, PreprocessorDate)
{
    EXPECT_EQ(dateFromPreprocessorDate("Dec 17 2026")->date(), QDate(2026, 12, 17));
    EXPECT_EQ(dateFromPreprocessorDate("Mar  7 2025")->date(), QDate(2025, 3, 7));
    EXPECT_TRUE(dateFromPreprocessorDate(__DATE__).has_value());
    EXPECT_FALSE(dateFromPreprocessorDate("Foo 7 2025").has_value());
    EXPECT_FALSE(dateFromPreprocessorDate(nullptr).has_value());
}

TEST(StringHelpers, LocalizedFallsBackToTheKey)
{
    EXPECT_EQ(localized(QStringLiteral("Version:")), QStringLiteral("Version:"));
}
