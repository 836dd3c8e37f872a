#include "inspection/MKVFileInfo.h"

#include "ScriptedAlertPresenter.h"
#include "TestSupport.h"
#include "foundation/AlertPresenter.h"
#include "foundation/ProcessRunner.h"
#include "foundation/RememberedWarnings.h"
#include "foundation/SettingsAccess.h"
#include "foundation/ToolLocator.h"
#include "inspection/ProbeListing.h"

#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

const QString kNoValues =
    "Duration: (null)  Bitrate: (null)  Resolution: (null)  Audiotracks: 0 (0)";

class MKVFileInfoTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        auto presenter = std::make_unique<ScriptedAlertPresenter>();
        alerts = presenter.get();
        setAlertPresenter(std::move(presenter));
        dir = makeTempDir("probe");
    }

    // A short h264 movie with a German AC-3 and an English AAC track and a
    // text subtitle made from a small .srt file.
    QString makeMovie(const QString& name, const QString& subtitleCodec)
    {
        const QString srt = dir + "/cue.srt";
        QFile file(srt);
        if (file.open(QIODevice::WriteOnly))
            file.write("1\n00:00:00,000 --> 00:00:01,000\nHello\n\n");
        file.close();
        const QString path = dir + "/" + name;
        const bool made = ffmpeg({"-f",
                                  "lavfi",
                                  "-i",
                                  "testsrc=size=320x240:rate=25:duration=2",
                                  "-f",
                                  "lavfi",
                                  "-i",
                                  "sine=frequency=440:duration=2",
                                  "-f",
                                  "lavfi",
                                  "-i",
                                  "sine=frequency=880:duration=2",
                                  "-i",
                                  srt,
                                  "-map",
                                  "0:v",
                                  "-map",
                                  "1:a",
                                  "-map",
                                  "2:a",
                                  "-map",
                                  "3:s",
                                  "-c:v",
                                  "libx264",
                                  "-preset",
                                  "ultrafast",
                                  "-c:a:0",
                                  "ac3",
                                  "-c:a:1",
                                  "aac",
                                  "-c:s",
                                  subtitleCodec,
                                  "-metadata:s:a:0",
                                  "language=ger",
                                  "-metadata:s:a:1",
                                  "language=eng",
                                  path});
        EXPECT_TRUE(made);
        return path;
    }

    QString makeVideo(const QString& name, const QStringList& encoding)
    {
        const QString path = dir + "/" + name;
        EXPECT_TRUE(
            ffmpeg(QStringList{"-f", "lavfi", "-i", "testsrc=size=320x240:rate=25", "-t", "1"} +
                   encoding + QStringList{path}));
        return path;
    }

    MKVFileInfoPtr probe(const QString& path)
    {
        MKVFileInfoPtr info = MKVFileInfo::initWithURL(QUrl::fromLocalFile(path));
        EXPECT_TRUE(info);
        return info;
    }

    ScriptedAlertPresenter* alerts = nullptr; // owned by the alert machinery
    QString dir;
};

} // namespace

TEST_F(MKVFileInfoTest, SameTracksFromMatroskaMp4AndMov)
{
    for (const auto& [name, subtitles] : {std::pair<QString, QString>{"movie.mkv", "srt"},
                                          {"movie.mp4", "mov_text"},
                                          {"movie.mov", "mov_text"}}) {
        SCOPED_TRACE(qPrintable(name));
        const QString path = makeMovie(name, subtitles);
        const MKVFileInfoPtr info = probe(path);
        EXPECT_EQ(info->audioTrackInformation(), (QStringList{"#1: ger (ac3)", "#2: eng (aac)"}));
        EXPECT_EQ(info->videoTrackID(), 0);
        // SubRip in Matroska and mov_text in MP4 and MOV are all text.
        EXPECT_EQ(info->subtitleTrackIDs(), QList<int>{3});
        EXPECT_EQ(info->runtimeSeconds(), 2);
        EXPECT_EQ(info->fileSize(), quint64(QFileInfo(path).size()));
        EXPECT_EQ(info->fileName(), name);
        EXPECT_EQ(info->fileURL(), QUrl::fromLocalFile(path));
        EXPECT_TRUE(info->informationString().startsWith("Duration: 00:00:02  Bitrate: "));
        EXPECT_TRUE(info->informationString().endsWith("  Resolution: 320x240  Audiotracks: 2 (1)"))
            << qPrintable(info->informationString());
        EXPECT_TRUE(info->raisedWarnings().isEmpty());
    }
    EXPECT_TRUE(alerts->shown.isEmpty());

    // A link to a movie measures the movie, not the link.
    const QString link = dir + "/link.mkv";
    ASSERT_TRUE(QFile::link(dir + "/movie.mkv", link));
    EXPECT_EQ(probe(link)->fileSize(), quint64(QFileInfo(dir + "/movie.mkv").size()));
}

