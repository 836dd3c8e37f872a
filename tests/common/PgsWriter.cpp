#include "PgsWriter.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QPainterPath>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdlib>

namespace {

// Names the job file of a program run again as the writer's helper.
constexpr char kHelperJobVariable[] = "VANTREO_PGS_WRITER_JOB";

// The four palette entries of every picture.
enum Colour : char { Transparent = 0, Fill = 1, Outline = 2, Smoothing = 3 };

// Segment types.
constexpr quint8 kPalette = 0x14;
constexpr quint8 kObject = 0x15;
constexpr quint8 kComposition = 0x16;
constexpr quint8 kWindow = 0x17;
constexpr quint8 kEnd = 0x80;
constexpr int kMaxSegmentPayload = 0xFFFF;

struct Picture
{
    int x = 0, y = 0, width = 0, height = 0;
    QByteArray indices; // width * height palette entries, row by row
};

void put16(QByteArray& out, int value)
{
    out.append(char((value >> 8) & 0xFF));
    out.append(char(value & 0xFF));
}

void put24(QByteArray& out, int value)
{
    out.append(char((value >> 16) & 0xFF));
    put16(out, value);
}

void put32(QByteArray& out, quint32 value)
{
    put16(out, int(value >> 16));
    put16(out, int(value & 0xFFFF));
}

QByteArray segment(quint8 type, double seconds, const QByteArray& payload)
{
    QByteArray out("PG");
    put32(out, quint32(qRound64(seconds * 90000.0)));
    put32(out, 0); // no decoding time stamp
    out.append(char(type));
    put16(out, int(payload.size()));
    return out + payload;
}

// Draws the lines centred in a picture just large enough for them, then
// maps every pixel to one of the four colours.
Picture draw(const QStringList& lines, const PgsStyle& style)
{
    QFont font(style.family);
    font.setPixelSize(style.pixelSize);
    font.setBold(style.bold);
    const QFontMetrics metrics(font);
    const int outline = std::max(2, style.pixelSize / 14);
    const int pad = outline + 4;
    int textWidth = 1;
    for (const QString& line : lines)
        textWidth = std::max(textWidth, metrics.horizontalAdvance(line));
    Picture picture;
    picture.width = std::min(textWidth + 2 * pad, style.width);
    picture.height = std::min(int(lines.size()) * metrics.lineSpacing() + 2 * pad, style.height);
    picture.x = (style.width - picture.width) / 2;
    picture.y = std::max(0, style.height - picture.height - style.height / 16);

    QImage image(picture.width, picture.height, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainterPath path;
    for (int i = 0; i < lines.size(); ++i) {
        const int x = (picture.width - metrics.horizontalAdvance(lines[i])) / 2;
        path.addText(x, pad + i * metrics.lineSpacing() + metrics.ascent(), font, lines[i]);
    }
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.strokePath(path,
                       QPen(Qt::black, 2 * outline, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.fillPath(path, Qt::white);
    painter.end();

    picture.indices.resize(qsizetype(picture.width) * picture.height);
    for (int y = 0; y < picture.height; ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < picture.width; ++x) {
            const int grey = qGray(row[x]);
            char colour = Smoothing;
            if (qAlpha(row[x]) < 100)
                colour = Transparent;
            else if (grey >= 180)
                colour = Fill;
            else if (grey <= 70)
                colour = Outline;
            picture.indices[qsizetype(y) * picture.width + x] = colour;
        }
    }
    return picture;
}

// The object's run-length code: runs of three or more pixels (and every
// run of colour 0) as a code, shorter runs as single bytes, each line closed
// by 00 00.
QByteArray runLengths(const Picture& picture)
{
    QByteArray out;
    for (int y = 0; y < picture.height; ++y) {
        const char* row = picture.indices.constData() + qsizetype(y) * picture.width;
        int x = 0;
        while (x < picture.width) {
            const char colour = row[x];
            int run = 1;
            while (x + run < picture.width && row[x + run] == colour && run < 0x3FFF)
                ++run;
            x += run;
            if (colour != Transparent && run < 3) {
                out.append(QByteArray(run, colour));
                continue;
            }
            out.append(char(0));
            const char flag = colour == Transparent ? 0x00 : char(0x80);
            if (run < 64) {
                out.append(char(flag | run));
            } else {
                out.append(char(flag | 0x40 | (run >> 8)));
                out.append(char(run & 0xFF));
            }
            if (colour != Transparent)
                out.append(colour);
        }
        out.append(2, char(0));
    }
    return out;
}

QByteArray composition(const PgsStyle& style, int number, bool epochStart, const Picture* picture,
                       bool forced)
{
    QByteArray p;
    put16(p, style.width);
    put16(p, style.height);
    p.append(char(0x10)); // frame rate code, unused by players
    put16(p, number);
    p.append(char(epochStart ? 0x80 : 0x00));
    p.append(char(0)); // no palette-only update
    p.append(char(0)); // palette 0
    p.append(char(picture ? 1 : 0));
    if (picture) {
        put16(p, 0);                          // object 0
        p.append(char(0));                    // window 0
        p.append(char(forced ? 0x40 : 0x00)); // not cropped; forced or not
        put16(p, picture->x);
        put16(p, picture->y);
    }
    return p;
}

QByteArray window(const Picture& picture)
{
    QByteArray p;
    p.append(char(1));
    p.append(char(0));
    put16(p, picture.x);
    put16(p, picture.y);
    put16(p, picture.width);
    put16(p, picture.height);
    return p;
}

// Y, Cr, Cb and alpha of the four colours (studio range greys).
QByteArray palette()
{
    QByteArray p;
    p.append(char(0)); // palette 0
    p.append(char(0)); // version 0
    const int entries[4][2] = {{16, 0}, {235, 255}, {16, 255}, {126, 255}};
    for (int i = 0; i < 4; ++i) {
        p.append(char(i));
        p.append(char(entries[i][0]));
        p.append(char(128));
        p.append(char(128));
        p.append(char(entries[i][1]));
    }
    return p;
}

// The object in as many segments as its size needs: the first carries the
// data length and the picture size, each one the object's id and version.
QList<QByteArray> objectSegments(const Picture& picture)
{
    QByteArray data;
    put16(data, picture.width);
    put16(data, picture.height);
    data.append(runLengths(picture));
    QList<QByteArray> segments;
    qsizetype at = 0;
    while (at < data.size()) {
        const bool first = at == 0;
        const int header = first ? 7 : 4;
        const qsizetype length = std::min<qsizetype>(kMaxSegmentPayload - header, data.size() - at);
        const bool last = at + length == data.size();
        QByteArray p;
        put16(p, 0); // object 0
        p.append(char(0));
        p.append(char((first ? 0x80 : 0) | (last ? 0x40 : 0)));
        if (first)
            put24(p, int(data.size()));
        p.append(data.mid(at, length));
        segments.append(p);
        at += length;
    }
    return segments;
}

bool writeDirectly(const QString& path, QList<PgsEvent> events, const PgsStyle& style)
{
    std::stable_sort(events.begin(), events.end(),
                     [](const PgsEvent& a, const PgsEvent& b) { return a.start < b.start; });
    QByteArray out;
    int number = 0;
    for (qsizetype i = 0; i < events.size(); ++i) {
        const PgsEvent& event = events[i];
        const Picture picture = draw(event.lines, style);
        if (picture.indices.isEmpty())
            return false;
        out += segment(kComposition, event.start,
                       composition(style, number++, true, &picture, event.forced));
        out += segment(kWindow, event.start, window(picture));
        out += segment(kPalette, event.start, palette());
        for (const QByteArray& object : objectSegments(picture))
            out += segment(kObject, event.start, object);
        out += segment(kEnd, event.start, {});
        // The screen is cleared at the end unless the next event replaces
        // the picture first.
        if (i + 1 < events.size() && events[i + 1].start <= event.end)
            continue;
        out +=
            segment(kComposition, event.end, composition(style, number++, false, nullptr, false));
        out += segment(kWindow, event.end, window(picture));
        out += segment(kEnd, event.end, {});
    }
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(out) == out.size() && file.flush();
}

QJsonObject toJson(const QString& path, const QList<PgsEvent>& events, const PgsStyle& style)
{
    QJsonArray list;
    for (const PgsEvent& event : events) {
        list.append(QJsonObject{{"start", event.start},
                                {"end", event.end},
                                {"lines", QJsonArray::fromStringList(event.lines)},
                                {"forced", event.forced}});
    }
    return {{"path", path},           {"width", style.width},         {"height", style.height},
            {"family", style.family}, {"pixelSize", style.pixelSize}, {"bold", style.bold},
            {"events", list}};
}

// The helper's side: reads the job and writes the file under a
// QGuiApplication of its own on the offscreen platform.
int runHelperJob(const QString& jobPath)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int argc = 1;
    char name[] = "pgs-writer";
    char* argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);
    QFile file(jobPath);
    if (!file.open(QIODevice::ReadOnly))
        return 1;
    const QJsonObject job = QJsonDocument::fromJson(file.readAll()).object();
    PgsStyle style;
    style.width = job["width"].toInt();
    style.height = job["height"].toInt();
    style.family = job["family"].toString();
    style.pixelSize = job["pixelSize"].toInt();
    style.bold = job["bold"].toBool();
    QList<PgsEvent> events;
    for (const QJsonValue& value : job["events"].toArray()) {
        const QJsonObject e = value.toObject();
        PgsEvent event;
        event.start = e["start"].toDouble();
        event.end = e["end"].toDouble();
        for (const QJsonValue& line : e["lines"].toArray())
            event.lines.append(line.toString());
        event.forced = e["forced"].toBool();
        events.append(event);
    }
    return writeDirectly(job["path"].toString(), events, style) ? 0 : 1;
}

// A program run again as the helper does the job before its own main and
// ends; any other run goes on as usual.
bool runAsHelperWhenAsked()
{
    const char* job = std::getenv(kHelperJobVariable);
    if (job == nullptr || *job == '\0')
        return false;
    std::_Exit(runHelperJob(QString::fromLocal8Bit(job)));
}

[[maybe_unused]] const bool g_ranAsHelper = runAsHelperWhenAsked();

bool writeInHelper(const QString& path, const QList<PgsEvent>& events, const PgsStyle& style)
{
    QTemporaryDir dir;
    if (!dir.isValid())
        return false;
    const QString jobPath = dir.filePath("job.json");
    QFile job(jobPath);
    if (!job.open(QIODevice::WriteOnly) ||
        job.write(QJsonDocument(toJson(path, events, style)).toJson()) < 0 || !job.flush())
        return false;
    job.close();
    QProcess helper;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(kHelperJobVariable, jobPath);
    helper.setProcessEnvironment(environment);
    helper.setProcessChannelMode(QProcess::MergedChannels);
    helper.setStandardInputFile(QProcess::nullDevice());
    // This very program, whatever its name (Linux names it here).
    helper.start(QStringLiteral("/proc/self/exe"), {});
    if (!helper.waitForFinished(120000)) {
        helper.kill();
        helper.waitForFinished();
    }
    if (helper.exitStatus() == QProcess::NormalExit && helper.exitCode() == 0)
        return true;
    // Its words (Qt's warnings on the way) matter only when it failed.
    qWarning("the PGS writer's helper failed: %s", helper.readAll().constData());
    return false;
}

} // namespace

bool writePgs(const QString& path, const QList<PgsEvent>& events, const PgsStyle& style)
{
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return writeDirectly(path, events, style);
    return writeInHelper(path, events, style);
}
