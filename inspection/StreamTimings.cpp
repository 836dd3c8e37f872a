#include "inspection/StreamTimings.h"

#include "foundation/StringHelpers.h"

#include <QRegularExpression>
#include <cmath>

namespace {

// The value of `key` among the "key=value" fields of a compact line.
std::optional<QString> fieldValue(const QStringList& fields, const QString& key)
{
    const QString prefix = key + u'=';
    for (const QString& f : fields)
        if (f.startsWith(prefix))
            return f.mid(prefix.size());
    return std::nullopt;
}

// The fields of a compact line: split at "|" except where a backslash
// escapes it; escapes are undone ("\\n" is a line break).
QStringList compactFields(const QString& line)
{
    QStringList fields{QString()};
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (c == u'\\' && i + 1 < line.size()) {
            const QChar next = line.at(++i);
            fields.last() += next == u'n' ? QChar(u'\n') : next == u't' ? QChar(u'\t') : next;
        } else if (c == u'|') {
            fields.append(QString());
        } else {
            fields.last() += c;
        }
    }
    return fields;
}

// "24000/1001" as frames per second; absent for "0/0" and other nonsense.
std::optional<double> rateOf(const std::optional<QString>& value)
{
    if (!value)
        return std::nullopt;
    const QStringList parts = value->split(u'/');
    bool okNumerator = false, okDenominator = true;
    const double numerator = parts.value(0).toDouble(&okNumerator);
    const double denominator = parts.size() > 1 ? parts.at(1).toDouble(&okDenominator) : 1.0;
    if (!okNumerator || !okDenominator || denominator <= 0 || numerator <= 0)
        return std::nullopt;
    const double rate = numerator / denominator;
    return rate < 1000 ? std::optional<double>(rate) : std::nullopt;
}

std::optional<double> secondsOf(const std::optional<QString>& value)
{
    if (!value)
        return std::nullopt;
    bool ok = false;
    const double seconds = value->toDouble(&ok);
    // A start past a day is no start a movie has; "N/A" does not parse.
    if (!ok || !std::isfinite(seconds) || std::fabs(seconds) > 86400)
        return std::nullopt;
    return seconds;
}

} // namespace

QStringList streamTimingsArguments(const QString& path)
{
    return {QStringLiteral("-v"),
            QStringLiteral("error"),
            QStringLiteral("-show_entries"),
            QStringLiteral("stream=index,codec_type,start_time,sample_rate,avg_frame_rate:"
                           "stream_tags=title:format=start_time"),
            QStringLiteral("-of"),
            QStringLiteral("compact"),
            QStringLiteral("-i"),
            path};
}

QStringList listingAndTimingsArguments(const QString& path)
{
    return QStringList{QStringLiteral("-hide_banner")} + streamTimingsArguments(path).mid(2);
}

QString listingPart(const QString& output)
{
    // ffmpeg guesses the layout of a track that names none (LPCM, FLAC) as
    // the first of its channel count; ffprobe prints the count.
    static const QRegularExpression count(QStringLiteral(", ([1-8]) channels(?=,|$)"));
    static const QStringList guessed = {QString(),
                                        QStringLiteral("mono"),
                                        QStringLiteral("stereo"),
                                        QStringLiteral("2.1"),
                                        QStringLiteral("4.0"),
                                        QStringLiteral("5.0"),
                                        QStringLiteral("5.1"),
                                        QStringLiteral("6.1"),
                                        QStringLiteral("7.1")};
    QString listing;
    for (QString line : output.split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String("stream|")) || line.startsWith(QLatin1String("format|")))
            continue;
        if (line.contains(QLatin1String("Audio: "))) {
            const QRegularExpressionMatch m = count.match(line);
            if (m.hasMatch())
                line.replace(m.capturedStart(), m.capturedLength(),
                             QStringLiteral(", ") + guessed.at(m.captured(1).toInt()));
        }
        listing += line + QLatin1Char('\n');
    }
    return listing;
}

StreamTimings parseStreamTimings(const QString& text)
{
    StreamTimings timings;
    for (const QString& line : lines(text)) {
        const QStringList fields = compactFields(line.trimmed());
        if (fields.isEmpty())
            continue;
        if (fields.first() == QLatin1String("format")) {
            timings.inputStart = secondsOf(fieldValue(fields, QStringLiteral("start_time")));
            continue;
        }
        if (fields.first() != QLatin1String("stream"))
            continue;
        bool ok = false;
        const int index =
            fieldValue(fields, QStringLiteral("index")).value_or(QString()).toInt(&ok);
        if (!ok || index < 0)
            continue;
        if (const auto start = secondsOf(fieldValue(fields, QStringLiteral("start_time"))))
            timings.starts.insert(index, *start);
        const int rate =
            fieldValue(fields, QStringLiteral("sample_rate")).value_or(QString()).toInt();
        if (rate > 0)
            timings.sampleRates.insert(index, rate);
        if (fieldValue(fields, QStringLiteral("codec_type")) == QLatin1String("video"))
            if (const auto fps = rateOf(fieldValue(fields, QStringLiteral("avg_frame_rate"))))
                timings.frameRates.insert(index, *fps);
        const QString title = fieldValue(fields, QStringLiteral("tag:title")).value_or(QString());
        if (!title.trimmed().isEmpty())
            timings.titles.insert(index, title.trimmed());
    }
    return timings;
}