TEST_F(MKVFileInfoTest, TooManyReferenceFramesFromMediainfo)
{
    const QString path = dir + "/refs.mkv";
    ASSERT_TRUE(ffmpeg({"-f", "lavfi", "-i", "testsrc=size=1280x720:rate=25", "-t", "1", "-c:v",
                        "libx264", "-preset", "medium", "-refs", "12", path}));
    const MKVFileInfoPtr info = probe(path);
    EXPECT_EQ(info->raisedWarnings(), QStringList{"warningtoomanyrefframes"});
    // Delayed to the main thread: nothing shows before the event loop runs.
    EXPECT_TRUE(alerts->shown.isEmpty());
    ASSERT_TRUE(waitUntil([&] { return !alerts->shown.isEmpty(); }, 5000));
    EXPECT_EQ(alerts->shown.first().title, "Warning");
    EXPECT_TRUE(alerts->shown.first().message.startsWith(
        "The file 'refs.mkv' will probably not play back fine on the 'Playstation 3' or other "
        "devices as it contains more 'reference frames'"));
    EXPECT_EQ(alerts->shown.first().defaultButton, "OK");
    EXPECT_EQ(alerts->shown.first().alternateButton, "Don't warn again");
}

TEST_F(MKVFileInfoTest, TooHighResolution)
{
    const QString path = dir + "/wide.mkv";
    ASSERT_TRUE(ffmpeg({"-f", "lavfi", "-i", "color=size=1922x1080:rate=25", "-frames:v", "1",
                        "-c:v", "libx264", "-preset", "ultrafast", path}));
    const MKVFileInfoPtr info = probe(path);
    EXPECT_TRUE(info->informationString().contains("Resolution: 1922x1080"));
    EXPECT_EQ(info->raisedWarnings(), QStringList{"warningtoohighres"});
    ASSERT_TRUE(waitUntil([&] { return !alerts->shown.isEmpty(); }, 5000));
    EXPECT_TRUE(alerts->shown.first().message.contains("as it has a too large resolution"));
}

TEST_F(MKVFileInfoTest, CodecWarningsAndTheirMemory)
{
    const QString tenBit = makeVideo(
        "ten.mkv", {"-c:v", "libx264", "-preset", "ultrafast", "-pix_fmt", "yuv420p10le"});
    EXPECT_EQ(probe(tenBit)->raisedWarnings(), QStringList{"10bitvideowarning"});
    ASSERT_EQ(alerts->shown.size(), 1);
    EXPECT_TRUE(alerts->shown.first().message.startsWith(
        "The file 'ten.mkv' contains a 10-bit video track"));

    // A percent sign in the name is shown as it is.
    const QString other = makeVideo("100% %@ sure.mkv", {"-c:v", "mjpeg"});
    alerts->answers = {kAlertAlternate};
    EXPECT_EQ(probe(other)->raisedWarnings(), QStringList{"wrongvideowarning"});
    ASSERT_EQ(alerts->shown.size(), 2);
    EXPECT_EQ(alerts->shown.last().message,
              "The file '100% %@ sure.mkv' doesn't contain a H264/MPEG4 video track so the "
              "result may not be playable.");

    // Silenced now, but still recorded as raised.
    EXPECT_EQ(defaultInt(dontWarnAgainVersionKey("wrongvideowarning")), 1);
    EXPECT_EQ(probe(other)->raisedWarnings(), QStringList{"wrongvideowarning"});
    EXPECT_EQ(alerts->shown.size(), 2);
}

