#include "GuiTestKit.h"
#include "common/TestSupport.h"
#include "engine/ConversionJob.h"
#include "engine/JobState.h"
#include "shell/AddPanelState.h"
#include "shell/AppDelegate.h"
#include "shell/ui/AddPanel.h"
#include "shell/ui/DestinationComboBox.h"
#include "shell/ui/HelpWindow.h"
#include "shell/ui/JobActions.h"
#include "shell/ui/JobListModel.h"
#include "shell/ui/JobListView.h"
#include "shell/ui/JobRowLayout.h"
#include "shell/ui/MainWindow.h"
#include "shell/ui/PreferencesWindow.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>

// Everything the desktop offers can be done from the keyboard: the add
// panel, the job list and its context menu, the preferences and help
// windows and the main commands.

namespace {

QStringList menuTexts(const QMenu& menu)
{
    QStringList texts;
    for (QAction* action : menu.actions())
        if (!action->isSeparator())
            texts.append(action->text());
    return texts;
}

} // namespace

class Keyboard : public GuiTestBase
{
protected:
    void SetUp() override
    {
        GuiTestBase::SetUp();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    JobListView* list() const { return window->jobListView(); }

    // Keys go to the active window (the offscreen platform activates a
    // second window only when told to).
    static void activate(QWidget* w)
    {
        w->activateWindow();
        QApplication::setActiveWindow(w);
        ASSERT_TRUE(QTest::qWaitForWindowActive(w));
    }

    // Selects the rows and gives the list the focus.
    void select(const QList<int>& rows)
    {
        list()->setFocus();
        list()->clearSelection();
        for (int row : rows)
            list()->selectionModel()->select(window->jobListModel()->index(row),
                                             QItemSelectionModel::Select);
        if (!rows.isEmpty())
            list()->selectionModel()->setCurrentIndex(window->jobListModel()->index(rows.first()),
                                                      QItemSelectionModel::NoUpdate);
    }

    ConversionJob* addJob(const QString& movie, const QString& output)
    {
        ConversionJob* job = makeJob(movie, dir() + "/" + output);
        EXPECT_TRUE(delegate->addJob(job));
        return job;
    }
};

TEST_F(Keyboard, AddPanelTakesEnterEscapeAndMnemonics)
{
    const QString movie = makeMkv("Film.mkv");
    ASSERT_FALSE(movie.isEmpty());
    const QString out = makeTempDir("Out");
    delegate->chooseNewDestination(0, out);
    delegate->openFiles({movie});
    ASSERT_TRUE(waitUntil([&] { return delegate->fileInfo() && !delegate->isScanning(); }));
    AddPanel* panel = window->addPanel();
    // A movie appears: the audio pop-up has the focus.
    EXPECT_EQ(QApplication::focusWidget(), panel->audioComboBox());

    // Alt+D and Alt+A reach the pop-ups through their labels.
    QTest::keyClick(window.get(), Qt::Key_D, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), panel->destinationComboBox());
    QTest::keyClick(window.get(), Qt::Key_A, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), panel->audioComboBox());

    // Escape cancels.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_FALSE(delegate->addPanelState().addPanelShown());
    EXPECT_TRUE(delegate->taskArray().isEmpty());

    // Enter queues into the saved destination.
    window->pauseAction()->trigger();
    delegate->openFiles({movie});
    ASSERT_TRUE(waitUntil([&] { return delegate->fileInfo() && !delegate->isScanning(); }));
    ASSERT_EQ(panel->destinationComboBox()->currentIndex(), 2);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    ASSERT_EQ(delegate->taskArray().size(), 1);
    EXPECT_EQ(delegate->taskArray().first()->destinationPath(), out + "/Film.mp4");
    EXPECT_FALSE(delegate->addPanelState().addPanelShown());

    // Enter does nothing for a movie that cannot be queued.
    const QString song = dir() + "/Song.mkv";
    ASSERT_TRUE(ffmpeg({"-f", "lavfi", "-i", "sine", "-t", "1", "-c:a", "aac", song}));
    delegate->openFiles({song});
    ASSERT_TRUE(waitUntil([&] { return delegate->fileInfo() && !delegate->isScanning(); }));
    EXPECT_EQ(QApplication::focusWidget(), panel->cancelButton());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(delegate->taskArray().size(), 1);
    EXPECT_TRUE(delegate->addPanelState().addPanelShown());
}

