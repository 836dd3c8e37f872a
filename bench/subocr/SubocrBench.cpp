// subocr's figures: the wall time and peak resident memory of reading a
// 1,000-event PGS track, and the character error rate over fonts, weights
// and video sizes. The tracks are drawn with the test kit's PGS writer.
//
//   vantreo-subocr-bench SUBOCR WORK_DIR [EVENTS]

#include "CharacterErrorRate.h"
#include "PgsWriter.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QRegularExpression>
#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

struct Cue
{
    double start = 0;
    QString text;
};

struct Run
{
    int status = -1;
    double seconds = 0;
    long peakKilobytes = 0;
};

struct Score
{
    double errors = 0; // summed edit distance
    qsizetype characters = 0;
    int exact = 0;
    int events = 0;
    QStringList misreads; // the first few, "expected -> read"
};

// Subtitle-like lines: a pseudo-random walk through a small vocabulary
// with names, contractions, numbers and punctuation, at most 40 characters.
class LineMaker
{
public:
    explicit LineMaker(std::uint32_t seed) : m_state(seed | 1) {}

    QString line()
    {
        static const QStringList words = {
            "I",        "you",    "we",      "they",     "it's",    "don't",   "I'm",
            "the",      "a",      "house",   "river",    "night",   "money",   "station",
            "never",    "always", "quickly", "tomorrow", "there",   "here",    "Jones",
            "Fletcher", "Paris",  "Monday",  "should",   "could",   "know",    "think",
            "wait",     "go",     "find",    "open",     "door",    "12",      "1985",
            "about",    "with",   "before",  "after",    "nothing", "someone", "really",
            "what",     "where",  "why",     "left",     "right",   "yes",     "no"};
        static const QStringList endings = {".", "?", "!", "...", ",", "."};
        QString text;
        for (;;) {
            const QString word = words[int(next() % std::uint32_t(words.size()))];
            const QString candidate = text.isEmpty() ? word : text + " " + word;
            if (candidate.size() > 34 && !text.isEmpty())
                break;
            text = candidate;
        }
        text[0] = text[0].toUpper();
        text += endings[int(next() % std::uint32_t(endings.size()))];
        if (next() % 5 == 0)
            text = "- " + text;
        return text;
    }

    std::uint32_t next()
    {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return m_state;
    }

private:
    std::uint32_t m_state;
};

QList<PgsEvent> makeEvents(int count, std::uint32_t seed)
{
    LineMaker maker(seed);
    QList<PgsEvent> events;
    for (int i = 0; i < count; ++i) {
        PgsEvent event;
        event.start = 1.0 + i * 3.0;
        event.end = event.start + 2.0;
        event.lines.append(maker.line());
        if (maker.next() % 2 == 0)
            event.lines.append(maker.line());
        event.forced = maker.next() % 10 == 0;
        events.append(event);
    }
    return events;
}