TEST_F(MKVFileInfoTest, UnreadableInputGivesAnEmptyObject)
{
    const QString empty = dir + "/empty.mkv";
    const QString text = dir + "/notes.mkv";
    QFile(empty).open(QIODevice::WriteOnly);
    QFile textFile(text);
    ASSERT_TRUE(textFile.open(QIODevice::WriteOnly));
    textFile.write("These are notes, not a movie.\n");
    textFile.close();

    for (const QString& path : {dir + "/missing.mkv", empty, text}) {
        SCOPED_TRACE(qPrintable(path));
        const MKVFileInfoPtr info = probe(path);
        EXPECT_TRUE(info->audioTrackInformation().isEmpty());
        EXPECT_TRUE(info->subtitleTrackIDs().isEmpty());
        EXPECT_FALSE(info->videoTrackID().has_value());
        EXPECT_FALSE(info->runtimeSeconds().has_value());
        EXPECT_EQ(info->informationString(), kNoValues);
        EXPECT_TRUE(info->raisedWarnings().isEmpty());
    }
    EXPECT_FALSE(probe(dir + "/missing.mkv")->fileSize().has_value());
    EXPECT_EQ(probe(empty)->fileSize(), 0u);
    EXPECT_TRUE(alerts->shown.isEmpty());
}

TEST_F(MKVFileInfoTest, TruncatedMatroskaGivesWhatFfmpegStillLists)
{
    const QString whole = makeMovie("whole.mkv", "srt");
    QFile source(whole);
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    const QByteArray head = source.read(source.size() / 3);
    const QString cut = dir + "/cut.mkv";
    QFile target(cut);
    ASSERT_TRUE(target.open(QIODevice::WriteOnly));
    target.write(head);
    target.close();

    const MKVFileInfoPtr info = probe(cut);
    const QStringList full{"#1: ger (ac3)", "#2: eng (aac)"};
    for (const QString& descriptor : info->audioTrackInformation())
        EXPECT_TRUE(full.contains(descriptor)) << qPrintable(descriptor);
    EXPECT_EQ(info->fileSize(), quint64(head.size()));
}

TEST_F(MKVFileInfoTest, MoviesOtherProgramsWrite)
{
    // A Latin-1 title tag (older muxers wrote them) costs nothing.
    const QString latin = dir + "/latin.mkv";
    ASSERT_TRUE(
        ffmpeg({"-f", "lavfi", "-i", "testsrc=size=160x120:rate=10:duration=1", "-f", "lavfi", "-i",
                "sine=duration=1", "-c:v", "libx264", "-c:a", "aac", "-metadata",
                QString::fromLatin1("title=Caf\xe9"), "-metadata:s:a:0", "language=fre", latin}));
    const MKVFileInfoPtr l = probe(latin);
    EXPECT_EQ(l->audioTrackInformation(), QStringList{"#1: fre (aac)"});
    EXPECT_EQ(l->videoTrackID(), 0);
    EXPECT_EQ(l->videoCodec(), "h264");
    EXPECT_TRUE(l->unreadableReason().isEmpty());

    // An MP4's own subtitles are text, with their languages.
    const QString srt = dir + "/cue.srt";
    QFile cue(srt);
    ASSERT_TRUE(cue.open(QIODevice::WriteOnly));
    cue.write("1\n00:00:00,000 --> 00:00:01,000\nHello\n\n");
    cue.close();
    const QString mp4 = dir + "/subs.mp4";
    ASSERT_TRUE(ffmpeg({"-f",
                        "lavfi",
                        "-i",
                        "testsrc=size=160x120:rate=10:duration=1",
                        "-i",
                        srt,
                        "-i",
                        srt,
                        "-map",
                        "0",
                        "-map",
                        "1",
                        "-map",
                        "2",
                        "-c:v",
                        "libx264",
                        "-c:s",
                        "mov_text",
                        "-metadata:s:s:0",
                        "language=eng",
                        "-metadata:s:s:1",
                        "language=fre",
                        mp4}));
    const MKVFileInfoPtr m = probe(mp4);
    EXPECT_EQ(m->subtitleTrackIDs(), (QList<int>{1, 2}));
    EXPECT_EQ(m->subtitleTrackLanguages(), (QStringList{"eng", "fre"}));

    // 4:2:2 10-bit H.264 is 10-bit too.
    const QString deep = makeVideo(
        "deep.mkv", {"-c:v", "libx264", "-preset", "ultrafast", "-pix_fmt", "yuv422p10le"});
    EXPECT_EQ(probe(deep)->raisedWarnings(), QStringList{"10bitvideowarning"});

    // ogmmerge: MPEG-4 video from an AVI, an MP3 and an SRT, languages named.
    const QString avi = dir + "/v.avi";
    const QString mp3 = dir + "/a.mp3";
    const QString ogm = dir + "/film.ogm";
    ASSERT_TRUE(ffmpeg(
        {"-f", "lavfi", "-i", "testsrc=size=160x120:rate=10:duration=2", "-c:v", "mpeg4", avi}));
    ASSERT_TRUE(ffmpeg({"-f", "lavfi", "-i", "sine=duration=2", "-c:a", "libmp3lame", mp3}));
    ASSERT_EQ(runProgram("ogmmerge", {"-o", ogm, avi, "-c", "LANGUAGE=English", mp3, "-c",
                                      "LANGUAGE=English", srt}),
              0);
    const MKVFileInfoPtr o = probe(ogm);
    EXPECT_EQ(o->audioTrackInformation(), QStringList{"#1: eng (mp3)"});
    EXPECT_EQ(o->videoCodec(), "mpeg4");
    EXPECT_EQ(o->subtitleTrackIDs(), QList<int>{2});
    EXPECT_EQ(o->subtitleTrackLanguages(), QStringList{"eng"});
}

