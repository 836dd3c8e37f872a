// afconvert encoding one sound in pieces on several workers, through FIFOs
// as the conversion runs it, against the single ffmpeg run it replaces.

#include "afconvert/SoundQuality.h"
#include "common/TestSupport.h"
#include "common/WrittenBoxes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <csignal>
#include <cstring>
#include <gtest/gtest.h>
#include <limits>
#include <span>
#include <sys/stat.h>
#include <vector>

namespace {

constexpr int kPiecesRate = 48000;
// Pieces as short as the lead-in allows (66 frames, 1.4 s), so that a few
// seconds of sound have several joins.
const QStringList kPieces{"-w", "3", "-p", "1", "-l", "64"};

QString piecesAfconvertPath()
{
    return resourcesDir() + "/afconvert";
}

// A sound that keeps changing: a slow sweep under a tone switched on and
// off, as 32-bit floats (the extraction's format).
QString makeChangingSound(const QString& path, int seconds)
{
    const QString sweep = QString("0.4*sin(2*PI*50*%1/log(100)*(pow(100\\,t/%1)-1))").arg(seconds);
    const QString expression = sweep + "+0.3*sin(2*PI*1000*t)*lt(mod(t\\,0.7)\\,0.3)|" + sweep +
                               "+0.3*sin(2*PI*1500*t)*lt(mod(t+0.2\\,0.9)\\,0.4)";
    const bool made =
        ffmpeg({"-f", "lavfi", "-i",
                QString("aevalsrc=%1:s=%2:d=%3").arg(expression).arg(kPiecesRate).arg(seconds),
                "-c:a", "pcm_f32le", path});
    return made ? path : QString();
}

std::vector<float> samplesOf(const QString& path)
{
    const QString raw = path + ".f32";
    if (!ffmpeg({"-i", path, "-f", "f32le", raw}))
        return {};
    QFile file(raw);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    std::vector<float> samples(std::size_t(bytes.size()) / sizeof(float));
    std::memcpy(samples.data(), bytes.constData(), samples.size() * sizeof(float));
    return samples;
}

// ffmpeg decodes the WAV into a FIFO that afconvert reads, as the conversion
// runs them; afconvert's exit status.
int encodeFromFifo(const QString& wav, const QString& out, const QStringList& options,
                   QString* log = nullptr)
{
    const QString fifo = out + ".wav.fifo";
    if (::mkfifo(QFile::encodeName(fifo).constData(), 0600) != 0)
        return -1;
    QProcess extraction;
    extraction.start("ffmpeg", {"-nostdin", "-loglevel", "error", "-y", "-i", wav, "-c:a",
                                "pcm_f32le", "-f", "wav", fifo});
    const int status =
        runProgram(piecesAfconvertPath(),
                   QStringList{fifo, "-o", out, "-f", "adts", "-b", "128000"} + options, log);
    extraction.waitForFinished(60000);
    QFile::remove(fifo);
    return status;
}

// The states of every thread of a process ('T' when stopped).
QString threadStates(qint64 pid)
{
    QString states;
    const QDir tasks(QString("/proc/%1/task").arg(pid));
    for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile stat(tasks.filePath(task + "/stat"));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray text = stat.readAll();
        states += QChar(text.at(text.lastIndexOf(')') + 2));
    }
    return states;
}

} // namespace

