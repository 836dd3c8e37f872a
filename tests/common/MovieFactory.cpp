#include "MovieFactory.h"

#include "TestSupport.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

quint32 bigEndian32(const QByteArray& bytes, qsizetype at)
{
    quint32 v = 0;
    for (int i = 0; i < 4; ++i)
        v = (v << 8) | quint8(bytes[at + i]);
    return v;
}

void setBigEndian32(QByteArray& bytes, qsizetype at, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = char(v >> (24 - 8 * i));
}

// Offsets of the boxes of `type` among the children in [begin, end) (32-bit
// sizes only, as ffmpeg writes small files); empty on a malformed box.
QList<qsizetype> childBoxes(const QByteArray& bytes, qsizetype begin, qsizetype end,
                            const char* type)
{
    QList<qsizetype> found;
    for (qsizetype at = begin; at + 8 <= end;) {
        const quint32 size = bigEndian32(bytes, at);
        if (size < 8 || at + qsizetype(size) > end)
            return {};
        if (bytes.mid(at + 4, 4) == type)
            found.append(at);
        at += size;
    }
    return found;
}

// The 24-byte DOVIDecoderConfigurationRecord: version 1.0, then 7 bits of
// profile, 6 of level, the RPU, EL and BL flags (RPU and base layer
// present), 4 bits of base layer compatibility, the rest reserved zeros.
QByteArray doviRecord(int profile, int level, int compatibility)
{
    QByteArray record(24, '\0');
    record[0] = 1;
    const int bits = (profile << 9) | (level << 3) | (1 << 2) | 1;
    record[2] = char(bits >> 8);
    record[3] = char(bits);
    record[4] = char(compatibility << 4);
    return record;
}

// Appends the Dolby Vision configuration box to the end of the hvc1 sample
// entry of an MP4 whose moov follows its mdat (so no chunk offset moves),
// growing every enclosing box by its size.
bool addDolbyVisionBox(QByteArray& mp4, int profile)
{
    const QByteArray box = QByteArray::fromRawData("\0\0\0\x20", 4) +
                           (profile <= 7 ? "dvcC" : "dvvC") +
                           doviRecord(profile, 1, profile == 5 ? 0 : 1);
    const auto moov = childBoxes(mp4, 0, mp4.size(), "moov");
    const auto mdat = childBoxes(mp4, 0, mp4.size(), "mdat");
    if (moov.size() != 1 || mdat.isEmpty() || mdat.first() > moov.first())
        return false;
    const auto end = [&](qsizetype at) { return at + qsizetype(bigEndian32(mp4, at)); };
    for (const qsizetype trak : childBoxes(mp4, moov.first() + 8, end(moov.first()), "trak")) {
        QList<qsizetype> path{moov.first(), trak};
        for (const char* type : {"mdia", "minf", "stbl", "stsd"}) {
            const auto inner = childBoxes(mp4, path.last() + 8, end(path.last()), type);
            if (inner.isEmpty())
                break;
            path.append(inner.first());
        }
        // stsd: version and flags and the entry count come before the entries.
        if (path.size() != 6 || mp4.mid(path.last() + 20, 4) != "hvc1")
            continue;
        path.append(path.last() + 16);
        mp4.insert(end(path.last()), box);
        for (const qsizetype at : path)
            setBigEndian32(mp4, at, bigEndian32(mp4, at) + quint32(box.size()));
        return true;
    }
    return false;
}

} // namespace

bool makeDolbyVisionMovie(const QString& path, int profile, const QString& audioCodec)
{
    const QString plain = path + ".hevc.mp4";
    const QString marked = path + ".dv.mp4";
    bool ok = ffmpeg(
        {"-f",           "lavfi",           "-i",       "testsrc=size=64x64:rate=10:duration=1",
         "-f",           "lavfi",           "-i",       "sine=duration=1",
         "-c:v",         "libx265",         "-pix_fmt", "yuv420p10le",
         "-x265-params", "log-level=error", "-tag:v",   "hvc1",
         "-c:a",         audioCodec,        "-ac",      "2",
         plain});
    QFile in(plain);
    QByteArray bytes = ok && in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
    in.close();
    QFile out(marked);
    ok = ok && addDolbyVisionBox(bytes, profile) && out.open(QIODevice::WriteOnly) &&
         out.write(bytes) == bytes.size();
    out.close();
    // ffmpeg's Matroska muxer carries the record over (as BlockAdditionMapping).
    ok = ok && ffmpeg({"-i", marked, "-map", "0", "-c", "copy", path});
    QFile::remove(plain);
    QFile::remove(marked);
    return ok;
}

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
