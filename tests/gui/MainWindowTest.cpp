#include "shell/ui/MainWindow.h"

#include "GuiTestKit.h"
#include "common/TestSupport.h"
#include "engine/ConversionJob.h"
#include "foundation/SettingsStore.h"
#include "shell/AppDelegate.h"
#include "shell/Destinations.h"
#include "shell/JobQueue.h"
#include "shell/ui/AddPanel.h"
#include "shell/ui/DestinationComboBox.h"
#include "shell/ui/ElidedLabel.h"
#include "shell/ui/HelpWindow.h"
#include "shell/ui/JobListView.h"
#include "shell/ui/PreferencesWindow.h"
#include "shell/ui/WindowGeometry.h"

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
    EXPECT_EQ(window->windowTitle(), delegate->queue().windowTitle());
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
    EXPECT_TRUE(delegate->queue().paused());
    EXPECT_EQ(window->pauseAction()->text(), "Resume Queue");
    EXPECT_EQ(button->text(), "Resume Queue");
    EXPECT_TRUE(window->windowTitle().endsWith(" (Paused)"));

    window->pauseAction()->trigger();
    EXPECT_FALSE(delegate->queue().paused());
    EXPECT_EQ(button->text(), "Pause Queue");
    EXPECT_EQ(window->windowTitle(), delegate->queue().windowTitle());
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
    EXPECT_EQ(combo->itemText(5), delegate->destinations().destinationPopUpItems().last().title);
    EXPECT_EQ(combo->currentIndex(), delegate->destinations().destinationPopUpIndex());
    // Each saved folder says where it is.
    EXPECT_EQ(combo->itemData(2, Qt::ToolTipRole).toString(), movies);
    EXPECT_EQ(combo->itemData(3, Qt::ToolTipRole).toString(), series);
    EXPECT_EQ(window->preferencesWindow()->destinationComboBox()->itemData(3, Qt::ToolTipRole),
              series);

    // Picking a saved folder tells the delegate.
    combo->setCurrentIndex(3);
    emit combo->activated(3);
    EXPECT_EQ(delegate->destinations().destinationPopUpIndex(), 3);
    EXPECT_EQ(combo->toolTip(), series);
}

