#include "common/TestSupport.h"
#include "foundation/AlertPresenter.h"
#include "shell/ui/FileDialogs.h"
#include "shell/ui/MessageBoxAlertPresenter.h"
#include "shell/ui/SingleInstance.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

// Answers the next message box by clicking the button with this title
// (and typing into its text field) once the box runs.
void answerWith(const QString& buttonTitle, const QString& typed = {})
{
    MessageBoxAlertPresenter::setBoxHook([buttonTitle, typed](QMessageBox& box) {
        QTimer::singleShot(0, &box, [&box, buttonTitle, typed] {
            if (auto* edit = box.findChild<QLineEdit*>())
                edit->setText(typed);
            for (QAbstractButton* button : box.buttons())
                if (button->text() == buttonTitle)
                    button->click();
        });
    });
}

} // namespace

TEST(MessageBoxAlertPresenter, ButtonsAnswerOneZeroAndMinusOne)
{
    MessageBoxAlertPresenter presenter;
    AlertRequest request{"Warning", "Something happened.", "Continue", "Cancel", "Help", false, {}};
    answerWith("Continue");
    EXPECT_EQ(presenter.present(request), kAlertDefault);
    answerWith("Cancel");
    EXPECT_EQ(presenter.present(request), kAlertAlternate);
    answerWith("Help");
    EXPECT_EQ(presenter.present(request), kAlertOther);

    AlertRequest input{"Vantreo", "Your name?", "OK", "Cancel", {}, true, "old"};
    answerWith("OK", "typed text");
    EXPECT_EQ(presenter.present(input), kAlertDefault);
    EXPECT_EQ(input.text, "typed text");
    MessageBoxAlertPresenter::setBoxHook({});
}

TEST(SingleInstance, SecondLaunchHandsItsFilesOver)
{
    const QString name = QStringLiteral("vantreo-test-%1").arg(getpid());
    SingleInstance running(name);
    SingleInstance second(name);
    EXPECT_FALSE(second.sendToRunning({"/m/none.mkv"})); // nobody listens yet

    ASSERT_TRUE(running.listen());
    QStringList received;
    bool got = false;
    QObject::connect(&running, &SingleInstance::filesReceived, [&](const QStringList& paths) {
        received = paths;
        got = true;
    });
    EXPECT_TRUE(second.sendToRunning({"/m/A film.mkv", "/m/Über.srt"}));
    ASSERT_TRUE(waitUntil([&] { return got; }, 5000));
    EXPECT_EQ(received, (QStringList{"/m/A film.mkv", "/m/Über.srt"}));
}

TEST(FileDialogs, SaveLocationKeepsTheAllowedExtension)
{
    EXPECT_EQ(FileDialogs::withExtension("/m/Film.mp4", "mp4"), "/m/Film.mp4");
    EXPECT_EQ(FileDialogs::withExtension("/m/Film.MP4", "mp4"), "/m/Film.MP4");
    EXPECT_EQ(FileDialogs::withExtension("/m/Film.mov", "m4v"), "/m/Film.mov.m4v");
    EXPECT_EQ(FileDialogs::withExtension("/m/Film", "m4v"), "/m/Film.m4v");
    EXPECT_EQ(FileDialogs::nameFilter("Movies", {"mkv"}), "Movies (*.mkv *.MKV)");
}
