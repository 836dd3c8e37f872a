#include "common/MovieFactory.h"
#include "common/TestSupport.h"

#include <QFile>
#include <QJsonArray>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

int mp4box(const QStringList& args, QString* output)
{
    return runProgram(resourcesDir() + "/MP4Box", args, output);
}

// A two-second movie with one video and two audio tracks (IDs 1, 2, 3).
QString makeThreeTrackMovie(const QString& dir, const QString& name, const QStringList& extra)
{
    const QString path = dir + "/" + name;
    const bool made =
        ffmpeg(QStringList{"-f",   "lavfi",   "-i",      "testsrc=size=160x120:rate=25",
                           "-f",   "lavfi",   "-i",      "sine=frequency=440",
                           "-f",   "lavfi",   "-i",      "sine=frequency=880",
                           "-map", "0",       "-map",    "1",
                           "-map", "2",       "-t",      "2",
                           "-c:v", "libx264", "-preset", "ultrafast",
                           "-c:a", "aac"} +
               extra + QStringList{path});
    return made ? path : QString();
}

// The one position where two equally long byte arrays differ, or -1 when they
// differ in none or in several.
qsizetype singleDifference(const QByteArray& a, const QByteArray& b)
{
    if (a.size() != b.size())
        return -1;
    qsizetype found = -1;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (a[i] != b[i]) {
            if (found >= 0)
                return -1;
            found = i;
        }
    }
    return found;
}

quint32 bigEndian32(const QByteArray& bytes, qsizetype at)
{
    quint32 v = 0;
    for (int i = 0; i < 4; ++i)
        v = (v << 8) | quint8(bytes[at + i]);
    return v;
}

// Checks that `changed` differs from `original` only in the enabled bit of the
// version-0 track header of `trackId`, now `enabled`, and that the tools
// still read it.
void expectOnlyEnabledBitChanged(const QString& path, const QByteArray& original, quint32 trackId,
                                 bool enabled)
{
    const QByteArray changed = readAll(path);
    const qsizetype at = singleDifference(original, changed);
    ASSERT_GE(at, 7);
    EXPECT_EQ(changed.mid(at - 7, 4), QByteArray("tkhd"));
    ASSERT_EQ(original[at - 3], 0) << "expected a version 0 track header";
    EXPECT_EQ(bigEndian32(changed, at + 9), trackId);
    EXPECT_EQ(quint8(original[at]) & 1, enabled ? 0 : 1);
    EXPECT_EQ(quint8(changed[at]) & 1, enabled ? 1 : 0);
    EXPECT_EQ(quint8(changed[at]) & ~1, quint8(original[at]) & ~1);

    QString out;
    EXPECT_EQ(runProgram("ffprobe", {"-v", "error", "-show_streams", path}, &out), 0)
        << qPrintable(out);
    ASSERT_EQ(runProgram("mediainfo", {"--Output=XML", path}, &out), 0);
    EXPECT_EQ(out.count("<track type=\"Video\""), 1);
    EXPECT_EQ(out.count("<track type=\"Audio\""), 2);
}

} // namespace

TEST(Mp4BoxTool, DisablesTrackWithMoovAfterMdat)
{
    const QString dir = makeTempDir("mp4box");
    const QString path = makeThreeTrackMovie(dir, "movie.mp4", {});
    ASSERT_FALSE(path.isEmpty());
    const QByteArray original = readAll(path);
    ASSERT_GT(original.indexOf("moov"), original.indexOf("mdat"));

    // The muxer enables only the first audio track; disable that one.
    QString out;
    EXPECT_EQ(mp4box({"-disable", "2", path}, &out), 0) << qPrintable(out);
    EXPECT_TRUE(out.contains("Disabled track 2")) << qPrintable(out);
    expectOnlyEnabledBitChanged(path, original, 2, false);

    // Disabling again, or a track that is already off, changes nothing.
    const QByteArray once = readAll(path);
    EXPECT_EQ(mp4box({"-disable", "2", path}, &out), 0) << qPrintable(out);
    EXPECT_EQ(mp4box({"-disable", "3", path}, &out), 0) << qPrintable(out);
    EXPECT_EQ(readAll(path), once);

    // Enabling the second audio track sets exactly its bit; again, nothing.
    EXPECT_EQ(mp4box({"-enable", "3", path}, &out), 0) << qPrintable(out);
    EXPECT_TRUE(out.contains("Enabled track 3")) << qPrintable(out);
    expectOnlyEnabledBitChanged(path, once, 3, true);
    const QByteArray enabled = readAll(path);
    EXPECT_EQ(mp4box({"-enable", "3", path}, &out), 0) << qPrintable(out);
    EXPECT_EQ(mp4box({"-enable", "1", path}, &out), 0) << qPrintable(out);
    EXPECT_EQ(readAll(path), enabled);
}