TEST_F(MKVFileInfoTest, ToolsThatCannotAnswerAreGivenUp)
{
    // A FIFO named like a movie would keep ffmpeg waiting for a writer.
    const QString fifo = dir + "/Film.mkv";
    ASSERT_EQ(runProgram("mkfifo", {fifo}), 0);
    const MKVFileInfoPtr f = probe(fifo);
    EXPECT_EQ(f->unreadableReason(), "It is not a regular file.");
    EXPECT_TRUE(f->audioTrackInformation().isEmpty());

    // A tool that never answers is ended, with its whole group. One movie
    // is read by ffprobe alone (listing and timings), several by ffmpeg.
    const QString tools = makeTempDir("stalled");
    for (const QString tool : {"ffmpeg", "ffprobe"}) {
        QFile script(tools + "/" + tool);
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write(("#!/bin/sh\necho $$ > " + tools + "/pid\nexec sleep 300\n").toUtf8());
        script.close();
        script.setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    }
    qputenv("VANTREO_TOOLS_DIR", tools.toUtf8());
    setDefaultInt("ProbeTimeout", 1);
    const MKVFileInfoPtr s = probe(makeVideo("stalled.mkv", {"-c:v", "libx264"}));
    qunsetenv("VANTREO_TOOLS_DIR");
    EXPECT_EQ(s->unreadableReason(), "ffprobe did not answer within 1 s.");
    EXPECT_EQ(s->informationString(), kNoValues);
    QFile pidFile(tools + "/pid");
    ASSERT_TRUE(pidFile.open(QIODevice::ReadOnly));
    const QString stat = QString("/proc/%1/stat").arg(pidFile.readAll().trimmed().toInt());
    QFile proc(stat);
    EXPECT_TRUE(!proc.open(QIODevice::ReadOnly) || proc.readAll().contains(") Z "));

    // One movie that stalls the tool in a batch costs only itself.
    const QString picky = makeTempDir("picky");
    for (const QString tool : {"ffmpeg", "ffprobe"}) {
        QFile wrapper(picky + "/" + tool);
        ASSERT_TRUE(wrapper.open(QIODevice::WriteOnly));
        wrapper.write(("#!/bin/sh\ncase \"$*\" in *stalls*) exec sleep 300;; esac\nexec " +
                       ToolLocator::find(tool) + " \"$@\"\n")
                          .toUtf8());
        wrapper.close();
        wrapper.setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    }
    const QString good = makeVideo("good.mkv", {"-c:v", "libx264"});
    QList<QUrl> urls;
    for (const QString& name : {good, makeVideo("stalls.mkv", {"-c:v", "libx264"}), good})
        urls.append(QUrl::fromLocalFile(name));
    // Room enough for the good movies on a busy machine; the stalled one
    // waits for ever.
    setDefaultInt("ProbeTimeout", 3);
    qputenv("VANTREO_TOOLS_DIR", picky.toUtf8());
    const QList<MKVFileInfoPtr> batch =
        MKVFileInfo::initWithURLs(urls, MKVFileInfo::Warnings::Collected);
    qunsetenv("VANTREO_TOOLS_DIR");
    ASSERT_EQ(batch.size(), 3);
    EXPECT_EQ(batch.at(0)->unreadableReason(), "");
    EXPECT_EQ(batch.at(1)->unreadableReason(), "ffprobe did not answer within 3 s.");
    EXPECT_EQ(batch.at(2)->informationString(), batch.at(0)->informationString());
}