TEST(AfconvertInPieces, DecodesLikeASingleRunWithTheSameDelayEditListAndQuality)
{
    const QString dir = makeTempDir("pieces");
    const QString wav = makeChangingSound(dir + "/sound.wav", 5);
    ASSERT_FALSE(wav.isEmpty());
    const QString single = dir + "/single.aac";
    QString log;
    ASSERT_EQ(encodeFromFifo(wav, single, {"-w", "1"}, &log), 0) << qPrintable(log);
    const std::vector<float> source = samplesOf(wav);
    const std::vector<float> fromSingle = samplesOf(single);
    ASSERT_GT(fromSingle.size(), 2048u);

    // Even pieces; pieces that shrink toward the end the conversion names
    // (-e), right or wrong about the sound's 5 s.
    const QStringList shrinking{"-w", "3", "-p", "3", "-l", "64"};
    const QList<QStringList> layouts{kPieces, shrinking + QStringList{"-e", "5"},
                                     shrinking + QStringList{"-e", "2"},
                                     shrinking + QStringList{"-e", "9"}};
    for (const QStringList& layout : layouts) {
        SCOPED_TRACE(layout.join(' ').toStdString());
        const QString pieces = dir + "/pieces.aac";
        QFile::remove(pieces);
        ASSERT_EQ(encodeFromFifo(wav, pieces, layout, &log), 0) << qPrintable(log);

        // Sample for sample as long, the priming included.
        const std::vector<float> fromPieces = samplesOf(pieces);
        ASSERT_GT(fromPieces.size(), 2048u);
        EXPECT_EQ(fromPieces.size(), fromSingle.size());

        // Muxed as the conversion does (the sound half a second after the
        // picture, less the priming): the same delay and edit list.
        const QString offset = QString::number(0.5 - 1024.0 / kPiecesRate, 'f', 6);
        std::vector<mp4::TrackSummary> sounds;
        std::vector<std::size_t> shown;
        for (const QString& aac : {single, pieces}) {
            const QString movie = aac + ".mp4";
            QFile::remove(movie);
            ASSERT_TRUE(ffmpeg({"-f", "lavfi", "-i", "testsrc=size=64x48:rate=10:duration=6", "-f",
                                "aac", "-itsoffset", offset, "-i", aac, "-map", "0:v", "-map",
                                "1:a", "-c:v", "mpeg4", "-c:a", "copy", movie}));
            const auto boxes = readBoxes(movie);
            ASSERT_TRUE(boxes);
            const auto tracks = tracksOf(*boxes, "soun");
            ASSERT_EQ(tracks.size(), 1u);
            sounds.push_back(tracks[0]);
            shown.push_back(samplesOf(movie).size());
        }
        EXPECT_EQ(shown[1], shown[0]);
        EXPECT_GT(sounds[0].emptyEditDuration, 0u);
        EXPECT_EQ(sounds[1].emptyEditDuration, sounds[0].emptyEditDuration);
        EXPECT_EQ(sounds[1].mediaEditDuration, sounds[0].mediaEditDuration);
        EXPECT_EQ(sounds[1].sampleCount, sounds[0].sampleCount);
        EXPECT_EQ(sounds[1].duration, sounds[0].duration);

        // The joins are not heard (generous bounds on a short sound; the
        // benchmark measures a long one).
        const std::span<const float> singleSound(fromSingle.data() + 2048,
                                                 fromSingle.size() - 2048);
        const std::span<const float> piecesSound(fromPieces.data() + 2048,
                                                 fromPieces.size() - 2048);
        const auto a = afconvert::compareSound(source, singleSound, 2, kPiecesRate);
        const auto b = afconvert::compareSound(source, piecesSound, 2, kPiecesRate);
        ASSERT_TRUE(a && b);
        EXPECT_GT(a->snrDb, 20);
        EXPECT_GT(b->snrDb, a->snrDb - 1);
        EXPECT_LT(b->loudestErrorDb, a->loudestErrorDb + 3);
    }
}