TEST(Mp4BoxTool, DisablesTrackWithMoovFirst)
{
    const QString dir = makeTempDir("mp4box");
    // Make the second audio track (ID 3) the enabled one.
    const QString path = makeThreeTrackMovie(
        dir, "faststart.mp4",
        {"-movflags", "+faststart", "-disposition:a:0", "0", "-disposition:a:1", "default"});
    ASSERT_FALSE(path.isEmpty());
    const QByteArray original = readAll(path);
    ASSERT_LT(original.indexOf("moov"), original.indexOf("mdat"));

    QString out;
    EXPECT_EQ(mp4box({"-disable", "3", path}, &out), 0) << qPrintable(out);
    expectOnlyEnabledBitChanged(path, original, 3, false);
}

TEST(Mp4BoxTool, FailuresReportErrorAndChangeNothing)
{
    const QString dir = makeTempDir("mp4box");
    const QString movie = makeThreeTrackMovie(dir, "movie.mp4", {"-movflags", "+faststart"});
    ASSERT_FALSE(movie.isEmpty());
    const QByteArray bytes = readAll(movie);

    const QString text = dir + "/notes.mp4";
    ASSERT_TRUE(writeAll(text, "This is a text file, not a movie.\n"));
    // Cut inside the moov box (which comes first here).
    const QString truncated = dir + "/truncated.mp4";
    ASSERT_TRUE(writeAll(truncated, bytes.left(bytes.indexOf("moov") + 200)));
    // A track header whose box claims to run past its trak.
    QByteArray bad = bytes;
    const qsizetype tkhd = bad.indexOf("tkhd");
    ASSERT_GT(tkhd, 4);
    bad[tkhd - 2] = char(0x7f);
    const QString malformed = dir + "/malformed.mp4";
    ASSERT_TRUE(writeAll(malformed, bad));

    struct Case
    {
        QStringList args;
        QString file;
    };
    // -enable refuses exactly what -disable refuses.
    QList<Case> cases = {
        {{"-toggle", "1", movie}, movie},
        {{}, {}},
    };
    for (const QString verb : {"-disable", "-enable"}) {
        cases += QList<Case>{
            {{verb, "1", dir + "/missing.mp4"}, {}},
            {{verb, "1", text}, text},
            {{verb, "7", movie}, movie},
            {{verb, "1", truncated}, truncated},
            {{verb, "1", malformed}, malformed},
            {{verb, "zero", movie}, movie},
            {{verb, "0", movie}, movie},
            {{verb, "1"}, {}},
        };
    }
    for (const Case& c : cases) {
        const QByteArray before = c.file.isEmpty() ? QByteArray() : readAll(c.file);
        QString out;
        const int rc = mp4box(c.args, &out);
        EXPECT_NE(rc, 0) << qPrintable(c.args.join(' '));
        EXPECT_TRUE(out.contains("Error")) << qPrintable(c.args.join(' ') + ": " + out);
        if (!c.file.isEmpty()) {
            EXPECT_EQ(readAll(c.file), before) << qPrintable(c.args.join(' '));
        }
    }
    EXPECT_FALSE(QFile::exists(dir + "/missing.mp4"));
}

