#include "common/JobTestKit.h"
#include "common/MovieFactory.h"
#include "common/TestSupport.h"
#include "common/WrittenBoxes.h"
#include "engine/ConversionJob.h"
#include "engine/JobState.h"
#include "foundation/SettingsAccess.h"
#include "foundation/SettingsKeys.h"
#include "inspection/MKVFileInfo.h"
#include "shell/AppDelegate.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QPointer>
#include <gtest/gtest.h>

// Dolby Vision movies converted for real: the configuration box must reach
// the MP4, and a profile 5 stream (no HDR10 base layer) needs the dvh1 sample
// entry, or players show it in wrong colours.

namespace {

class DolbyVision : public ConversionTestBase
{
protected:
    // The Matroska source, checked with mediainfo and our probe.
    QString source(const QString& name, int profile)
    {
        const QString path = dir() + "/" + name;
        // AC3 is copied in the fast style and goes through WAV, AAC and the
        // mux stage in the compatible one.
        EXPECT_TRUE(makeDolbyVisionMovie(path, profile, "ac3"));
        QString info;
        EXPECT_EQ(runProgram("mediainfo", {path}, &info), 0);
        EXPECT_TRUE(info.contains("Dolby Vision")) << qPrintable(info);
        return path;
    }
};

QByteArray digestOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly)
               ? QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256)
               : QByteArray();
}

} // namespace

TEST_F(DolbyVision, KeepsTheConfigurationInBothStyles)
{
    struct Case
    {
        int profile;
        QString entry, configuration;
    };
    for (const Case& c : {Case{8, "hvc1", "dvvC"}, Case{5, "dvh1", "dvcC"}}) {
        const QString movie = source(QStringLiteral("Profile%1.mkv").arg(c.profile), c.profile);
        for (const int preset : {1, 0}) {
            SCOPED_TRACE(
                QStringLiteral("profile %1, preset %2").arg(c.profile).arg(preset).toStdString());
            setDefaultInt(kConversionPresetKey, preset);
            ConversionJob* job = makeJob(
                movie, dir() + QStringLiteral("/Profile%1-%2.mp4").arg(c.profile).arg(preset));
            EXPECT_EQ(job->fileInfo()->dolbyVisionProfile(), c.profile);
            EXPECT_EQ(job->slowmode(), preset == 0);
            ASSERT_EQ(convertToEnd(job), JobFinished)
                << job->failureExplanationText().toStdString();

            // Our box walk: the sample entry and the boxes inside it; and the
            // device rules: never hev1, no track without samples.
            const auto boxes = readBoxes(job->destinationPath());
            ASSERT_TRUE(boxes.has_value());
            const auto video = tracksOf(*boxes, "vide");
            ASSERT_EQ(video.size(), 1u);
            EXPECT_EQ(fourCCText(video[0].sampleEntry), c.entry);
            QStringList inside;
            for (const std::uint32_t type : video[0].sampleEntryBoxes)
                inside.append(fourCCText(type));
            EXPECT_TRUE(inside.contains("hvcC")) << qPrintable(inside.join(' '));
            EXPECT_TRUE(inside.contains(c.configuration)) << qPrintable(inside.join(' '));
            ASSERT_EQ(boxes->tracks.size(), 2u);
            for (const auto& track : boxes->tracks)
                EXPECT_GT(track.sampleCount, 0u) << track.trackId;

            // ffprobe reads the same record back from the MP4.
            const QJsonArray streams = probeStreams(job->destinationPath());
            ASSERT_EQ(streams.size(), 2);
            EXPECT_EQ(streamValue(streams[0], "codec_tag_string"), c.entry);
            const QJsonArray sideData = streams[0].toObject()["side_data_list"].toArray();
            ASSERT_EQ(sideData.size(), 1);
            EXPECT_EQ(sideData[0].toObject()["dv_profile"].toInt(), c.profile);
            EXPECT_EQ(streamValue(streams[1], "codec_name"), preset == 0 ? "aac" : "ac3");
        }
    }
}

// An MP4Box that cannot write the dvh1 entry fails the job: the movie would
// otherwise be left finished in wrong colours.
TEST_F(DolbyVision, FailingSampleEntryStepFailsTheJobAndKeepsTheSource)
{
    const QString movie = source("Profile5.mkv", 5);
    const QByteArray before = digestOf(movie);
    const QString tools = makeTempDir("tools");
    QFile script(tools + "/MP4Box");
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\necho \"Error: cannot write $4\"\nexit 1\n");
    script.close();
    ASSERT_TRUE(script.setPermissions(QFile::ReadOwner | QFile::ExeOwner));
    qputenv("VANTREO_TOOLS_DIR", tools.toUtf8());
    setDefaultInt(kConversionPresetKey, 1);

    ConversionJob* job = makeJob(movie, dir() + "/Profile5.mp4");
    ASSERT_EQ(convertToEnd(job), JobFailed);
    EXPECT_TRUE(job->jobOutput().contains("Error: cannot write")) << qPrintable(job->jobOutput());
    EXPECT_TRUE(job->failureExplanationText().contains(
        "The Dolby Vision sample entry (dvh1) could not be written into the converted file."))
        << qPrintable(job->failureExplanationText());
    EXPECT_EQ(QDir(dir()).entryList(QDir::Files | QDir::Hidden), QStringList{"Profile5.mkv"});
    EXPECT_EQ(digestOf(movie), before);
}
