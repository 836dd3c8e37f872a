#include "ShellTestKit.h"
#include "common/MovieFactory.h"
#include "common/TestSupport.h"
#include "engine/ConversionJob.h"
#include "engine/JobState.h"
#include "engine/RawNameLinks.h"
#include "shell/AddPanelState.h"
#include "shell/AppDelegate.h"

#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <gtest/gtest.h>
#include <unistd.h>

// A movie named with Latin-1 bytes, handed to the desktop intake the way the
// command line, a drop and a second launch hand it over.

class RawNameIntake : public ShellTest
{
};

TEST_F(RawNameIntake, LatinOneNameConvertsWithItsSubtitle)
{
    const QByteArray folder = QFile::encodeName(dir());
    const QByteArray rawMovie = folder + "/Caf\xe9 Noir.mkv";
    const QByteArray rawSubtitle = folder + "/Caf\xe9 Noir.srt";
    ASSERT_EQ(std::rename(QFile::encodeName(movie("Made.mkv")).constData(), rawMovie.constData()),
              0);
    ASSERT_TRUE(writeSrt(dir() + "/Made.srt"));
    ASSERT_EQ(
        std::rename(QFile::encodeName(dir() + "/Made.srt").constData(), rawSubtitle.constData()),
        0);
    QString startFolder, proposedName;
    QObject::connect(&delegate->addPanelState(), &AddPanelState::saveLocationRequested,
                     [&](const QString& folder, const QString& name, const QString&) {
                         startFolder = folder;
                         proposedName = name;
                     });

    delegate->openFiles(RawNameLinks::usablePaths({rawSubtitle, rawMovie}));
    ASSERT_TRUE(waitForProbe());
    const MKVFileInfoPtr info = delegate->fileInfo();
    const QString clean = QString::fromUtf8("Caf\uFFFD Noir");
    EXPECT_EQ(info->fileName(), clean + ".mkv");
    EXPECT_EQ(delegate->addPanelState().audioItems().size(), 1);
    ASSERT_TRUE(info->subtitleFileURL());
    EXPECT_TRUE(info->informationString().contains("+1)"));

    // The save location is proposed beside the real movie.
    delegate->addToQueue();
    EXPECT_EQ(startFolder, dir());
    EXPECT_EQ(proposedName, clean + ".mp4");
    delegate->addPanelState().confirmSaveLocation(startFolder + "/" + proposedName);
    ASSERT_EQ(delegate->taskArray().size(), 1);
    ASSERT_TRUE(waitForQueue());
    EXPECT_EQ(delegate->taskArray()[0]->state(), JobFinished);
    QStringList codecs;
    for (const QJsonValue& stream : probeStreams(dir() + "/" + clean + ".mp4"))
        codecs.append(streamValue(stream, "codec_name"));
    EXPECT_EQ(codecs, QStringList({"mpeg4", "aac", "mov_text"}));
    EXPECT_EQ(::access(rawMovie.constData(), R_OK), 0); // the movie itself is untouched
}