TEST(Mp4BoxTool, RefusesReadOnlyFile)
{
    const QString dir = makeTempDir("mp4box");
    const QString movie = makeThreeTrackMovie(dir, "movie.mp4", {});
    ASSERT_FALSE(movie.isEmpty());
    ASSERT_TRUE(
        QFile::setPermissions(movie, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    if (::access(QFile::encodeName(movie).constData(), W_OK) == 0)
        GTEST_SKIP() << "running with privileges that can write a read-only file (root)";
    const QByteArray before = readAll(movie);
    QString out;
    EXPECT_NE(mp4box({"-disable", "2", movie}, &out), 0);
    EXPECT_TRUE(out.contains("Error")) << qPrintable(out);
    EXPECT_NE(mp4box({"-enable", "3", movie}, &out), 0);
    EXPECT_TRUE(out.contains("Error")) << qPrintable(out);
    EXPECT_EQ(readAll(movie), before);
}

TEST(Mp4BoxTool, RewritesTheSampleEntryTypeOnly)
{
    const QString dir = makeTempDir("mp4box");
    const QString movie = dir + "/hevc.mp4";
    ASSERT_TRUE(ffmpeg({"-f", "lavfi", "-i", "testsrc=size=64x64:rate=10:duration=1", "-f", "lavfi",
                        "-i", "sine=duration=1", "-c:v", "libx265", "-x265-params",
                        "log-level=error", "-tag:v", "hvc1", "-c:a", "aac", movie}));
    const QByteArray original = readAll(movie);
    const qsizetype hvc1 = original.indexOf("hvc1");
    ASSERT_GT(hvc1, 0);

    QString out;
    EXPECT_EQ(mp4box({"-sample-entry", "1", "dvh1", movie}, &out), 0) << qPrintable(out);
    const QByteArray changed = readAll(movie);
    ASSERT_EQ(changed.size(), original.size());
    EXPECT_EQ(changed.mid(hvc1, 4), QByteArray("dvh1"));
    QByteArray back = changed;
    back.replace(hvc1, 4, "hvc1");
    EXPECT_EQ(back, original) << "no other byte changes";
    const QJsonArray streams = probeStreams(movie);
    ASSERT_EQ(streams.size(), 2);
    EXPECT_EQ(streamValue(streams[0], "codec_tag_string"), "dvh1");
    EXPECT_EQ(streamValue(streams[1], "codec_tag_string"), "mp4a");
    EXPECT_EQ(mp4box({"-sample-entry", "1", "dvh1", movie}, &out), 0) << qPrintable(out);
    EXPECT_TRUE(out.contains("already")) << qPrintable(out);

    // Refused, with nothing written: a missing track, a bad type or track ID,
    // a file that is no MP4, the form without its type.
    const QString text = dir + "/notes.mp4";
    ASSERT_TRUE(writeAll(text, "This is a text file, not a movie.\n"));
    const QList<QStringList> refused = {
        {"-sample-entry", "3", "dvh1", movie},
        {"-sample-entry", "1", "dvh", movie},
        {"-sample-entry", "1", "dvh1x", movie},
        {"-sample-entry", "1", "dv\th", movie},
        {"-sample-entry", "0", "dvh1", movie},
        {"-sample-entry", "1", "dvh1", text},
        {"-sample-entry", "1", "dvh1", dir + "/missing.mp4"},
        {"-sample-entry", "1", movie},
    };
    for (const QStringList& args : refused) {
        EXPECT_NE(mp4box(args, &out), 0) << qPrintable(args.join(' '));
        EXPECT_TRUE(out.contains("Error")) << qPrintable(args.join(' ') + ": " + out);
    }
    EXPECT_EQ(readAll(movie), changed);
    EXPECT_FALSE(QFile::exists(dir + "/missing.mp4"));
}

TEST(Mp4BoxTool, MarksATextTrackForcedInItsDisplayFlagsOnly)
{
    const QString dir = makeTempDir("mp4box-forced");
    const QString srt = dir + "/cue.srt";
    ASSERT_TRUE(writeSrt(srt));
    const QString movie = dir + "/movie.mp4";
    ASSERT_TRUE(ffmpeg({"-f", "lavfi", "-i", "testsrc=size=64x64:rate=10:duration=1", "-i", srt,
                        "-c:v", "libx264", "-c:s", "mov_text", movie}));
    const QByteArray original = readAll(movie);
    const qsizetype tx3g = original.indexOf("tx3g");
    ASSERT_GT(tx3g, 0);
    QString out;
    EXPECT_EQ(mp4box({"-forced-subtitles", "2", movie}, &out), 0) << qPrintable(out);
    const QByteArray changed = readAll(movie);
    ASSERT_EQ(changed.size(), original.size());
    EXPECT_EQ(quint8(changed.at(tx3g + 12)), quint8(original.at(tx3g + 12)) | 0x80);
    QByteArray back = changed;
    back[tx3g + 12] = original.at(tx3g + 12);
    EXPECT_EQ(back, original) << "no other byte changes";
    EXPECT_EQ(mp4box({"-forced-subtitles", "2", movie}, &out), 0) << qPrintable(out);
    EXPECT_TRUE(out.contains("already")) << qPrintable(out);
    // The video track is no text track: refused, nothing written.
    EXPECT_NE(mp4box({"-forced-subtitles", "1", movie}, &out), 0);
    EXPECT_TRUE(out.contains("Error")) << qPrintable(out);
    EXPECT_EQ(readAll(movie), changed);
}
