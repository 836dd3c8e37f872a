#include "GuiTestKit.h"
#include "common/TestSupport.h"
#include "engine/ConversionJob.h"
#include "engine/JobState.h"
#include "shell/AppDelegate.h"
#include "shell/ui/JobItemDelegate.h"
#include "shell/ui/JobListModel.h"
#include "shell/ui/JobListView.h"
#include "shell/ui/JobRowLayout.h"
#include "shell/ui/MainWindow.h"

#include <QApplication>
#include <QMouseEvent>

using JobListTest = GuiTestBase;

namespace {

QList<RowButton> buttonsFor(JobState state)
{
    QList<RowButton> buttons;
    for (const RowButtonPlace& place : rowButtons(QRect(0, 0, 600, kRowHeight), state))
        buttons.append(place.button);
    return buttons;
}

void click(QWidget* viewport, const QPoint& pos)
{
    QMouseEvent press(QEvent::MouseButtonPress, pos, viewport->mapToGlobal(pos), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, pos, viewport->mapToGlobal(pos), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &release);
}

} // namespace

TEST(JobRowLayout, ButtonsFollowTheJobState)
{
    using B = RowButton;
    EXPECT_EQ(buttonsFor(JobQueued), (QList<B>{B::StartOrContinue, B::Remove, B::Reveal}));
    EXPECT_EQ(buttonsFor(JobConverting), (QList<B>{B::Pause, B::Remove, B::Reveal}));
    EXPECT_EQ(buttonsFor(JobPaused), (QList<B>{B::StartOrContinue, B::Remove, B::Reveal}));
    EXPECT_EQ(buttonsFor(JobFinished), (QList<B>{B::Remove, B::Reveal}));
    EXPECT_EQ(buttonsFor(JobFailed), (QList<B>{B::Remove, B::Reveal}));
    EXPECT_EQ(rowButtonToolTip(B::StartOrContinue, JobPaused), "Continue");

    // Start and pause share a place; the buttons never overlap the text.
    const QRect row(0, 0, 600, kRowHeight);
    EXPECT_EQ(rowButtons(row, JobQueued).first().rect, rowButtons(row, JobConverting).first().rect);
    for (const RowButtonPlace& place : rowButtons(row, JobQueued))
        EXPECT_FALSE(place.rect.intersects(rowTextRect(row)));
}

TEST_F(JobListTest, RowsFollowTheQueue)
{
    const QString movie = makeMkv("Film.mkv");
    ASSERT_FALSE(movie.isEmpty());
    window->pauseAction()->trigger(); // keep the jobs waiting
    JobListModel* model = window->jobListModel();
    int inserted = 0, removed = 0;
    QObject::connect(model, &QAbstractItemModel::rowsInserted, [&] { ++inserted; });
    QObject::connect(model, &QAbstractItemModel::rowsRemoved, [&] { ++removed; });

    ConversionJob* first = makeJob(movie, dir() + "/One.mp4");
    ConversionJob* second = makeJob(movie, dir() + "/Two.mp4");
    ASSERT_TRUE(delegate->addJob(first));
    ASSERT_TRUE(delegate->addJob(second));
    EXPECT_EQ(inserted, 2);
    ASSERT_EQ(model->rowCount(), 2);
    EXPECT_FALSE(window->jobListView()->showsDropHint());
    EXPECT_TRUE(window->cleanAction()->isEnabled());
    EXPECT_EQ(model->index(0).data(JobListModel::FileNameRole).toString(), "Film.mkv");
    EXPECT_EQ(model->index(1).data(JobListModel::StateRole).toInt(), int(JobQueued));
    EXPECT_EQ(JobListModel::jobFromIndex(model->index(1)), second);

    // A job's change reaches its row.
    int changedRow = -1;
    QObject::connect(model, &QAbstractItemModel::dataChanged,
                     [&](const QModelIndex& index) { changedRow = index.row(); });
    second->setSlowmode(!second->slowmode());
    EXPECT_EQ(changedRow, 1);

    first->remove();
    EXPECT_EQ(removed, 1);
    ASSERT_EQ(model->rowCount(), 1);
    EXPECT_EQ(model->jobAt(0), second);
    second->remove();
    EXPECT_EQ(model->rowCount(), 0);
    EXPECT_TRUE(window->jobListView()->showsDropHint());
}

TEST_F(JobListTest, RowButtonsDriveTheirJob)
{
    const QString movie = makeMkv("Film.mkv");
    ASSERT_FALSE(movie.isEmpty());
    window->pauseAction()->trigger();
    ConversionJob* job = makeJob(movie, dir() + "/Film.mp4");
    ASSERT_TRUE(delegate->addJob(job));
    JobListView* view = window->jobListView();
    view->resize(640, 300);
    const QRect row = view->visualRect(window->jobListModel()->index(0));
    ASSERT_TRUE(row.isValid());

    // Start on a paused queue: the job runs on its own.
    click(view->viewport(), rowButtons(row, JobQueued).first().rect.center());
    ASSERT_TRUE(waitUntil([&] { return job->state() != JobQueued; }, 5000));
    ASSERT_TRUE(waitUntil([&] { return job->state() == JobFinished; }, 120000));

    // Remove takes the row away.
    click(view->viewport(), rowButtons(row, JobFinished).at(0).rect.center());
    EXPECT_TRUE(waitUntil([&] { return delegate->taskArray().isEmpty(); }, 5000));
}

TEST_F(JobListTest, CutStatusLineIsWholeInTheToolTipAndBarsShowTheirState)
{
    installFakeTools();
    const QString movie = makeMkv("Broken.mkv");
    ASSERT_FALSE(movie.isEmpty());
    ConversionJob* job = makeJob(movie, dir() + "/Broken.mp4");
    ASSERT_TRUE(delegate->addJob(job));
    ASSERT_TRUE(waitUntil([&] { return job->state() == JobFailed; }, 30000));
    const QModelIndex index = window->jobListModel()->index(0);
    const QString status = job->stateInfoString();

    QStyleOptionViewItem option;
    option.initFrom(window->jobListView());
    option.rect = QRect(0, 0, 1600, kRowHeight);
    EXPECT_EQ(JobItemDelegate::shownStatusLine(option, index), status);
    const QPoint onText = rowTextRect(option.rect).center();
    EXPECT_EQ(JobItemDelegate::toolTipAt(option, index, onText), dir() + "/Broken.mp4");

    option.rect = QRect(0, 0, 420, kRowHeight);
    const QString shown = JobItemDelegate::shownStatusLine(option, index);
    EXPECT_NE(shown, status);
    EXPECT_TRUE(shown.endsWith(QChar(0x2026)));
    EXPECT_TRUE(status.startsWith(shown.chopped(1)));
    EXPECT_EQ(JobItemDelegate::toolTipAt(option, index, onText),
              status + "\n" + dir() + "/Broken.mp4");
    // Over a button the tool tip says what it does.
    const QPoint onReveal = rowButtons(option.rect, JobFailed).last().rect.center();
    EXPECT_EQ(JobItemDelegate::toolTipAt(option, index, onReveal), "Why did the conversion fail?");

    // A failed bar is drawn in the failure colour; a selected row's bar does
    // not vanish into the selection.
    const QColor failure = JobItemDelegate::progressBarColor(option, JobFailed);
    EXPECT_NE(failure, option.palette.color(QPalette::Highlight));
    option.state |= QStyle::State_Selected;
    EXPECT_NE(JobItemDelegate::progressBarColor(option, JobConverting),
              option.palette.color(QPalette::Highlight));
}
