#include "GuiTestKit.h"
#include "common/TestSupport.h"
#include "engine/ConversionJob.h"
#include "engine/JobState.h"
#include "shell/AppDelegate.h"
#include "shell/ui/AddPanel.h"
#include "shell/ui/DestinationComboBox.h"
#include "shell/ui/JobListModel.h"
#include "shell/ui/MainWindow.h"

#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>

using GuiEndToEnd = GuiTestBase;

// A movie handed to the application is probed, shown in the add panel,
// confirmed into a freshly saved destination and converted by the real
// ffmpeg; its row ends Finished and the MP4 is on disk.
TEST_F(GuiEndToEnd, OpenedMovieIsConvertedIntoTheChosenFolder)
{
    const QString movie = makeMkv("Film.mkv", 3);
    ASSERT_FALSE(movie.isEmpty());
    const QString out = makeTempDir("Converted");

    delegate->openFiles({movie});
    ASSERT_TRUE(waitUntil([&] { return delegate->fileInfo() && !delegate->isScanning(); }));
    AddPanel* panel = window->addPanel();
    EXPECT_TRUE(panel->isOpen());
    EXPECT_EQ(panel->summaryLabel()->text(), delegate->fileInfo()->informationString());
    ASSERT_EQ(panel->audioComboBox()->count(), 1);
    EXPECT_EQ(panel->audioComboBox()->currentIndex(), 0);

    delegate->chooseNewDestination(1, out);
    DestinationComboBox* destination = panel->destinationComboBox();
    EXPECT_EQ(destination->currentText(), QFileInfo(out).fileName());
    EXPECT_EQ(destination->currentIndex(), destination->count() - 3);

    ASSERT_TRUE(panel->confirmButton()->isEnabled());
    panel->confirmButton()->click();
    JobListModel* model = window->jobListModel();
    ASSERT_EQ(model->rowCount(), 1);
    EXPECT_FALSE(panel->isOpen());

    ConversionJob* job = model->jobAt(0);
    ASSERT_TRUE(waitUntil([&] { return job->state() == JobFinished || job->state() == JobFailed; },
                          120000));
    const QModelIndex row = model->index(0);
    EXPECT_EQ(row.data(JobListModel::StateRole).toInt(), int(JobFinished));
    EXPECT_TRUE(row.data(JobListModel::FinishedOKRole).toBool());
    EXPECT_FALSE(row.data(JobListModel::StateInfoStringRole).toString().isEmpty());
    EXPECT_TRUE(QFileInfo(out + "/Film.mp4").size() > 0);
}

// With the ask item selected the confirm button opens a save dialog on the
// window; the name typed there gets the output extension and the job is
// queued there. Cancelling keeps the movie in the panel.
TEST_F(GuiEndToEnd, AskItemQueuesIntoTheSaveDialogsLocation)
{
    const QString movie = makeMkv("Film.mkv");
    ASSERT_FALSE(movie.isEmpty());
    const QString out = makeTempDir("Chosen");
    window->pauseAction()->trigger(); // only the queuing matters here
    delegate->openFiles({movie});
    ASSERT_TRUE(waitUntil([&] { return delegate->fileInfo() && !delegate->isScanning(); }));
    AddPanel* panel = window->addPanel();
    ASSERT_EQ(panel->destinationComboBox()->currentIndex(), 0);

    const auto openDialog = [&]() -> QFileDialog* {
        QFileDialog* found = nullptr;
        waitUntil(
            [&] {
                found = window->findChild<QFileDialog*>();
                return found && found->isVisible();
            },
            5000);
        return found;
    };

    panel->confirmButton()->click();
    QFileDialog* dialog = openDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowModality(), Qt::WindowModal);
    EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
    dialog->reject();
    waitUntil([&] { return !window->findChild<QFileDialog*>(); }, 5000);
    EXPECT_TRUE(panel->isOpen());
    EXPECT_TRUE(delegate->taskArray().isEmpty());

    panel->confirmButton()->click();
    dialog = openDialog();
    ASSERT_NE(dialog, nullptr);
    dialog->setDirectory(out);
    dialog->selectFile(out + "/My Film");
    static_cast<QDialog*>(dialog)->accept();
    ASSERT_TRUE(waitUntil([&] { return delegate->taskArray().size() == 1; }, 5000));
    EXPECT_EQ(delegate->taskArray().first()->destinationPath(), out + "/My Film.mp4");
    EXPECT_FALSE(panel->isOpen());
}

// A movie named with its year, alone in its folder with a poster: the panel
// names it a movie and shows the poster in place of the film icon.
TEST_F(GuiEndToEnd, ThePanelShowsTheCoverAndWhatTheNameSays)
{
    const QString made = makeMkv("Film.mkv");
    ASSERT_FALSE(made.isEmpty());
    const QString folder = makeTempDir("Harbour");
    const QString movie = folder + "/The Quiet Harbour (2019) 1080p BluRay.mkv";
    ASSERT_TRUE(QFile::copy(made, movie));
    ASSERT_TRUE(ffmpeg(
        {"-f", "lavfi", "-i", "testsrc2=size=200x300", "-frames:v", "1", folder + "/poster.jpg"}));

    delegate->openFiles({movie});
    ASSERT_TRUE(waitUntil([&] { return delegate->fileInfo() && !delegate->isScanning(); }));
    AddPanel* panel = window->addPanel();
    EXPECT_TRUE(panel->summaryLabel()->text().endsWith("Movie: The Quiet Harbour (2019)"))
        << qPrintable(panel->summaryLabel()->text());
    const auto* cover = panel->findChild<QLabel*>("addPanelCover");
    ASSERT_NE(cover, nullptr);
    EXPECT_TRUE(cover->isVisible());
    EXPECT_EQ(cover->pixmap().height(), 48);
}
