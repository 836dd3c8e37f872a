#include "foundation/MakeString.h"

#include <gtest/gtest.h>
#include <limits>

TEST(MakeString, Conversions)
{
    EXPECT_EQ(makeString("%@ and %@", QStringLiteral("movie"), "clip"),
              QStringLiteral("movie and clip"));
    EXPECT_EQ(makeString("%i|%d|%li|%ld", -1, 2, 3L, qint64(-4)), QStringLiteral("-1|2|3|-4"));
    EXPECT_EQ(makeString("%u|%lu", 5u, quint64(18446744073709551615ull)),
              QStringLiteral("5|18446744073709551615"));
    EXPECT_EQ(makeString("%f", 1.5), QStringLiteral("1.500000"));
    EXPECT_EQ(makeString("%s", "text"), QStringLiteral("text"));
    EXPECT_EQ(makeString("%c%c", 'A', 66), QStringLiteral("AB"));
    EXPECT_EQ(makeString("100%%"), QStringLiteral("100%"));
    EXPECT_EQ(makeString("%02x%02lx", 10, 255ul), QStringLiteral("0aff"));
    int value = 0;
    EXPECT_EQ(makeString("%p", &value),
              QStringLiteral("0x") + QString::number(reinterpret_cast<quintptr>(&value), 16));
    EXPECT_EQ(makeString("#%@: %@ (%@)%@", 1, "eng", "ac3", " [5.1]"),
              QStringLiteral("#1: eng (ac3) [5.1]"));
    EXPECT_EQ(makeString("%@-%i.%@", QStringLiteral("/a/Movie"), 0, QStringLiteral("mp4")),
              QStringLiteral("/a/Movie-0.mp4"));
}

TEST(MakeString, ArgumentsStayLiteral)
{
    EXPECT_EQ(makeString("%@", QStringLiteral("50% %@ %i")), QStringLiteral("50% %@ %i"));
    EXPECT_EQ(makeString("%@|%@", QStringLiteral("%"), QStringLiteral("x")), QStringLiteral("%|x"));
}

TEST(MakeString, MissingArgumentsPrintNothing)
{
    EXPECT_EQ(makeString("a%@b%ic"), QStringLiteral("abc"));
    EXPECT_EQ(makeString("%@-%@", "x"), QStringLiteral("x-"));
    EXPECT_EQ(makeString("end %"), QStringLiteral("end %"));
}

TEST(MakeString, WidthAndPrecision)
{
    EXPECT_EQ(makeString("[%5.2f]", 3.14159), QStringLiteral("[ 3.14]"));
    EXPECT_EQ(makeString("[%-4s]", "ab"), QStringLiteral("[ab  ]"));
    EXPECT_EQ(makeString("[%4s]", "ab"), QStringLiteral("[  ab]"));
    EXPECT_EQ(makeString("[%.2s]", "abc"), QStringLiteral("[ab]"));
    EXPECT_EQ(makeString("[%03i]", 7), QStringLiteral("[007]"));
    EXPECT_EQ(makeString("%.1f%%", 99.95), QStringLiteral("100.0%"));
}

TEST(MakeString, DirectivesHoldOnlyAscii)
{
    const auto format = [](const char16_t* text) { return QString::fromUtf16(text); };
    // A Devanagari digit inside a directive once became "%n" (its low byte)
    // and wrote through the argument; now it ends the directive, as written.
    EXPECT_EQ(makeString(format(u"%\u096Ed"), 5), format(u"%\u096Ed"));
    EXPECT_EQ(makeString(format(u"[%5\u0966d]"), 5), format(u"[%5\u0966d]"));
    EXPECT_EQ(makeString(format(u"%\u0164|%\u0173"), 5, 6), format(u"%\u0164|%\u0173"));
    EXPECT_EQ(makeString(format(u"%.\u0967f"), 1.5), format(u"%.\u0967f"));
    // After a complete directive, non-ASCII text is ordinary text.
    EXPECT_EQ(makeString(format(u"%@\u00e9 %i\u0964 %d%%\u00fc"), "caf", 5, 7),
              format(u"caf\u00e9 5\u0964 7%\u00fc"));
    EXPECT_EQ(makeString(format(u"\u00d6l %@.srt"), format(u"\u00c4")),
              format(u"\u00d6l \u00c4.srt"));
    // Widths past any use are cut instead of padding with gigabytes.
    EXPECT_EQ(makeString("[%99999999999999999999@]", "a").size(), 4096 + 2);
    EXPECT_EQ(makeString("[%*@]", 1 << 30, "a").size(), 4096 + 2);
    EXPECT_EQ(makeString("[%.*@]", -3, "abc"), QStringLiteral("[abc]"));
}

TEST(MakeString, DoublesOutOfRangeForIntegersAreClamped)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(makeString("%i|%u|%x", nan, nan, nan), QStringLiteral("0|0|0"));
    EXPECT_EQ(makeString("%i|%i", inf, -inf),
              QStringLiteral("9223372036854775807|-9223372036854775808"));
    EXPECT_EQ(makeString("%i|%u|%u", 1e300, 1e300, -5.0),
              QStringLiteral("9223372036854775807|18446744073709551615|0"));
    EXPECT_EQ(makeString("%i|%u", -2.9, 2.9), QStringLiteral("-2|2"));
    EXPECT_EQ(makeString("[%*i]", inf, 1), QStringLiteral("[") + QString(4095, u' ') + "1]");
}
