#include "MovieFactory.h"

#include "TestSupport.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

bool writeSrt(const QString& path)
{
    QFile srt(path);
    if (!srt.open(QIODevice::WriteOnly))
        return false;
    srt.write("1\n00:00:00,000 --> 00:00:01,000\nHello\n\n"
              "2\n00:00:01,000 --> 00:00:02,000\nWorld\n\n");
    return true;
}

bool makeMovie(const MovieRecipe& movie)
{
    const QString seconds = QString::number(movie.seconds);
    QStringList args{"-f", "lavfi", "-i",
                     QStringLiteral("testsrc=size=%1:rate=%2:duration=%3")
                         .arg(movie.size)
                         .arg(movie.frameRate)
                         .arg(seconds)};
    for (int i = 0; i < movie.audio.size(); ++i)
        args << "-f"
             << "lavfi"
             << "-i"
             << QStringLiteral("sine=frequency=%1:duration=%2").arg(220 + 110 * i).arg(seconds);
    QString srtPath;
    if (movie.embeddedSubtitle) {
        srtPath = movie.path + ".source.srt";
        if (!writeSrt(srtPath))
            return false;
        args << "-i" << srtPath;
    }
    args << "-map"
         << "0:0";
    for (int i = 0; i < movie.audio.size(); ++i)
        args << "-map" << QStringLiteral("%1:0").arg(i + 1);
    if (movie.embeddedSubtitle)
        args << "-map" << QStringLiteral("%1:0").arg(movie.audio.size() + 1) << "-c:s"
             << "srt";
    args << "-c:v"
         << "mpeg4";
    bool experimental = false;
    for (int i = 0; i < movie.audio.size(); ++i) {
        const AudioRecipe& a = movie.audio.at(i);
        const QString s = QString::number(i);
        args << "-c:a:" + s << a.codec << "-ac:a:" + s << QString::number(a.channels)
             << "-metadata:s:a:" + s << "language=" + a.language << "-disposition:a:" + s
             << (a.isDefault ? "default" : "0");
        if (!a.bitrate.isEmpty())
            args << "-b:a:" + s << a.bitrate;
        experimental = experimental || a.codec == QLatin1String("dca");
    }
    if (experimental)
        args << "-strict"
             << "-2";
    args << movie.path;
    const bool ok = ffmpeg(args);
    if (!srtPath.isEmpty())
        QFile::remove(srtPath);
    return ok;
}

QJsonArray probeStreams(const QString& path)
{
    return QJsonDocument::fromJson(ffprobeJson(path).toUtf8()).object()["streams"].toArray();
}

bool streamEnabled(const QJsonValue& stream)
{
    return stream.toObject()["disposition"].toObject()["default"].toInt() == 1;
}

QString streamValue(const QJsonValue& stream, const QString& key)
{
    const QJsonValue v = stream.toObject()[key];
    return v.isDouble() ? QString::number(v.toInteger()) : v.toString();
}

QString streamTag(const QJsonValue& stream, const QString& tag)
{
    return stream.toObject()["tags"].toObject()[tag].toString();
}
