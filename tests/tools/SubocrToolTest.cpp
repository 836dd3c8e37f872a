#include "common/CharacterErrorRate.h"
#include "common/PgsWriter.h"
#include "common/TestSupport.h"
#include "subocr/EventTimeline.h"
#include "subocr/PicturePreparation.h"
#include "subocr/TextMending.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace subocr_test {

using subocr::Bitmap;
using subocr::DecodedSubtitle;
using subocr::SubtitleEvent;

struct SrtCue
{
    double start = 0;
    double end = 0;
    QString text;
};

struct SubocrOutput
{
    int status = -1;
    QStringList lines; // standard output and error, line by line
    QList<SrtCue> cues;
    QList<SrtCue> forcedCues;
};

QString subocrPath()
{
    return resourcesDir() + "/subocr";
}

QList<SrtCue> readSrt(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    static const QRegularExpression timing(
        R"((\d+):(\d\d):(\d\d),(\d{3}) --> (\d+):(\d\d):(\d\d),(\d{3}))");
    const auto seconds = [](const QRegularExpressionMatch& m, int first) {
        return m.captured(first).toInt() * 3600.0 + m.captured(first + 1).toInt() * 60.0 +
               m.captured(first + 2).toInt() + m.captured(first + 3).toInt() / 1000.0;
    };
    QList<SrtCue> cues;
    for (const QString& block :
         QString::fromUtf8(file.readAll()).split("\n\n", Qt::SkipEmptyParts)) {
        QStringList lines = block.split('\n');
        if (lines.size() < 3)
            continue;
        const QRegularExpressionMatch m = timing.match(lines[1]);
        if (!m.hasMatch())
            continue;
        cues.append({seconds(m, 1), seconds(m, 5), lines.mid(2).join('\n')});
    }
    return cues;
}

// Runs the tool to its end; its standard output only, line by line (status
// -1 for a crash or a run over a minute).
SubocrOutput runTool(const QStringList& args)
{
    SubocrOutput out;
    QProcess process;
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(subocrPath(), args);
    if (!process.waitForStarted(10000))
        return out;
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return out;
    }
    out.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    out.lines = QString::fromUtf8(process.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    return out;
}

// With both outputs in the folder, read back.
SubocrOutput runSubocr(const QStringList& args, const QString& dir)
{
    const QString srt = dir + "/out.srt";
    const QString forced = dir + "/forced.srt";
    QFile::remove(srt);
    QFile::remove(forced);
    SubocrOutput out = runTool(args + QStringList{"-o", srt, "--forced-output", forced});
    out.cues = readSrt(srt);
    out.forcedCues = readSrt(forced);
    return out;
}

// The cues match the events one for one: text within 2 % of characters,
// start within 0.1 s.
void expectCues(const QList<SrtCue>& cues, const QList<PgsEvent>& events, double shift = 0)
{
    ASSERT_EQ(cues.size(), events.size());
    for (qsizetype i = 0; i < events.size(); ++i) {
        const QString expected = events[i].lines.join('\n');
        EXPECT_LE(characterErrorRate(expected, cues[i].text), 0.02)
            << qPrintable(expected) << " read as " << qPrintable(cues[i].text);
        EXPECT_NEAR(cues[i].start, events[i].start - shift, 0.1) << qPrintable(expected);
        EXPECT_NEAR(cues[i].end, events[i].end - shift, 0.1) << qPrintable(expected);
    }
}

// Progress lines only rise and end at 100, right before the summary.
void expectProgressThenSummary(const QStringList& lines, const QString& summary)
{
    int last = -1;
    qsizetype progressLines = 0;
    for (const QString& line : lines) {
        if (!line.startsWith("progress: "))
            continue;
        const int value = line.mid(10).toInt();
        EXPECT_GT(value, last) << qPrintable(lines.join('\n'));
        last = value;
        ++progressLines;
    }
    EXPECT_EQ(last, 100);
    EXPECT_GE(progressLines, 2);
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(lines.last(), summary) << qPrintable(lines.join('\n'));
}

