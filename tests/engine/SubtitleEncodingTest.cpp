#include "engine/SubtitleEncoding.h"

#include "common/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <gtest/gtest.h>

namespace {

// Two cues of French and German in Windows-1252: é ü ç and its own 0x92
// apostrophe, which ISO-8859-1 leaves to a control code.
const QByteArray kWesternSrt =
    "1\r\n00:00:00,000 --> 00:00:01,000\r\nCaf\xe9 chez M\xfcller\r\n\r\n"
    "2\r\n00:00:01,000 --> 00:00:02,000\r\nLe fran\xe7"
    "ais, c\x92"
    "est \xe9l\xe9gant et tr\xe8s r\xe9ussi.\r\n\r\n";

// Russian text in Windows-1251, where А to я are 0xC0 to 0xFF.
QByteArray windows1251Bytes(const QString& text)
{
    QByteArray bytes;
    for (const QChar c : text)
        bytes += c.unicode() >= 0x410 && c.unicode() <= 0x44F ? char(c.unicode() - 0x410 + 0xC0)
                                                              : char(c.toLatin1());
    return bytes;
}

bool writeSubtitleBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

} // namespace

TEST(SubtitleEncoding, UnicodeFilesNameNothingAndLegacyOnesTheirCodePage)
{
    const QString text = QString::fromUtf8("Café chez Müller, le français");
    // Byte order marks win: ffmpeg reads those files itself.
    EXPECT_EQ(subtitleEncoding("\xEF\xBB\xBF" + text.toUtf8()), std::nullopt);
    EXPECT_EQ(subtitleEncoding("\xEF\xBB\xBF" + kWesternSrt), std::nullopt);
    for (const auto format : {QStringConverter::Utf16LE, QStringConverter::Utf16BE}) {
        QStringEncoder encoder(format, QStringConverter::Flag::WriteBom);
        EXPECT_EQ(subtitleEncoding(encoder.encode(text)), std::nullopt);
    }
    // Valid UTF-8, plain ASCII and nothing at all.
    EXPECT_EQ(subtitleEncoding(text.toUtf8()), std::nullopt);
    EXPECT_EQ(subtitleEncoding("1\n00:00:00,000 --> 00:00:01,000\nHello\n"), std::nullopt);
    EXPECT_EQ(subtitleEncoding(QByteArray()), std::nullopt);

    EXPECT_EQ(subtitleEncoding(kWesternSrt), "WINDOWS-1252");
    EXPECT_EQ(subtitleEncoding(QByteArray("M\xfcller und S\xf6hne, Gr\xfc\xdf"
                                          "e aus K\xf6ln und M\xfcnchen.\n")),
              "WINDOWS-1252");
    EXPECT_EQ(subtitleEncoding(windows1251Bytes(QString::fromUtf8(
                  "Привет! Как у тебя дела? Сегодня хорошая погода, и мы идём гулять в парк."))),
              "WINDOWS-1251");
    // Not UTF-8: cut off inside the last character, overlong, a surrogate.
    for (const QByteArray& broken :
         {QByteArray("Caf\xc3\xa9").chopped(1), QByteArray("Caf\xc3\xa9 \xc0\xaf"),
          QByteArray("Caf\xc3\xa9 \xed\xa0\x80")})
        EXPECT_NE(subtitleEncoding(broken), std::nullopt) << broken.toHex().toStdString();
    // Too little for the detector to tell: the usual code page.
    EXPECT_EQ(subtitleEncoding("\xc0\xc0"), "WINDOWS-1252");
    // Bytes Windows-1252 leaves undefined would stop iconv: ISO-8859-1 takes
    // every byte.
    EXPECT_EQ(subtitleEncoding("\x81\x8d\x8f\x90\x9d"), "ISO-8859-1");
}

TEST(SubtitleEncoding, FilesAreReadForTheirEncoding)
{
    const QString dir = makeTempDir("encodings");
    ASSERT_TRUE(writeSubtitleBytes(dir + "/western.srt", kWesternSrt));
    EXPECT_EQ(subtitleFileEncoding(dir + "/western.srt"), "WINDOWS-1252");
    ASSERT_TRUE(writeSubtitleBytes(dir + "/plain.srt", "1\n00:00:00,000 --> 00:00:01,000\nHi\n"));
    EXPECT_EQ(subtitleFileEncoding(dir + "/plain.srt"), std::nullopt);

    // A long UTF-8 file is judged by its head, cut at a line end so that the
    // character the bound falls into is not taken for an invalid one.
    QByteArray big(kSubtitleExaminedBytes - 3, 'a');
    big += QString::fromUtf8("\n漢字\n").toUtf8();
    ASSERT_TRUE(writeSubtitleBytes(dir + "/big.srt", big));
    EXPECT_EQ(subtitleFileEncoding(dir + "/big.srt"), std::nullopt);

    // Unreadable: ffmpeg reports it.
    EXPECT_EQ(subtitleFileEncoding(dir + "/missing.srt"), std::nullopt);
    EXPECT_EQ(subtitleFileEncoding(dir), std::nullopt);
    EXPECT_EQ(subtitleFileEncoding(QString()), std::nullopt);
}
