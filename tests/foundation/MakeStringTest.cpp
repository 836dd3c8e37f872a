#include "foundation/MakeString.h"

#include <gtest/gtest.h>

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