QList<PgsEvent> dialogue()
{
    return {
        {1.0, 2.8, {"Where were you last night?"}, false},
        {3.2, 5.0, {"I was at the harbour, waiting.", "- For whom?"}, false},
        {5.5, 7.25, {"Nobody you'd know, Mr. Fletcher."}, true},
        {8.0, 9.5, {"- Don't lie to me.", "- I'm not lying!"}, false},
    };
}

// The events as PGS in Matroska, muxed by mkvmerge.
QString pgsMovie(const QString& dir, const QList<PgsEvent>& events, const PgsStyle& style)
{
    const QString sup = dir + "/subs.sup";
    const QString mkv = dir + "/pgs.mkv";
    if (!writePgs(sup, events, style))
        return {};
    const int status =
        runProgram("mkvmerge", {"-q", "-o", mkv, "--language", "0:eng", sup}, nullptr, 60000);
    // mkvmerge answers 1 for warnings.
    return status == 0 || status == 1 ? mkv : QString();
}

Bitmap bitmap(int width, int height, std::initializer_list<std::uint32_t> palette)
{
    Bitmap b;
    b.width = width;
    b.height = height;
    b.pixels.assign(std::size_t(width) * std::size_t(height), 0);
    std::size_t i = 0;
    for (const std::uint32_t colour : palette)
        b.palette[i++] = colour;
    return b;
}

void paint(Bitmap& b, int x0, int y0, int w, int h, std::uint8_t index)
{
    for (int y = y0; y < y0 + h; ++y) {
        for (int x = x0; x < x0 + w; ++x)
            b.pixels[std::size_t(y) * std::size_t(b.width) + std::size_t(x)] = index;
    }
}

// Three "letters" 12x30: fill 1 inside a 3-pixel outline 2, a smoothing
// entry 3 along the fill's edge.
Bitmap outlinedLetters(std::initializer_list<std::uint32_t> palette)
{
    Bitmap b = bitmap(80, 50, palette);
    for (int x : {6, 30, 54}) {
        paint(b, x - 3, 7, 18, 36, 2);
        paint(b, x, 10, 12, 30, 3);
        paint(b, x + 1, 11, 10, 28, 1);
    }
    return b;
}

DecodedSubtitle decoded(double start, std::vector<Bitmap> rects, double ownEnd = -1)
{
    DecodedSubtitle s;
    s.start = std::int64_t(start * 1e6);
    s.hasEnd = ownEnd >= 0;
    s.end = std::int64_t(ownEnd * 1e6);
    s.rects = std::move(rects);
    return s;
}

std::vector<std::pair<double, double>> times(const std::vector<SubtitleEvent>& events)
{
    std::vector<std::pair<double, double>> out;
    for (const SubtitleEvent& e : events)
        out.emplace_back(double(e.start) / 1e6, double(e.end) / 1e6);
    return out;
}

} // namespace subocr_test

using namespace subocr_test;

