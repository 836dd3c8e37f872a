#include "WrittenBoxes.h"

#include <QFile>
#include <gtest/gtest.h>

std::optional<mp4::MovieSummary> readBoxes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    return mp4::readMovieSummary(std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                           std::size_t(bytes.size())));
}

QString fourCCText(std::uint32_t code)
{
    QString text;
    for (const int shift : {24, 16, 8, 0})
        text += QChar(char16_t((code >> shift) & 0xff));
    return text;
}

std::vector<mp4::TrackSummary> tracksOf(const mp4::MovieSummary& movie, const char (&handler)[5])
{
    std::vector<mp4::TrackSummary> out;
    for (const mp4::TrackSummary& t : movie.tracks)
        if (t.handler == mp4::fourCC(handler))
            out.push_back(t);
    return out;
}

void expectOneAudioGroup(const QString& path, bool surroundEnabled)
{
    const auto boxes = readBoxes(path);
    ASSERT_TRUE(boxes.has_value()) << qPrintable(path);
    const auto audio = tracksOf(*boxes, "soun");
    ASSERT_EQ(audio.size(), 2u);
    EXPECT_NE(audio[0].alternateGroup, 0);
    EXPECT_EQ(audio[0].alternateGroup, audio[1].alternateGroup);
    EXPECT_TRUE(audio[0].enabled);
    EXPECT_EQ(audio[1].trackId, 3u);
    EXPECT_EQ(audio[1].enabled, surroundEnabled);
}