TEST_F(Keyboard, JobListArrowsSpaceDeleteEnterAndDoubleClick)
{
    installFakeTools();
    const QString slow = makeMkv("Slow.mkv", 8);
    const QString film = makeMkv("Film.mkv");
    ASSERT_FALSE(slow.isEmpty());
    window->pauseAction()->trigger(); // jobs wait until started by hand
    ConversionJob* first = addJob(slow, "Slow.mp4");
    ConversionJob* second = addJob(film, "Film.mp4");
    list()->resize(640, 300);

    // Arrow keys move the selection.
    list()->setFocus();
    QTest::keyClick(list(), Qt::Key_Down);
    QTest::keyClick(list(), Qt::Key_Down);
    EXPECT_EQ(window->jobActions()->selectedJobs(), QList<ConversionJob*>{second});
    QTest::keyClick(list(), Qt::Key_Up);
    EXPECT_EQ(window->jobActions()->selectedJobs(), QList<ConversionJob*>{first});

    // Space starts, pauses and continues the selected job.
    QTest::keyClick(list(), Qt::Key_Space);
    ASSERT_TRUE(waitUntil([&] { return first->state() == JobConverting; }, 5000));
    QTest::keyClick(list(), Qt::Key_Space);
    EXPECT_EQ(first->state(), JobPaused);
    QTest::keyClick(list(), Qt::Key_Space);
    EXPECT_EQ(first->state(), JobConverting);

    // Delete asks before removing a converting job; Cancel keeps it.
    alerts->answers = {kAlertAlternate};
    QTest::keyClick(list(), Qt::Key_Delete);
    ASSERT_EQ(alerts->shown.size(), 1);
    EXPECT_EQ(alerts->shown[0].kind, AlertKind::Warning);
    EXPECT_TRUE(alerts->shown[0].message.contains("Slow.mkv"));
    EXPECT_EQ(delegate->taskArray().size(), 2);
    QTest::keyClick(list(), Qt::Key_Delete);
    ASSERT_TRUE(waitUntil([&] { return delegate->taskArray().size() == 1; }, 5000));
    EXPECT_EQ(alerts->shown.size(), 2);
    ASSERT_TRUE(waitUntil([&] { return second->state() == JobFinished; }, 60000));

    // Enter and a double click show the output of a finished job.
    select({0});
    QTest::keyClick(list(), Qt::Key_Return);
    EXPECT_EQ(workspace->revealed, QStringList{dir() + "/Film.mp4"});
    const QRect row = list()->visualRect(window->jobListModel()->index(0));
    QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, rowTextRect(row).center());
    EXPECT_EQ(workspace->revealed.size(), 2);
    // Delete takes a finished job without asking.
    QTest::keyClick(list(), Qt::Key_Delete);
    EXPECT_TRUE(waitUntil([&] { return delegate->taskArray().isEmpty(); }, 5000));
    EXPECT_EQ(alerts->shown.size(), 2);
}

TEST_F(Keyboard, ContextMenuOffersTheRowCommandsAndAFailedJobsDetails)
{
    installFakeTools();
    const QString broken = makeMkv("Broken.mkv");
    const QString film = makeMkv("Film.mkv");
    ASSERT_FALSE(broken.isEmpty());
    ConversionJob* failed = addJob(broken, "Broken.mp4");
    ASSERT_TRUE(waitUntil([&] { return failed->state() == JobFailed; }, 30000));
    window->pauseAction()->trigger();
    addJob(film, "Film.mp4");
    JobActions* actions = window->jobActions();

    QMenu menu;
    select({1});
    actions->fillContextMenu(menu);
    EXPECT_EQ(menuTexts(menu),
              (QStringList{"Start", "Show in File Manager", "Show Source", "Remove"}));

    select({0});
    actions->fillContextMenu(menu);
    EXPECT_EQ(menuTexts(menu),
              (QStringList{"Why Did It Fail?", "Show Source", "Copy Error Details", "Remove"}));
    actions->showSourceAction()->trigger();
    EXPECT_EQ(workspace->revealed, QStringList{broken});
    actions->copyErrorAction()->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), failed->failureExplanationText());
    EXPECT_TRUE(QGuiApplication::clipboard()->text().contains("Command-line: "));
    // Enter on a failed row explains the failure.
    QTest::keyClick(list(), Qt::Key_Enter);
    ASSERT_EQ(alerts->shown.size(), 1);
    EXPECT_TRUE(alerts->shown[0].message.contains("Command-output: "));

    // The menu opens where the row was right-clicked, on that row.
    list()->resize(640, 300);
    const QRect row = list()->visualRect(window->jobListModel()->index(1));
    emit list()->customContextMenuRequested(row.center());
    auto* popup = list()->findChild<QMenu*>("jobContextMenu");
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(actions->currentJob(), delegate->taskArray().at(1));
    EXPECT_TRUE(menuTexts(*popup).contains("Start"));
    popup->close();
}

TEST_F(Keyboard, WindowsOpenAndCloseFromTheKeyboard)
{
    // Ctrl+, opens the preferences (the desktop names no key of its own).
    QTest::keyClick(window.get(), Qt::Key_Comma, Qt::ControlModifier);
    PreferencesWindow* prefs = window->preferencesWindow();
    ASSERT_TRUE(prefs->isVisible());
    activate(prefs);
    QTest::keyClick(prefs, Qt::Key_Escape);
    EXPECT_FALSE(prefs->isVisible());
    window->showPreferences();
    activate(prefs);
    QTest::keyClick(prefs, Qt::Key_W, Qt::ControlModifier);
    EXPECT_FALSE(prefs->isVisible());
    window->showPreferences();
    prefs->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Close)->click();
    EXPECT_FALSE(prefs->isVisible());

    // F1 is the Read Me.
    activate(window.get());
    QTest::keyClick(window.get(), Qt::Key_F1);
    HelpWindow* help = window->helpWindow();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(help->windowTitle(), "Read Me");
    activate(help);
    QTest::keyClick(help, Qt::Key_Escape);
    EXPECT_FALSE(help->isVisible());

    // Ctrl+O is Add….
    activate(window.get());
    QTest::keyClick(window.get(), Qt::Key_O, Qt::ControlModifier);
    QFileDialog* dialog = nullptr;
    ASSERT_TRUE(waitUntil(
        [&] {
            dialog = window->findChild<QFileDialog*>();
            return dialog && dialog->isVisible();
        },
        5000));
    EXPECT_EQ(dialog->fileMode(), QFileDialog::ExistingFiles);
    dialog->reject();
}
