#include "common/JobTestKit.h"
#include "common/MovieFactory.h"
#include "common/TestSupport.h"
#include "engine/ConversionJob.h"
#include "engine/JobState.h"
#include "foundation/SettingsAccess.h"
#include "foundation/SettingsKeys.h"
#include "shell/AppDelegate.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <sys/stat.h>

// What a finished movie holds and who may read it. Sound with a gap, as TV
// recordings and cut-and-joined files have it: a beep at 1.0 s and one at
// 4.5 s, the packets between 2.0 s and 3.0 s missing. Whatever the style,
// the second beep stays at 4.5 s.

namespace {

// Where each beep starts, decoding the file along its time line.
QList<double> beepStarts(const QString& path)
{
    QString output;
    runProgram("ffmpeg",
               {"-hide_banner", "-nostats", "-i", path, "-map", "0:a:0", "-af",
                "aresample=async=1:first_pts=0,silencedetect=n=-30dB:d=0.05", "-f", "null", "-"},
               &output);
    QList<double> starts;
    static const QRegularExpression end(QStringLiteral("silence_end: ([0-9.]+)"));
    for (auto it = end.globalMatch(output); it.hasNext();)
        starts.append(it.next().captured(1).toDouble());
    return starts;
}

// The largest step between two audio packets of a file: a kept gap is one.
double largestPacketStep(const QString& path)
{
    QString output;
    runProgram("ffprobe",
               {"-v", "error", "-select_streams", "a:0", "-show_entries", "packet=pts_time", "-of",
                "csv=p=0", path},
               &output);
    double previous = -1, largest = 0;
    for (const QString& line : output.split(u'\n', Qt::SkipEmptyParts)) {
        const double pts = line.toDouble();
        if (previous >= 0)
            largest = std::max(largest, pts - previous);
        previous = pts;
    }
    return largest;
}

class FinishedFiles : public ConversionTestBase
{
protected:
    // A six-second movie whose stereo sound in `codec` has the gap.
    QString gapMovie(const QString& name, const QString& codec)
    {
        const QString sound = dir() + "/beep-" + name + ".mka";
        const QString gap = dir() + "/gap-" + name + ".mka";
        const QString video = dir() + "/video-" + name + ".mkv";
        const QString beeps = "if(between(t,1,1.1)+between(t,4.5,4.6),sin(2*PI*1000*t),0)";
        EXPECT_TRUE(
            ffmpeg({"-f", "lavfi", "-i", QStringLiteral("aevalsrc='%1|%1':s=48000:d=6").arg(beeps),
                    "-c:a", codec, "-b:a", "192k", sound}));
        EXPECT_TRUE(ffmpeg(
            {"-i", sound, "-c", "copy", "-bsf:a", "noise=drop='between(pts\\,2000\\,3000)'", gap}));
        EXPECT_TRUE(ffmpeg({"-f", "lavfi", "-i", "testsrc=size=160x120:rate=25:duration=6", "-c:v",
                            "libx264", "-preset", "ultrafast", video}));
        const QString movie = dir() + "/" + name + ".mkv";
        EXPECT_EQ(runProgram("mkvmerge", {"-q", "-o", movie, video, gap}), 0);
        return movie;
    }
};

} // namespace

// In the compatible style AC3 is decoded and encoded to AAC, in the fast
// style copied, and under a custom style encoded to AC3 in one run; AAC is
// copied in both styles. Every output keeps the beep after the gap in its
// place; a copied track keeps the gap itself as the source has it.
TEST_F(FinishedFiles, SoundAfterAGapKeepsItsPlace)
{
    for (const QString codec : {"ac3", "aac"}) {
        const QString movie = gapMovie(codec, codec);
        ASSERT_GT(largestPacketStep(movie), 0.9);
        const QList<double> source = beepStarts(movie);
        ASSERT_GE(source.size(), 2);
        ASSERT_NEAR(source.at(1), 4.5, 0.04);

        struct Style
        {
            int preset;
            bool copied;
        };
        QList<Style> styles{{0, codec == "aac"}, {1, true}};
        if (codec == "ac3")
            styles.append({2, false});
        setDefaultInt(kCustomAC3HandlingKey, MethodAC3Stereo);
        for (const Style style : styles) {
            setDefaultInt(kConversionPresetKey, style.preset);
            const QString output =
                dir() + QStringLiteral("/%1-%2.mp4").arg(codec).arg(style.preset);
            ConversionJob* job = makeJob(movie, output);
            ASSERT_EQ(convertToEnd(job), JobFinished)
                << job->failureExplanationText().toStdString();
            const QList<double> written = beepStarts(output);
            ASSERT_GE(written.size(), 2) << qPrintable(output);
            EXPECT_NEAR(written.at(1), source.at(1), 0.04) << qPrintable(output);
            if (style.copied)
                EXPECT_GT(largestPacketStep(output), 0.9) << qPrintable(output);
            else
                EXPECT_LT(largestPacketStep(output), 0.1) << qPrintable(output);
        }
    }
}

// A stand-in extraction without the gap filling closes the gap: the sound
// after it plays a second early. The read-back check sees the track a
// second short and fails the job; nothing is left at the destination.
TEST_F(FinishedFiles, AGapClosedUpFailsTheJob)
{
    installFakeTools();
    const QString movie = gapMovie("GapClosed", "ac3");
    setDefaultInt(kConversionPresetKey, 0);
    const QString output = dir() + "/GapClosed.mp4";
    ConversionJob* job = makeJob(movie, output);
    ASSERT_EQ(convertToEnd(job), JobFailed);
    const QString explanation = job->failureExplanationText();
    EXPECT_TRUE(explanation.contains(
        QRegularExpression("The sound of the converted file ends (0\\.9|1\\.0)\\d s early: part of "
                           "it went missing\\.")))
        << explanation.toStdString();
    EXPECT_FALSE(QFileInfo::exists(output));
    EXPECT_EQ(QDir(dir()).entryList({"*.mp4", ".*.mp4"}, QDir::Files | QDir::Hidden),
              QStringList());
}

// Whatever the umask, the finished movie gets the mode of a new file (0666
// less the umask), not the owner-only rights it was written under; the
// source keeps its own.
TEST_F(FinishedFiles, FinishedMoviesAreReadableAsTheUmaskAllows)
{
    MovieRecipe recipe;
    recipe.path = dir() + "/Shared.mkv";
    recipe.seconds = 1;
    recipe.audio = {AudioRecipe{}};
    ASSERT_TRUE(makeMovie(recipe));
    const QByteArray source = QFile::encodeName(recipe.path);
    ASSERT_EQ(::chmod(source.constData(), 0600), 0);
    const auto modeOf = [](const QByteArray& path) {
        struct stat info
        {
        };
        return ::stat(path.constData(), &info) == 0 ? info.st_mode & 07777u : 0u;
    };
    const mode_t before = ::umask(022);
    for (const auto& [mask, mode] : {std::pair{022u, 0644u}, std::pair{002u, 0664u}}) {
        ::umask(mode_t(mask));
        const QString output =
            dir() + QStringLiteral("/Shared-%1.mp4").arg(mask, 3, 8, QChar(u'0'));
        ConversionJob* job = makeJob(recipe.path, output);
        ASSERT_EQ(convertToEnd(job), JobFinished) << job->failureExplanationText().toStdString();
        EXPECT_EQ(modeOf(QFile::encodeName(output)), mode) << qPrintable(output);
    }
    ::umask(before);
    EXPECT_EQ(modeOf(source), 0600u);
}
