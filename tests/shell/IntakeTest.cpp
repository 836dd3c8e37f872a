#include "ShellTestKit.h"
#include "common/MovieFactory.h"
#include "common/TestSupport.h"
#include "engine/ConversionJob.h"
#include "engine/JobState.h"
#include "foundation/SettingsAccess.h"
#include "foundation/SettingsKeys.h"
#include "shell/AddPanelState.h"
#include "shell/AddPanelTexts.h"
#include "shell/AppDelegate.h"
#include "shell/Destinations.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <sys/stat.h>

// Files handed to the application: pairing, the order of probes, drops,
// the add panel's answers and automatic adding.

namespace {

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

struct SaveRequest
{
    QString folder, name, extension;
};

// Local to this file: the shell has a class of the same name.
class Intake : public ShellTest
{
protected:
    // The probed movies, in the order their results reached the panel.
    QStringList probed;
    QList<SaveRequest> saveRequests;

    void SetUp() override
    {
        ShellTest::SetUp();
        QObject::connect(delegate.get(), &AppDelegate::fileInfoChanged, [this] {
            if (delegate->fileInfo())
                probed.append(delegate->fileInfo()->fileName());
        });
        QObject::connect(&delegate->addPanelState(), &AddPanelState::saveLocationRequested,
                         [this](const QString& f, const QString& n, const QString& e) {
                             saveRequests.append({f, n, e});
                         });
    }
};

TEST_F(Intake, SubtitleDroppedWithItsMovieIsPaired)
{
    const QString film = movie("Film.mkv");
    ASSERT_TRUE(writeSrt(dir() + "/Film.srt"));
    delegate->openFiles({film, dir() + "/Film.srt"});
    EXPECT_TRUE(delegate->addPanelState().addPanelShown());
    EXPECT_TRUE(delegate->isScanning());
    EXPECT_FALSE(delegate->addPanelState().canAddToQueue());
    ASSERT_TRUE(waitForProbe());
    EXPECT_EQ(probed, QStringList({"Film.mkv"}));
    const MKVFileInfoPtr info = delegate->fileInfo();
    ASSERT_TRUE(info->subtitleFileURL());
    EXPECT_EQ(info->subtitleFileURL()->toLocalFile(), dir() + "/Film.srt");
    EXPECT_TRUE(info->informationString().contains("+1)"))
        << info->informationString().toStdString();
    EXPECT_EQ(delegate->addPanelState().audioItems().size(), 1);
    EXPECT_EQ(delegate->addPanelState().selectedAudioIndex(), 0);
    EXPECT_TRUE(delegate->addPanelState().canAddToQueue());
    EXPECT_TRUE(delegate->addPanelState().addPanelNotice().isEmpty());
    EXPECT_TRUE(delegate->importSubtitleFiles().isEmpty());
    EXPECT_EQ(delegate->addPanelState().outputName(), "Film.mp4");
}

TEST_F(Intake, SubtitleFilesBesideTheMovieComeWithItAsTheSettingSays)
{
    const QString film = movie("Film.mkv");
    ASSERT_TRUE(writeSrt(dir() + "/Film.en.srt"));
    ASSERT_TRUE(writeSrt(dir() + "/Film.de.forced.srt"));
    writeFile(dir() + "/Film.idx", "# VobSub index file, v7\n");
    setDefaultInt(kStreamableOutputKey, 0);
    delegate->openFiles({film});
    ASSERT_TRUE(waitForProbe());
    MKVFileInfoPtr info = delegate->fileInfo();
    ASSERT_EQ(info->subtitleFiles().size(), 2);
    EXPECT_EQ(info->subtitleFiles()[0].language, "ger");
    EXPECT_TRUE(info->subtitleFiles()[0].forced);
    EXPECT_EQ(info->subtitleFiles()[1].language, "eng");
    EXPECT_TRUE(info->informationString().contains("+2)"))
        << info->informationString().toStdString();
    EXPECT_EQ(delegate->addPanelState().keptTracksText(),
              "Subtitle files: ger forced (Film.de.forced.srt), eng (Film.en.srt) \u00b7 Skipped "
              "Film.idx: half of a VobSub pair (.idx and .sub), which cannot be read alone");
    delegate->cancelAdd();

    // Not looked for: only the file dropped with the movie comes.
    setDefaultInt(kAddSubtitleFilesBesideMovieKey, 0);
    probed.clear();
    delegate->openFiles({film, dir() + "/Film.en.srt"});
    ASSERT_TRUE(waitForProbe());
    info = delegate->fileInfo();
    ASSERT_EQ(info->subtitleFiles().size(), 1);
    EXPECT_EQ(info->subtitleFiles()[0].path, dir() + "/Film.en.srt");
    EXPECT_TRUE(info->skippedSubtitleFiles().isEmpty());
}

TEST_F(Intake, SubtitleFromAnEarlierDropStillPairs)
{
    ASSERT_TRUE(writeSrt(dir() + "/Film.srt"));
    delegate->openFiles({dir() + "/Film.srt"});
    EXPECT_FALSE(delegate->addPanelState().addPanelShown());
    EXPECT_EQ(delegate->importSubtitleFiles(), QStringList({dir() + "/Film.srt"}));
    delegate->openFiles({movie("Film.mkv")});
    ASSERT_TRUE(waitForProbe());
    ASSERT_TRUE(delegate->fileInfo()->subtitleFileURL());
    EXPECT_EQ(delegate->fileInfo()->subtitleFileURL()->toLocalFile(), dir() + "/Film.srt");
}

TEST_F(Intake, MoviesAreProbedInTheOrderGivenAndOthersIgnored)
{
    const QString a = movie("A.mkv");
    const QString b = movie("B.MKV");
    writeFile(dir() + "/C.nfo", "not a movie we take");
    delegate->openFiles({a, b, dir() + "/C.nfo", dir()});
    EXPECT_EQ(delegate->importFiles(), QStringList({b}));
    ASSERT_TRUE(waitForProbe());
    EXPECT_EQ(probed, QStringList({"A.mkv"}));
    // Cancelling moves on to the next movie, then hides the panel.
    delegate->cancelAdd();
    EXPECT_TRUE(delegate->addPanelState().addPanelShown());
    ASSERT_TRUE(waitUntil([&] { return probed.size() == 2 && !delegate->isScanning(); }));
    EXPECT_EQ(probed, QStringList({"A.mkv", "B.MKV"}));
    delegate->cancelAdd();
    EXPECT_FALSE(delegate->addPanelState().addPanelShown());
    // The last movie stays in the panel's data.
    ASSERT_TRUE(delegate->fileInfo());
    EXPECT_EQ(delegate->fileInfo()->fileName(), "B.MKV");
}

TEST_F(Intake, SubtitlesAloneAreStoredAndNothingIsProbed)
{
    ASSERT_TRUE(writeSrt(dir() + "/One.srt"));
    ASSERT_TRUE(writeSrt(dir() + "/Two.ass"));
    const QStringList subs = {dir() + "/One.srt", dir() + "/Two.ass"};
    EXPECT_FALSE(delegate->draggingEntered(subs));
    EXPECT_FALSE(delegate->draggingEntered({dir()}));
    EXPECT_TRUE(delegate->draggingEntered(subs + QStringList{dir() + "/X.Mov"}));
    delegate->openFiles(subs);
    EXPECT_FALSE(delegate->addPanelState().addPanelShown());
    EXPECT_FALSE(delegate->isScanning());
    EXPECT_TRUE(delegate->importFiles().isEmpty());
    EXPECT_EQ(delegate->importSubtitleFiles().size(), 2);
}

TEST_F(Intake, TextSubFilesPairImageSubFilesDoNot)
{
    writeFile(dir() + "/Text.sub", "{1}{25}Hello\n");
    writeFile(dir() + "/Image.sub", QByteArray::fromHex("000001ba4400040004"));
    const QString text = movie("Text.mkv");
    const QString image = movie("Image.mkv");
    EXPECT_TRUE(
        delegate->performDragOperation({dir() + "/Text.sub", dir() + "/Image.sub", text, image}));
    ASSERT_TRUE(waitForProbe());
    ASSERT_TRUE(delegate->fileInfo()->subtitleFileURL());
    EXPECT_EQ(delegate->fileInfo()->subtitleFileURL()->toLocalFile(), dir() + "/Text.sub");
    delegate->cancelAdd();
    ASSERT_TRUE(waitUntil([&] { return probed.size() == 2 && !delegate->isScanning(); }));
    EXPECT_EQ(delegate->fileInfo()->fileName(), "Image.mkv");
    EXPECT_FALSE(delegate->fileInfo()->subtitleFileURL());
}

TEST_F(Intake, MovieWithoutAudioIsQueuedAsVideoAlone)
{
    delegate->openFiles({movie("Silent.mkv", true)});
    ASSERT_TRUE(waitForProbe());
    EXPECT_EQ(delegate->addPanelState().audioItems(), QStringList{"No audio"});
    EXPECT_TRUE(delegate->addPanelState().canAddToQueue());
    EXPECT_EQ(delegate->addPanelState().addPanelNotice(), "");
}

TEST_F(Intake, AskingForTheLocation)
{
    const QString film = movie("Film.mkv");
    setDefaultInt(kDefaultExtensionKey, 1);
    delegate->openFiles({film});
    ASSERT_TRUE(waitForProbe());
    ASSERT_EQ(delegate->destinations().destinationPopUpIndex(), 0);
    delegate->addToQueue();
    ASSERT_EQ(saveRequests.size(), 1);
    EXPECT_EQ(saveRequests[0].folder, dir());
    EXPECT_EQ(saveRequests[0].name, "Film.m4v");
    EXPECT_EQ(saveRequests[0].extension, "m4v");

    // Cancelled: the panel stays on the movie, nothing is queued.
    delegate->addPanelState().cancelSaveLocation();
    EXPECT_TRUE(delegate->addPanelState().addPanelShown());
    EXPECT_TRUE(delegate->taskArray().isEmpty());
    EXPECT_EQ(delegate->fileInfo()->fileName(), "Film.mkv");
    delegate->addPanelState().confirmSaveLocation(dir() + "/Late.m4v"); // no question pending
    EXPECT_TRUE(delegate->taskArray().isEmpty());

    // The separator counts as the ask item; an existing file is replaced.
    delegate->destinations().setDestinationPopUpIndex(1);
    delegate->addToQueue();
    ASSERT_EQ(saveRequests.size(), 2);
    const QString chosen = dir() + "/Chosen.m4v";
    writeFile(chosen, "old");
    delegate->addPanelState().confirmSaveLocation(chosen);
    ASSERT_EQ(delegate->taskArray().size(), 1);
    EXPECT_EQ(delegate->taskArray()[0]->destinationPath(), chosen);
    EXPECT_FALSE(delegate->addPanelState().addPanelShown());
    ASSERT_TRUE(waitForQueue());
    EXPECT_EQ(delegate->taskArray()[0]->state(), JobFinished);
    EXPECT_GT(QFileInfo(chosen).size(), 3);
}

TEST_F(Intake, TheMovieItselfIsNeverReplaced)
{
    const QString source = movie("Clip.mp4");
    const qint64 size = QFileInfo(source).size();
    delegate->openFiles({source});
    ASSERT_TRUE(waitForProbe());
    delegate->addToQueue();
    ASSERT_EQ(saveRequests.size(), 1);
    EXPECT_EQ(saveRequests[0].name, "Clip.mp4");
    delegate->addPanelState().confirmSaveLocation(source);
    EXPECT_TRUE(delegate->taskArray().isEmpty());
    ASSERT_EQ(alerts->shown.size(), 1);
    EXPECT_TRUE(alerts->shown[0].message.startsWith("You don't seem to have write access"));
    EXPECT_EQ(QFileInfo(source).size(), size);
}

TEST_F(Intake, AutoAddQueuesEveryMovieIntoTheSavedFolder)
{
    const QString out = makeTempDir("auto");
    saveDestinations({out});
    setDefaultInt(kDefaultDestinationKey, 2);
    setDefaultInt(kAutoAddKey, 1);
    delegate->destinations().upkeepAtLaunch();
    const QString silent = movie("Silent.mkv", true);
    delegate->openFiles({movie("One.mkv"), silent, movie("Two.mkv")});
    // The movie without sound is queued too, as its video alone.
    ASSERT_TRUE(waitUntil([&] {
        return delegate->taskArray().size() == 3 && !delegate->addPanelState().addPanelShown();
    }));
    EXPECT_EQ(probed, QStringList({"One.mkv", "Silent.mkv", "Two.mkv"}));
    EXPECT_EQ(delegate->taskArray()[0]->destinationPath(), out + "/One.mp4");
    EXPECT_EQ(delegate->taskArray()[1]->destinationPath(), out + "/Silent.mp4");
    EXPECT_EQ(delegate->taskArray()[2]->destinationPath(), out + "/Two.mp4");
    EXPECT_TRUE(saveRequests.isEmpty());
    ASSERT_TRUE(waitForQueue());
    for (const ConversionJob* job : delegate->taskArray()) {
        EXPECT_EQ(job->state(), JobFinished);
        EXPECT_EQ(probeStreams(job->destinationPath()).size(),
                  job->destinationPath() == out + "/Silent.mp4" ? 1 : 2);
    }
}

TEST_F(Intake, AutoAddProbesManyMoviesInBatchesAndQueuesThemAllInOrder)
{
    const QString out = makeTempDir("auto");
    saveDestinations({out});
    setDefaultInt(kDefaultDestinationKey, 2);
    setDefaultInt(kAutoAddKey, 1);
    delegate->destinations().upkeepAtLaunch();
    const QString first = movie("Movie 00.mkv");
    QStringList movies{first};
    // More than one batch of the probe.
    for (int i = 1; i < 20; ++i) {
        movies.append(dir() + QStringLiteral("/Movie %1.mkv").arg(i, 2, 10, QLatin1Char('0')));
        ASSERT_TRUE(QFile::copy(first, movies.last()));
    }
    delegate->openFiles(movies);
    EXPECT_GE(delegate->waitingCount(), 19);
    ASSERT_TRUE(waitUntil([&] {
        return delegate->taskArray().size() == 20 && !delegate->addPanelState().addPanelShown();
    }));
    EXPECT_EQ(delegate->waitingCount(), 0);
    QStringList names;
    for (const QString& path : movies)
        names.append(QFileInfo(path).fileName());
    EXPECT_EQ(probed, names);
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(delegate->taskArray()[i]->destinationPath(),
                  out + "/" + QFileInfo(movies[i]).completeBaseName() + ".mp4");
}

TEST_F(Intake, AutoAddWithTheAskItemAsksAtOnce)
{
    setDefaultInt(kAutoAddKey, 1);
    delegate->openFiles({movie("Film.mkv")});
    ASSERT_TRUE(waitUntil([&] { return !saveRequests.isEmpty(); }));
    EXPECT_TRUE(delegate->taskArray().isEmpty());
    EXPECT_TRUE(delegate->addPanelState().addPanelShown());
}

TEST_F(Intake, MoviesWithoutVideoAreRefusedAndSkippedByAutoAdd)
{
    // Audio alone, and audio with a cover picture (not a video track).
    const QString song = dir() + "/Song.mkv";
    ASSERT_TRUE(
        ffmpeg({"-f", "lavfi", "-i", "sine=frequency=440", "-t", "1", "-c:a", "aac", song}));
    const QString cover = dir() + "/cover.jpg";
    ASSERT_TRUE(ffmpeg({"-f", "lavfi", "-i", "color=red:s=64x64", "-frames:v", "1", cover}));
    const QString album = dir() + "/Album.mp4";
    ASSERT_TRUE(ffmpeg({"-f", "lavfi", "-i", "sine=frequency=330", "-i", cover, "-map", "0", "-map",
                        "1", "-t", "1", "-c:a", "aac", "-c:v", "mjpeg", "-disposition:v",
                        "attached_pic", album}));
    for (const QString& file : {song, album}) {
        delegate->openFiles({file});
        ASSERT_TRUE(waitForProbe());
        EXPECT_FALSE(delegate->addPanelState().audioItems().isEmpty()) << file.toStdString();
        EXPECT_FALSE(delegate->fileInfo()->videoTrackID().has_value());
        EXPECT_FALSE(delegate->addPanelState().canAddToQueue());
        EXPECT_EQ(delegate->addPanelState().addPanelNotice(), kNoVideoNotice);
        delegate->addToQueue();
        EXPECT_TRUE(delegate->taskArray().isEmpty());
        EXPECT_TRUE(saveRequests.isEmpty());
        delegate->cancelAdd();
    }

    const QString out = makeTempDir("auto");
    saveDestinations({out});
    setDefaultInt(kDefaultDestinationKey, 2);
    setDefaultInt(kAutoAddKey, 1);
    delegate->destinations().upkeepAtLaunch();
    delegate->openFiles({song, movie("Film.mkv")});
    ASSERT_TRUE(waitUntil([&] {
        return delegate->taskArray().size() == 1 && !delegate->addPanelState().addPanelShown();
    }));
    EXPECT_EQ(delegate->taskArray()[0]->destinationPath(), out + "/Film.mp4");
    EXPECT_FALSE(QFileInfo::exists(out + "/Song.mp4"));
}

TEST_F(Intake, OnlyRegularFilesAreProbed)
{
    const QString fifo = dir() + "/Pipe.mkv";
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString folder = dir() + "/Folder.mkv";
    ASSERT_TRUE(QDir().mkpath(folder));
    // A folder named like a movie is no movie to drag in.
    EXPECT_FALSE(delegate->draggingEntered({folder}));
    EXPECT_TRUE(delegate->draggingEntered({folder, fifo}));

    // Refused at once, with the file and the reason; nothing blocks on the pipe.
    delegate->openFiles({fifo, folder, dir() + "/Gone.mkv"});
    const QStringList expected = {
        "This is not a regular file (a pipe, a socket or a device); Vantreo reads movies only "
        "from regular files.",
        "This is a folder, not a movie file.", "This file does not exist (any more)."};
    for (const QString& reason : expected) {
        ASSERT_TRUE(waitUntil([&] { return !delegate->isScanning(); }, 5000));
        EXPECT_EQ(delegate->addPanelState().addPanelNotice(), reason);
        EXPECT_FALSE(delegate->addPanelState().canAddToQueue());
        EXPECT_FALSE(delegate->addPanelState().currentMoviePath().isEmpty());
        EXPECT_EQ(delegate->fileInfo()->fileURL().toLocalFile(),
                  delegate->addPanelState().currentMoviePath());
        delegate->cancelAdd();
    }
    EXPECT_FALSE(delegate->addPanelState().addPanelShown());
    EXPECT_EQ(probed, (QStringList{"Pipe.mkv", "Folder.mkv", "Gone.mkv"}));
}

TEST_F(Intake, ASecondDropWaitsBehindTheShownMovie)
{
    const QString first = movie("First.mkv");
    delegate->openFiles({first});
    ASSERT_TRUE(waitForProbe());
    int waitingSignals = 0;
    QObject::connect(delegate.get(), &AppDelegate::waitingCountChanged, [&] { ++waitingSignals; });
    delegate->openFiles({movie("Second.mkv"), movie("Third.mkv")});
    EXPECT_FALSE(delegate->isScanning());
    EXPECT_EQ(delegate->fileInfo()->fileName(), "First.mkv");
    EXPECT_EQ(delegate->waitingCount(), 2);
    EXPECT_EQ(waitingMoviesText(delegate->waitingCount()), "2 more movies waiting");
    EXPECT_GE(waitingSignals, 1);

    // Confirming (or cancelling) the shown movie brings the next.
    delegate->cancelAdd();
    ASSERT_TRUE(waitForProbe());
    EXPECT_EQ(delegate->fileInfo()->fileName(), "Second.mkv");
    EXPECT_EQ(waitingMoviesText(delegate->waitingCount()), "1 more movie waiting");
    delegate->cancelAdd();
    ASSERT_TRUE(waitForProbe());
    EXPECT_EQ(waitingMoviesText(delegate->waitingCount()), "");
    EXPECT_EQ(probed, (QStringList{"First.mkv", "Second.mkv", "Third.mkv"}));
}

TEST_F(Intake, ThePanelSaysWhatIsKeptBesideTheChosenTrack)
{
    MovieRecipe recipe;
    recipe.path = dir() + "/Dub.mkv";
    for (const char* language : {"eng", "ger", "fre"}) {
        AudioRecipe track;
        track.language = language;
        recipe.audio.append(track);
    }
    recipe.audio[1].codec = "ac3";
    recipe.audio[2].codec = "libmp3lame";
    recipe.embeddedSubtitle = true;
    ASSERT_TRUE(makeMovie(recipe));
    delegate->openFiles({recipe.path});
    ASSERT_TRUE(waitForProbe());
    EXPECT_EQ(delegate->addPanelState().keptTracksText(), "Streamable")
        << "nothing kept by default";
    setDefaultInt(kStreamableOutputKey, 0);
    EXPECT_EQ(delegate->addPanelState().keptTracksText(), "");

    setDefaultInt(kKeepLanguageAudioKey, 1);
    setDefaultString(kExtraLanguagesKey, "de, fre");
    EXPECT_EQ(delegate->addPanelState().selectedAudioIndex(), 0);
    EXPECT_EQ(delegate->addPanelState().keptTracksText(), "Also keeps: ger (ac3), fre (mp3)");
    delegate->addPanelState().setSelectedAudioIndex(1);
    EXPECT_EQ(delegate->addPanelState().keptTracksText(), "Also keeps: fre (mp3)");

    setDefaultInt(kKeepLanguageSubtitlesKey, 1);
    setDefaultInt(kDisableBuiltinSubtitlesKey, 0);
    EXPECT_EQ(delegate->addPanelState().keptTracksText(),
              "Also keeps: fre (mp3) \u00b7 Subtitles: untagged");
    setDefaultString(kExtraLanguagesKey, "de, fre, en");
    EXPECT_EQ(delegate->addPanelState().keptTracksText(),
              "Also keeps: eng (aac), fre (mp3) \u00b7 Subtitles: untagged");
}

// The panel lists every subtitle track with its box ticked as the settings
// choose; unticking one leaves it out of this movie's job alone.
TEST_F(Intake, SubtitleTracksAreChosenPerMovie)
{
    const QString film = movie("Film.mkv");
    ASSERT_TRUE(writeSrt(dir() + "/Film.en.srt"));
    ASSERT_TRUE(writeSrt(dir() + "/Film.de.srt"));
    setDefaultInt(kDisableBuiltinSubtitlesKey, 0);
    delegate->openFiles({film});
    ASSERT_TRUE(waitForProbe());
    AddPanelState& panel = delegate->addPanelState();
    const QList<AddPanelState::SubtitleItem> items = panel.subtitleItems();
    ASSERT_EQ(items.size(), 2);
    EXPECT_EQ(items.at(0).text, "ger (Film.de.srt)");
    EXPECT_EQ(items.at(1).text, "eng (Film.en.srt)");
    EXPECT_TRUE(items.at(0).checked && items.at(1).checked);
    panel.setSubtitleChecked(items.at(0).key, false);
    EXPECT_FALSE(panel.subtitleItems().at(0).checked);
    EXPECT_FALSE(delegate->addPanelState().keptTracksText().contains("Film.de.srt"));

    delegate->destinations().setDestinationPopUpIndex(0);
    delegate->addToQueue();
    delegate->addPanelState().confirmSaveLocation(dir() + "/Film.mp4");
    ASSERT_EQ(delegate->taskArray().size(), 1);
    EXPECT_EQ(delegate->taskArray()[0]->subtitleChoice(), QStringList{items.at(1).key});
}

} // namespace