// Runs the program to its end, measured: wall time, and the peak resident
// set of the process (its own rusage, from wait4).
Run measure(const QStringList& command)
{
    std::vector<QByteArray> bytes;
    for (const QString& part : command)
        bytes.push_back(QFile::encodeName(part));
    std::vector<char*> argv;
    for (QByteArray& part : bytes)
        argv.push_back(part.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    Run run;
    QElapsedTimer clock;
    clock.start();
    pid_t child = 0;
    const int spawned = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return run;
    int status = 0;
    struct rusage usage
    {
    };
    if (wait4(child, &status, 0, &usage) != child)
        return run;
    run.seconds = double(clock.nsecsElapsed()) / 1e9;
    run.peakKilobytes = usage.ru_maxrss;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

QList<Cue> readSrt(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    static const QRegularExpression timing(R"((\d+):(\d\d):(\d\d),(\d{3}) -->)");
    QList<Cue> cues;
    for (const QString& block :
         QString::fromUtf8(file.readAll()).split("\n\n", Qt::SkipEmptyParts)) {
        const QStringList lines = block.split('\n');
        const QRegularExpressionMatch m = timing.match(lines.value(1));
        if (lines.size() < 3 || !m.hasMatch())
            continue;
        const double start = m.captured(1).toInt() * 3600.0 + m.captured(2).toInt() * 60.0 +
                             m.captured(3).toInt() + m.captured(4).toInt() / 1000.0;
        cues.append({start, lines.mid(2).join('\n')});
    }
    return cues;
}

// Each event against the cue that starts with it; an event without one
// counts all its characters wrong.
Score score(const QList<PgsEvent>& events, const QList<Cue>& cues)
{
    Score s;
    qsizetype next = 0;
    for (const PgsEvent& event : events) {
        const QString expected = event.lines.join('\n');
        const qsizetype length = expected.simplified().size();
        while (next < cues.size() && cues[next].start < event.start - 0.1)
            ++next;
        double rate = 1;
        if (next < cues.size() && cues[next].start <= event.start + 0.1)
            rate = characterErrorRate(expected, cues[next].text);
        s.errors += rate * double(length);
        s.characters += length;
        s.exact += rate == 0 ? 1 : 0;
        ++s.events;
        if (rate > 0 && s.misreads.size() < 5) {
            const QString read = next < cues.size() ? cues[next].text : QString("(nothing)");
            s.misreads.append(QString(expected).replace('\n', " | ") + "  ->  " +
                              QString(read).replace('\n', " | "));
        }
    }
    return s;
}

QString styleName(const PgsStyle& style)
{
    return QString("%1%2 %3 px %4p")
        .arg(style.family, style.bold ? " Bold" : "")
        .arg(style.pixelSize)
        .arg(style.height);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: vantreo-subocr-bench SUBOCR WORK_DIR [EVENTS]\n");
        return 2;
    }
    const QString subocr = QString::fromLocal8Bit(argv[1]);
    const QString work = QString::fromLocal8Bit(argv[2]);
    const int count = argc > 3 ? std::max(1, std::atoi(argv[3])) : 1000;
    QDir().mkpath(work);

    // The long track: 1080p, the writer's default style.
    const QList<PgsEvent> events = makeEvents(count, 2024);
    const QString sup = work + "/track.sup";
    if (!writePgs(sup, events, {})) {
        std::fprintf(stderr, "could not write %s\n", qPrintable(sup));
        return 1;
    }
    const Run run = measure({subocr, sup, "-o", work + "/track.srt"});
    if (run.status != 0) {
        std::fprintf(stderr, "subocr failed on the long track (%d)\n", run.status);
        return 1;
    }
    const Score track = score(events, readSrt(work + "/track.srt"));
    std::printf("%d events, %s: %.1f s wall (goal < 60 s), peak RSS %.0f MB, CER %.2f %%, "
                "%d of %d read exactly\n",
                count, qPrintable(styleName({})), run.seconds, double(run.peakKilobytes) / 1024.0,
                100.0 * track.errors / double(std::max<qsizetype>(track.characters, 1)),
                track.exact, track.events);
    for (const QString& misread : track.misreads)
        std::printf("  misread: %s\n", qPrintable(misread));

    // The error rate over fonts, weights and sizes: 60 events each.
    std::printf("\n%-36s %8s %8s\n", "style", "CER", "exact");
    const QList<QPair<QString, bool>> faces = {{"DejaVu Sans", false},  {"DejaVu Sans", true},
                                               {"DejaVu Serif", false}, {"Nimbus Sans", true},
                                               {"Nimbus Roman", false}, {"URW Bookman", false}};
    Score all;
    std::uint32_t seed = 7;
    for (const auto& [family, bold] : faces) {
        for (const bool hd : {true, false}) {
            PgsStyle style;
            style.family = family;
            style.bold = bold;
            style.width = hd ? 1920 : 720;
            style.height = hd ? 1080 : 576;
            style.pixelSize = hd ? 48 : 26;
            const QList<PgsEvent> sample = makeEvents(60, ++seed);
            const QString path = work + "/style.sup";
            if (!writePgs(path, sample, style) ||
                measure({subocr, path, "-o", work + "/style.srt"}).status != 0) {
                std::printf("%-36s failed\n", qPrintable(styleName(style)));
                continue;
            }
            const Score s = score(sample, readSrt(work + "/style.srt"));
            all.errors += s.errors;
            all.characters += s.characters;
            std::printf("%-36s %7.2f%% %5d/%d\n", qPrintable(styleName(style)),
                        100.0 * s.errors / double(std::max<qsizetype>(s.characters, 1)), s.exact,
                        s.events);
        }
    }
    std::printf("%-36s %7.2f%%\n", "all styles",
                100.0 * all.errors / double(std::max<qsizetype>(all.characters, 1)));
    return 0;
}
