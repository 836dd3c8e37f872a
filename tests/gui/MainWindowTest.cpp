#include "shell/ui/MainWindow.h"

#include "GuiTestKit.h"
#include "common/TestSupport.h"
#include "shell/AppDelegate.h"
#include "shell/ui/AddPanel.h"
#include "shell/ui/DestinationComboBox.h"
#include "shell/ui/JobListView.h"

#include <QAction>
#include <QApplication>
#include <QDragEnterEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QToolButton>

using MainWindowTest = GuiTestBase;

namespace {

bool dragAccepted(MainWindow& window, const QStringList& paths)
{
    QMimeData mime;
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls.append(QUrl::fromLocalFile(path));
    mime.setUrls(urls);
    QDragEnterEvent event(QPoint(20, 20), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    event.setAccepted(false);
    QApplication::sendEvent(&window, &event);
    return event.isAccepted() && event.dropAction() == Qt::CopyAction;
}

QStringList menuTitles(const MainWindow& window)
{
    QStringList titles;
    for (QAction* action : window.menuBar()->actions())
        titles.append(action->text());
    return titles;
}

} // namespace

TEST_F(MainWindowTest, BuildsEmptyWithItsMenusAndTheDropHint)
{
    EXPECT_EQ(window->windowTitle(), delegate->windowTitle());
    EXPECT_EQ(menuTitles(*window), (QStringList{"&File", "&Window", "&Help"}));
    EXPECT_FALSE(window->addPanel()->isOpen());
    EXPECT_FALSE(window->addPanel()->isVisible());
    EXPECT_TRUE(window->jobListView()->showsDropHint());
    EXPECT_FALSE(window->cleanAction()->isEnabled());
    EXPECT_EQ(window->pauseAction()->text(), "Pause Queue");
}

TEST_F(MainWindowTest, PauseAndResumeFlipToolbarAndMenuTexts)
{
    QToolButton* button = window->pauseToolButton();
    ASSERT_NE(button, nullptr);
    window->pauseAction()->trigger();
    EXPECT_TRUE(delegate->paused());
    EXPECT_EQ(window->pauseAction()->text(), "Resume Queue");
    EXPECT_EQ(button->text(), "Resume Queue");
    EXPECT_TRUE(window->windowTitle().endsWith(" (Paused)"));

    window->pauseAction()->trigger();
    EXPECT_FALSE(delegate->paused());
    EXPECT_EQ(button->text(), "Pause Queue");
    EXPECT_EQ(window->windowTitle(), delegate->windowTitle());
}

TEST_F(MainWindowTest, DestinationComboShowsSavedFoldersBetweenSeparators)
{
    const QString movies = makeTempDir("Movies");
    const QString series = makeTempDir("Series");
    delegate->chooseNewDestination(0, movies);
    delegate->chooseNewDestination(0, series);
    delegate->rebuildDestinationPopUp();

    DestinationComboBox* combo = window->addPanel()->destinationComboBox();
    ASSERT_EQ(combo->count(), 6);
    EXPECT_FALSE(combo->isSeparator(0));
    EXPECT_TRUE(combo->isSeparator(1));
    EXPECT_EQ(combo->itemText(2), QFileInfo(movies).fileName());
    EXPECT_EQ(combo->itemText(3), QFileInfo(series).fileName());
    EXPECT_TRUE(combo->isSeparator(4));
    EXPECT_EQ(combo->itemText(5), delegate->destinationPopUpItems().last().title);
    EXPECT_EQ(combo->currentIndex(), delegate->destinationPopUpIndex());

    // Picking a saved folder tells the delegate.
    combo->setCurrentIndex(3);
    emit combo->activated(3);
    EXPECT_EQ(delegate->destinationPopUpIndex(), 3);
}

TEST_F(MainWindowTest, DragsWithAMovieAreAcceptedSubtitlesAloneAreNot)
{
    EXPECT_TRUE(dragAccepted(*window, {dir() + "/Film.mkv"}));
    EXPECT_TRUE(dragAccepted(*window, {dir() + "/Film.srt", dir() + "/Film.MKV"}));
    EXPECT_FALSE(dragAccepted(*window, {dir() + "/Film.srt"}));
    EXPECT_FALSE(dragAccepted(*window, {dir() + "/Film.avi"}));
    EXPECT_FALSE(dragAccepted(*window, {}));
}

TEST_F(MainWindowTest, DroppedMovieIsProbedAndShownInTheAddPanel)
{
    const QString movie = makeMkv("Film.mkv");
    ASSERT_FALSE(movie.isEmpty());
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(movie)});
    EXPECT_TRUE(window->takeDrop(&mime));

    ASSERT_TRUE(waitUntil([&] { return delegate->fileInfo() && !delegate->isScanning(); }));
    AddPanel* panel = window->addPanel();
    EXPECT_TRUE(panel->isOpen());
    EXPECT_EQ(panel->summaryLabel()->text(), delegate->fileInfo()->informationString());
    EXPECT_EQ(panel->audioComboBox()->count(), 1);
    EXPECT_TRUE(panel->confirmButton()->isEnabled());
    EXPECT_EQ(panel->confirmButton()->text(), delegate->addButtonTitle());

    panel->cancelButton()->click();
    EXPECT_FALSE(panel->isOpen());
    EXPECT_TRUE(delegate->taskArray().isEmpty());
}