TEST_F(MKVFileInfoTest, HeaderOnlyMediainfoCountsReferenceFramesAsAWholeRead)
{
    const QString mediainfo = ToolLocator::find("mediainfo");
    ASSERT_FALSE(mediainfo.isEmpty());
    for (const int refs : {1, 12}) {
        const QString mkv = dir + QString("/refs%1.mkv").arg(refs);
        ASSERT_TRUE(ffmpeg({"-f", "lavfi", "-i", "testsrc=size=1280x720:rate=25", "-t", "0.4",
                            "-c:v", "libx264", "-preset", "medium", "-bf", "0", "-refs",
                            QString::number(refs), mkv}));
        QStringList movies{mkv};
        for (const char* extension : {"mp4", "mov"}) {
            movies << dir + QString("/refs%1.%2").arg(refs).arg(extension);
            ASSERT_TRUE(ffmpeg({"-i", mkv, "-c", "copy", movies.last()}));
        }
        for (const QString& movie : movies) {
            SCOPED_TRACE(qPrintable(movie));
            const auto whole =
                referenceFramesFromMediainfoXml(*runAsTask({mediainfo, "--Output=XML", movie}));
            const auto headers = referenceFramesFromMediainfoXml(
                *runAsTask({mediainfo, "--ParseSpeed=0", "--Output=XML", movie}));
            ASSERT_TRUE(whole.has_value());
            EXPECT_EQ(headers, whole);
            EXPECT_EQ(*whole, refs);
            EXPECT_EQ(probe(movie)->raisedWarnings(),
                      refs > 9 ? QStringList{"warningtoomanyrefframes"} : QStringList{});
        }
    }
}

TEST_F(MKVFileInfoTest, SeveralMoviesAtOnceReadAsEachAlone)
{
    const QString refs = dir + "/refs.mkv";
    ASSERT_TRUE(ffmpeg({"-f", "lavfi", "-i", "testsrc=size=1280x720:rate=25", "-t", "0.4", "-c:v",
                        "libx264", "-preset", "medium", "-bf", "0", "-refs", "12", refs}));
    const QString notes = dir + "/notes & more.mkv";
    QFile text(notes);
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("not a movie\n");
    text.close();
    const QString fifo = dir + "/pipe.mkv";
    ASSERT_EQ(runProgram("mkfifo", {fifo}), 0);
    // ffmpeg stops at the text file; the movies after it are read all the same.
    const QStringList paths{
        makeMovie("first.mkv", "srt"),      refs, notes,
        makeMovie("after.mp4", "mov_text"), fifo, makeVideo("last.mkv", {"-c:v", "mjpeg"})};
    QList<QUrl> urls;
    for (const QString& p : paths)
        urls.append(QUrl::fromLocalFile(p));
    const QList<MKVFileInfoPtr> together =
        MKVFileInfo::initWithURLs(urls, MKVFileInfo::Warnings::Collected);
    ASSERT_EQ(together.size(), paths.size());
    for (qsizetype i = 0; i < paths.size(); ++i) {
        SCOPED_TRACE(qPrintable(paths.at(i)));
        const MKVFileInfoPtr alone =
            MKVFileInfo::initWithURL(urls.at(i), MKVFileInfo::Warnings::Collected);
        const MKVFileInfo& t = *together.at(i);
        EXPECT_EQ(t.fileURL(), alone->fileURL());
        EXPECT_EQ(t.informationString(), alone->informationString());
        EXPECT_EQ(t.audioTrackInformation(), alone->audioTrackInformation());
        EXPECT_EQ(t.videoTrackID(), alone->videoTrackID());
        EXPECT_EQ(t.subtitleTrackIDs(), alone->subtitleTrackIDs());
        EXPECT_EQ(t.runtimeSeconds(), alone->runtimeSeconds());
        EXPECT_EQ(t.raisedWarnings(), alone->raisedWarnings());
        EXPECT_EQ(t.unreadableReason(), alone->unreadableReason());
    }
    EXPECT_EQ(together.at(1)->raisedWarnings(), QStringList{"warningtoomanyrefframes"});
    EXPECT_EQ(together.at(5)->raisedWarnings(), QStringList{"wrongvideowarning"});
    EXPECT_EQ(together.at(4)->unreadableReason(), "It is not a regular file.");
    EXPECT_EQ(together.at(3)->audioTrackInformation(),
              (QStringList{"#1: ger (ac3)", "#2: eng (aac)"}));
    EXPECT_TRUE(alerts->shown.isEmpty());
}
