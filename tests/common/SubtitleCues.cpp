#include "SubtitleCues.h"

#include "TestSupport.h"

#include <QRegularExpression>
#include <QStringList>

namespace {

double secondsOf(const QString& stamp)
{
    const QStringList parts = QString(stamp).replace(u',', u'.').split(u':');
    return parts.value(0).toDouble() * 3600 + parts.value(1).toDouble() * 60 +
           parts.value(2).toDouble();
}

} // namespace

QList<Cue> subtitleCues(const QString& path, int track)
{
    QString srt;
    runProgram(
        "ffmpeg",
        {"-v", "error", "-i", path, "-map", QStringLiteral("0:s:%1").arg(track), "-f", "srt", "-"},
        &srt);
    QList<Cue> cues;
    static const QRegularExpression timing(
        QStringLiteral("^(\\d+:\\d+:\\d+,\\d+) --> \\d+:\\d+:\\d+,\\d+$"));
    const QStringList lines = srt.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QRegularExpressionMatch m = timing.match(lines.at(i).trimmed());
        if (!m.hasMatch())
            continue;
        Cue cue{secondsOf(m.captured(1)), {}};
        for (++i; i < lines.size() && !lines.at(i).trimmed().isEmpty(); ++i)
            cue.text += (cue.text.isEmpty() ? QString() : QStringLiteral("\n")) + lines.at(i);
        if (!cue.text.trimmed().isEmpty())
            cues.append(cue);
    }
    return cues;
}