TEST_F(MainWindowTest, DragsWithAMovieAreAcceptedSubtitlesAloneAreNot)
{
    EXPECT_TRUE(dragAccepted(*window, {dir() + "/Film.mkv"}));
    EXPECT_TRUE(dragAccepted(*window, {dir() + "/Film.srt", dir() + "/Film.MKV"}));
    EXPECT_FALSE(dragAccepted(*window, {dir() + "/Film.srt"}));
    EXPECT_TRUE(dragAccepted(*window, {dir() + "/Film.ts"}));
    EXPECT_FALSE(dragAccepted(*window, {dir() + "/Film.nfo"}));
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

TEST_F(MainWindowTest, WindowsComeBackWhereAndHowBigTheyWere)
{
    window->resize(800, 560);
    window->move(40, 30);
    window->showPreferences();
    PreferencesWindow* prefs = window->preferencesWindow();
    prefs->move(220, 140);
    window->showHelp("Read Me", delegate->readmeURL());
    window->helpWindow()->resize(700, 420);
    prefs->close();
    window->helpWindow()->close();
    window->saveGeometrySetting();
    for (const char* key :
         {kMainWindowGeometryKey, kPreferencesWindowGeometryKey, kHelpWindowGeometryKey})
        EXPECT_EQ(SettingsStore::instance().value(key).typeId(), QMetaType::QByteArray) << key;

    // The next start.
    const QRect main = window->geometry();
    const QPoint prefsAt = prefs->pos();
    window.reset();
    window = std::make_unique<MainWindow>(*delegate);
    window->show();
    EXPECT_EQ(window->geometry(), main);
    EXPECT_EQ(window->size(), QSize(800, 560));
    // The offscreen platform's window frame may move it by a pixel or two.
    EXPECT_LE((window->preferencesWindow()->pos() - prefsAt).manhattanLength(), 4);
    window->showHelp("Read Me", delegate->readmeURL());
    EXPECT_EQ(window->helpWindow()->size(), QSize(700, 420));
}

TEST_F(MainWindowTest, AcceptedDragsLightUpTheList)
{
    const auto drag = [&](const QStringList& paths) {
        dragAccepted(*window, paths);
        return window->jobListView()->isDropHighlighted();
    };
    EXPECT_TRUE(drag({dir() + "/Film.mkv", dir() + "/Film.srt"}));
    QDragLeaveEvent leave;
    QApplication::sendEvent(window.get(), &leave);
    EXPECT_FALSE(window->jobListView()->isDropHighlighted());
    EXPECT_FALSE(drag({dir() + "/Film.srt"}));
    const QString folder = makeTempDir("Folder.mkv");
    EXPECT_FALSE(drag({folder}));
}

TEST_F(MainWindowTest, AddPanelNamesTheMovieAndCountsTheOthers)
{
    const QString name = "A movie with a rather long name, so long that it cannot fit into the "
                         "add panel of a small window at all - The Director's Cut.mkv";
    const QString first = makeMkv(name);
    const QString song = dir() + "/Song.mkv";
    ASSERT_TRUE(ffmpeg({"-f", "lavfi", "-i", "sine", "-t", "1", "-c:a", "aac", song}));
    window->resize(600, 480);
    delegate->openFiles({first, song, makeMkv("Third.mkv")});
    ASSERT_TRUE(waitUntil([&] { return delegate->fileInfo() && !delegate->isScanning(); }));
    AddPanel* panel = window->addPanel();
    ASSERT_TRUE(waitUntil([&] { return panel->nameLabel()->width() > 0; }, 2000));
    EXPECT_EQ(panel->nameLabel()->fullText(), name);
    EXPECT_EQ(panel->nameLabel()->toolTip(), first);
    EXPECT_TRUE(panel->nameLabel()->isElided());
    EXPECT_TRUE(panel->nameLabel()->text().contains(QChar(0x2026)));
    EXPECT_TRUE(panel->nameLabel()->text().endsWith("Cut.mkv"));
    EXPECT_EQ(panel->summaryLabel()->text(), delegate->fileInfo()->informationString());
    EXPECT_EQ(panel->waitingLabel()->text(), "2 more movies waiting");

    // A movie that cannot be queued: its name, why, and the next one waiting.
    delegate->cancelAdd();
    ASSERT_TRUE(waitUntil(
        [&] { return delegate->fileInfo()->fileName() == "Song.mkv" && !delegate->isScanning(); }));
    EXPECT_EQ(panel->nameLabel()->fullText(), "Song.mkv");
    EXPECT_TRUE(panel->noticeLabel()->isVisibleTo(panel));
    EXPECT_EQ(panel->noticeLabel()->text(),
              "This file has no video track to keep; Vantreo converts movies.");
    EXPECT_FALSE(panel->confirmButton()->isEnabled());
    EXPECT_EQ(panel->waitingLabel()->text(), "1 more movie waiting");
    // Values the probe could not find read "unknown" on screen only.
    EXPECT_TRUE(delegate->fileInfo()->informationString().contains("(null)"));
    EXPECT_FALSE(panel->summaryLabel()->text().contains("(null)"));
    EXPECT_TRUE(panel->summaryLabel()->text().contains("unknown"));
}

TEST_F(MainWindowTest, TitleShowsTheOverallProgressWhileConverting)
{
    installFakeTools();
    const QString movie = makeMkv("Slow.mkv", 6);
    ASSERT_FALSE(movie.isEmpty());
    QList<QueueProgress> told;
    QObject::connect(window.get(), &MainWindow::queueProgressChanged,
                     [&](const QueueProgress& p) { told.append(p); });
    ConversionJob* job = makeJob(movie, dir() + "/Slow.mp4");
    ASSERT_TRUE(delegate->addJob(job));
    ASSERT_TRUE(waitUntil([&] { return job->progress() >= 10; }, 20000));
    const QString title = window->windowTitle();
    EXPECT_TRUE(title.endsWith(QStringLiteral("% \u2013 ") + delegate->queue().windowTitle()))
        << title.toStdString();
    EXPECT_EQ(title, titleWithProgress(delegate->queue().windowTitle(), window->queueProgress()));
    ASSERT_FALSE(told.isEmpty());
    EXPECT_EQ(told.last().left, 1);
    EXPECT_EQ(told.last().converting, 1);
    job->remove();
    EXPECT_EQ(window->windowTitle(), delegate->queue().windowTitle());
    EXPECT_EQ(told.last(), QueueProgress{});
}

TEST_F(MainWindowTest, TheTrayNoticeIsGivenOnce)
{
    EXPECT_EQ(MainWindow::trayNoticeText(),
              "Vantreo keeps converting in the tray. Quit from its menu.");
    EXPECT_TRUE(MainWindow::takeTrayNotice());
    EXPECT_FALSE(MainWindow::takeTrayNotice());
}