TEST(SubocrText, MendsMisreadsOnlyWhereCertain)
{
    const subocr::MendingRules english;
    const QList<QPair<std::string, std::string>> cases = {
        {"| know. |t's |'m", "I know. It's I'm"},
        {"l'm here, l'll go, l've l'd", "I'm here, I'll go, I've I'd"},
        {"lt is. ls it? lf so, ln time. lt's lBM, l said.",
         "It is. Is it? If so, In time. It's IBM, I said."},
        // Words that are right as they are, in English or elsewhere.
        {"lol, la llama, l'homme, l'amour, lt1", "lol, la llama, l'homme, l'amour, lt1"},
        {"''Quote'' \u201Cthis\u201D \u2018now\u2019 \u201Ejetzt\u201C",
         "\"Quote\" \"this\" 'now' \"jetzt\""},
        {"Wait , what ?  Really .", "Wait, what? Really."},
        {"So ...where? Well ...", "So ...where? Well..."},
        {"\u2014Who?\n\u2013 Me.\n_Yes\n-Fine.", "- Who?\n- Me.\n- Yes\n-Fine."},
        // Specks and empty lines go.
        {"- Hi.\n\n .. \n'\nBye.", "- Hi.\nBye."},
        {" . ", ""},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(subocr::mendText(in, english), out) << in;
    // French keeps its space before high punctuation.
    const subocr::MendingRules french = subocr::mendingRulesFor("deu+fra");
    EXPECT_EQ(subocr::mendText("Quoi ? Non , merci !", french), "Quoi ? Non, merci !");
}

TEST(SubocrTimeline, SettlesEndsForEveryCodec)
{
    Bitmap a = bitmap(4, 2, {0, 0xFFFFFFFF});
    a.pixels[1] = 1;
    Bitmap b = a;
    b.pixels[2] = 1;
    Bitmap faint = a;
    faint.palette[1] = 0x40FFFFFF;
    {
        // PGS: shown until the next composition, cleared or not; a fade
        // (the same picture, another palette) stays one event, read in
        // its most opaque palette; the last one stays 5 s.
        subocr::EventTimeline t;
        std::vector<SubtitleEvent> all;
        for (DecodedSubtitle s :
             {decoded(1, {faint}), decoded(1.5, {a}), decoded(2, {faint}), decoded(3, {}),
              decoded(4, {b}), decoded(4, {}), decoded(6, {a})}) {
            for (SubtitleEvent& e : t.push(std::move(s)))
                all.push_back(std::move(e));
        }
        for (SubtitleEvent& e : t.finish())
            all.push_back(std::move(e));
        EXPECT_EQ(times(all), (std::vector<std::pair<double, double>>{{1, 3}, {4, 6}, {6, 11}}));
        EXPECT_EQ(all[0].rects[0].palette[1], 0xFFFFFFFFu);
    }
    {
        // VobSub and DVB: their own end, unless the next comes first; one
        // replaced at the moment it came is never seen.
        subocr::EventTimeline t;
        std::vector<SubtitleEvent> all;
        for (DecodedSubtitle s : {decoded(1, {a}, 2), decoded(3, {b}, 9), decoded(4, {a}),
                                  decoded(4, {b}, 5), decoded(5, {a}, 5)}) {
            for (SubtitleEvent& e : t.push(std::move(s)))
                all.push_back(std::move(e));
        }
        for (SubtitleEvent& e : t.finish())
            all.push_back(std::move(e));
        EXPECT_EQ(times(all),
                  (std::vector<std::pair<double, double>>{{1, 2}, {3, 4}, {4, 5}, {5, 10}}));
    }
}

TEST(SubocrPicture, FindsTheFillWhateverItsColour)
{
    // White on black outline, dark on light outline, and light text in an
    // opaque box: the fill is what the outline or box surrounds.
    for (const Bitmap& b : {outlinedLetters({0, 0xFFFFFFFF, 0xFF000000, 0xFF808080}),
                            outlinedLetters({0x00FFFFFF, 0xFF202020, 0xFFF0F0F0, 0xFF888888})}) {
        const std::array<float, 256> w = subocr::fillWeights(b);
        EXPECT_FLOAT_EQ(w[1], 1.0f);
        EXPECT_FLOAT_EQ(w[2], 0.0f);
        EXPECT_NEAR(w[3], 0.5f, 0.1f);
        EXPECT_FLOAT_EQ(w[0], 0.0f);
    }
    Bitmap boxed = bitmap(80, 50, {0xFF000000, 0xFFFFFF00});
    for (int x : {6, 30, 54})
        paint(boxed, x, 10, 12, 30, 1);
    EXPECT_FLOAT_EQ(subocr::fillWeights(boxed)[1], 1.0f);
    EXPECT_FLOAT_EQ(subocr::fillWeights(boxed)[0], 0.0f);

    // Prepared: dark letters scaled to the target height in a white margin.
    const subocr::GreyImage prepared =
        subocr::prepareForOcr(outlinedLetters({0, 0xFFFFFFFF, 0xFF000000, 0xFF808080}));
    ASSERT_FALSE(prepared.empty());
    EXPECT_NEAR(subocr::letterHeight(prepared), subocr::kTargetLetterHeight, 1);
    EXPECT_EQ(prepared.at(0, 0), 255);
    EXPECT_EQ(prepared.at(subocr::kMargin + 2, prepared.height / 2), 0);
    // Nothing opaque, or a screen of specks and blobs (damage): nothing to
    // read.
    EXPECT_TRUE(subocr::prepareForOcr(bitmap(20, 20, {0, 0x10FFFFFF})).empty());
    for (const int denseness : {3, 50}) {
        Bitmap noise = bitmap(1920, 540, {0, 0xFFFFFFFF, 0xFF000000});
        std::uint32_t state = 99;
        for (std::uint8_t& pixel : noise.pixels) {
            state = state * 1103515245u + 12345u;
            pixel = (state >> 16) % 100 < std::uint32_t(denseness)
                        ? std::uint8_t(1 + (state >> 8) % 2)
                        : 0;
        }
        EXPECT_TRUE(subocr::prepareForOcr(noise).empty()) << denseness;
    }
}

TEST(SubocrTool, ReadsPgsFromMatroska)
{
    const QString dir = makeTempDir("subocr");
    const QList<PgsEvent> events = dialogue();
    const QString mkv = pgsMovie(dir, events, {});
    ASSERT_FALSE(mkv.isEmpty());
    const SubocrOutput out = runSubocr({mkv, "--lang", "eng"}, dir);
    ASSERT_EQ(out.status, 0) << qPrintable(out.lines.join('\n'));
    expectCues(out.cues, events);
    expectCues(out.forcedCues, {events[2]});
    expectProgressThenSummary(out.lines, "events: 4 read: 4 forced: 1 empty: 0");
}

TEST(SubocrTool, ReadsVobSubAndDvbMadeFromPgs)
{
    const QString dir = makeTempDir("subocr");
    const QList<PgsEvent> events = dialogue();
    PgsStyle style;
    style.width = 720;
    style.height = 576;
    style.pixelSize = 30;
    style.family = "DejaVu Serif";
    const QString pgs = pgsMovie(dir, events, style);
    ASSERT_FALSE(pgs.isEmpty());
    // ffmpeg carries the PGS ends (the clearing compositions) into the
    // other codecs with -fix_sub_duration, its times with -copyts.
    const QString vob = dir + "/vob.mkv";
    const QString dvb = dir + "/dvb.ts";
    ASSERT_TRUE(
        ffmpeg({"-fix_sub_duration", "-i", pgs, "-copyts", "-map", "0", "-c:s", "dvdsub", vob}));
    ASSERT_TRUE(ffmpeg({"-fix_sub_duration", "-i", pgs, "-copyts", "-muxdelay", "0", "-muxpreload",
                        "0", "-map", "0", "-c:s", "dvbsub", dvb}));
    ASSERT_EQ(runProgram("mkvextract", {vob, "tracks", "0:" + dir + "/vob.idx"}), 0);

    for (const QString& input : {vob, dir + "/vob.idx"}) {
        SCOPED_TRACE(input.toStdString());
        const SubocrOutput out = runSubocr({input}, dir);
        ASSERT_EQ(out.status, 0) << qPrintable(out.lines.join('\n'));
        expectCues(out.cues, events);
        expectCues(out.forcedCues, {events[2]});
        expectProgressThenSummary(out.lines, "events: 4 read: 4 forced: 1 empty: 0");
    }
    // DVB knows no forced subtitles. The offset moves every time; the
    // first event, ending before it, is left out.
    const SubocrOutput out =
        runSubocr({dvb, "--stream", "0", "--offset", "3.5", "--threads", "1"}, dir);
    ASSERT_EQ(out.status, 0) << qPrintable(out.lines.join('\n'));
    QList<PgsEvent> shown = events.mid(1);
    shown[0].start = 3.5;
    expectCues(out.cues, shown, 3.5);
    EXPECT_TRUE(out.forcedCues.isEmpty());
    EXPECT_TRUE(QFile::exists(dir + "/forced.srt"));
    expectProgressThenSummary(out.lines, "events: 3 read: 3 forced: 0 empty: 0");
}

TEST(SubocrTool, FailsCleanlyOnDamageAndBadRequests)
{
    const QString dir = makeTempDir("subocr");
    PgsStyle style;
    style.width = 720;
    style.height = 576;
    style.pixelSize = 28;
    const QString sup = dir + "/subs.sup";
    const QList<PgsEvent> events = dialogue();
    ASSERT_TRUE(writePgs(sup, events, style));
    QFile file(sup);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray good = file.readAll();
    file.close();

    // Damaged copies: bytes changed all over, the first segment's start
    // broken, cut short. Each ends with a summary or an Error line in time.
    QByteArray scrambled = good;
    std::uint32_t state = 12345;
    for (int i = 0; i < 40; ++i) {
        state = state * 1103515245u + 12345u;
        scrambled[qsizetype(state % std::uint32_t(good.size()))] = char(state >> 24);
    }
    QByteArray badStart = good;
    badStart[0] = 'X';
    for (const QByteArray& bytes : {scrambled, badStart, good.left(good.size() * 3 / 5)}) {
        ASSERT_TRUE(writeBytes(dir + "/damaged.sup", bytes));
        QElapsedTimer clock;
        clock.start();
        const SubocrOutput out = runSubocr({dir + "/damaged.sup", "--threads", "1"}, dir);
        EXPECT_LT(clock.elapsed(), 30000);
        ASSERT_TRUE(out.status == 0 || out.status == 1) << out.status;
        const QString last = out.lines.value(out.lines.size() - 1);
        EXPECT_TRUE(out.status == 0 ? last.startsWith("events: ") : last.startsWith("Error: "))
            << qPrintable(out.lines.join('\n'));
        // Reading goes on at the next segment after the damage.
        if (bytes == badStart) {
            EXPECT_TRUE(last.startsWith("events: 3 read: 3 ")) << qPrintable(last);
        }
    }

    // Requests that cannot be met: one Error line, exit status 1, no output.
    const QString empty = makeTempDir("tessdata");
    const QString srt = dir + "/subs.srt";
    ASSERT_TRUE(writeBytes(srt, "1\n00:00:01,000 --> 00:00:02,000\nText\n\n"));
    const QString mixed = dir + "/mixed.mkv";
    ASSERT_LE(runProgram("mkvmerge", {"-q", "-o", mixed, sup, srt}), 1);
    const QList<QPair<QStringList, QString>> failures = {
        {{sup, "--lang", "eng+jpn"}, "Error: no trained data for jpn in "},
        {{sup, "--tessdata", empty}, "Error: no trained data for eng in " + empty},
        {{mixed, "--stream", "1"}, "Error: stream 1 of " + mixed + " is not a picture subtitle"},
        {{mixed, "--stream", "7"}, "Error: " + mixed + " has no stream 7"},
        {{srt}, "Error: "},
        {{dir + "/missing.sup"}, "Error: cannot read "},
    };
    for (const auto& [args, message] : failures) {
        const SubocrOutput out = runSubocr(args, dir);
        EXPECT_EQ(out.status, 1) << qPrintable(args.join(' '));
        EXPECT_TRUE(out.lines.value(0).startsWith(message)) << qPrintable(out.lines.join('\n'));
        EXPECT_FALSE(QFile::exists(dir + "/out.srt"));
    }
    const SubocrOutput unwritable = runTool({sup, "-o", dir + "/no/such/folder/out.srt"});
    EXPECT_EQ(unwritable.status, 1);
    EXPECT_TRUE(unwritable.lines.value(0).startsWith("Error: cannot write "));
    QString log;
    for (const QStringList& args : QList<QStringList>{{},
                                                      {sup},
                                                      {sup, "-o"},
                                                      {sup, "-o", srt, "--threads", "0"},
                                                      {sup, "-o", srt, "--bogus"}}) {
        EXPECT_EQ(runProgram(subocrPath(), args, &log), 2) << qPrintable(args.join(' '));
        EXPECT_TRUE(log.contains("Usage: subocr")) << qPrintable(log);
    }
}