TEST(AfconvertInPieces, FailingWorkerFailsAndLeavesNothing)
{
    const QString dir = makeTempDir("pieces-fail");
    const QString wav = makeChangingSound(dir + "/sound.wav", 4);
    ASSERT_FALSE(wav.isEmpty());
    // A sample that is no number, three seconds in (in the third piece): the
    // worker of that piece cannot encode it.
    QFile file(wav);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    const qsizetype data = file.peek(4096).indexOf("data");
    ASSERT_GT(data, 0);
    ASSERT_TRUE(file.seek(data + 8 + qint64(3 * kPiecesRate) * 8));
    const float nan = std::numeric_limits<float>::quiet_NaN();
    file.write(reinterpret_cast<const char*>(&nan), sizeof nan);
    file.close();

    const QString out = dir + "/out.aac";
    QString log;
    EXPECT_EQ(runProgram(piecesAfconvertPath(),
                         QStringList{wav, "-o", out, "-f", "adts", "-b", "128000"} + kPieces, &log),
              1);
    EXPECT_TRUE(log.contains("Error: cannot encode the sound at 3.")) << qPrintable(log);
    EXPECT_FALSE(QFile::exists(out));
}

TEST(AfconvertInPieces, PauseAndContinueStopAndResumeEveryWorkerAndStopEndsThem)
{
    const QString dir = makeTempDir("pieces-pause");
    const QString wav = makeChangingSound(dir + "/sound.wav", 6);
    ASSERT_FALSE(wav.isEmpty());
    QFile source(wav);
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    const QByteArray bytes = source.readAll();
    const QString expected = dir + "/expected.aac";
    ASSERT_EQ(runProgram(piecesAfconvertPath(),
                         QStringList{wav, "-o", expected, "-f", "adts", "-b", "128000"} + kPieces),
              0);

    // The sound comes through a FIFO in two halves; afconvert is paused
    // between them, as the conversion pauses its tools (SIGSTOP, SIGCONT).
    const QString fifo = dir + "/in.fifo";
    const QString out = dir + "/out.aac";
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QProcess encoder;
    encoder.start(piecesAfconvertPath(),
                  QStringList{fifo, "-o", out, "-f", "adts", "-b", "128000"} + kPieces);
    ASSERT_TRUE(encoder.waitForStarted());
    QFile writer(fifo);
    ASSERT_TRUE(writer.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    const qsizetype half = bytes.size() / 2;
    ASSERT_EQ(writer.write(bytes.left(half)), half);
    const qint64 pid = encoder.processId();
    ASSERT_EQ(::kill(pid_t(pid), SIGSTOP), 0);
    // The reader, the writer, the signal watcher and the three workers.
    ASSERT_TRUE(waitUntil([&] { return threadStates(pid) == QString(6, 'T'); }, 10000))
        << qPrintable(threadStates(pid));
    const qint64 written = QFileInfo(out).size();
    QThread::msleep(300);
    EXPECT_EQ(QFileInfo(out).size(), written);
    ASSERT_EQ(::kill(pid_t(pid), SIGCONT), 0);
    EXPECT_TRUE(waitUntil([&] { return !threadStates(pid).contains('T'); }, 10000));
    ASSERT_EQ(writer.write(bytes.mid(half)), bytes.size() - half);
    writer.close();
    ASSERT_TRUE(encoder.waitForFinished(60000));
    EXPECT_EQ(encoder.exitCode(), 0) << encoder.readAllStandardError().toStdString();
    QFile a(expected);
    QFile b(out);
    ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
    EXPECT_TRUE(a.readAll() == b.readAll()) << "the paused run wrote another stream";

    // Stopped (SIGTERM) in the middle: every thread ends, the partial stream
    // goes.
    QFile::remove(out);
    encoder.start(piecesAfconvertPath(),
                  QStringList{fifo, "-o", out, "-f", "adts", "-b", "128000"} + kPieces);
    ASSERT_TRUE(encoder.waitForStarted());
    ASSERT_TRUE(writer.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    ASSERT_EQ(writer.write(bytes.left(half)), half);
    ASSERT_TRUE(waitUntil([&] { return threadStates(encoder.processId()).size() == 6; }, 10000));
    encoder.terminate();
    ASSERT_TRUE(encoder.waitForFinished(20000));
    EXPECT_EQ(encoder.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(encoder.exitCode(), 128 + SIGTERM);
    EXPECT_FALSE(QFile::exists(out));
}
