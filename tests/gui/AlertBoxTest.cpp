#include "common/TestSupport.h"
#include "foundation/Alerts.h"
#include "foundation/RememberedWarnings.h"
#include "foundation/SettingsAccess.h"
#include "shell/ui/MessageBoxAlertPresenter.h"

#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

// How the desktop's message boxes look and answer.

namespace {

// What a box showed, read while it was open.
struct Seen
{
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString heading, text, details, detailsFont;
    Qt::TextFormat textFormat = Qt::AutoText;
    int textLines = 0;
    bool copyLeftItOpen = false;
};

// Shows the request in a real box, records what it shows and then runs
// `answer` on it (the default: click the default button).
Seen show(AlertRequest request, int* result = nullptr,
          std::function<void(QMessageBox&)> answer = {})
{
    Seen seen;
    MessageBoxAlertPresenter::setBoxHook([&seen, answer](QMessageBox& box) {
        QTimer::singleShot(0, &box, [&box, &seen, answer] {
            seen.icon = box.icon();
            auto* main = box.findChild<QLabel*>("qt_msgbox_label");
            auto* informative = box.findChild<QLabel*>("qt_msgbox_informativelabel");
            QLabel* text = informative ? informative : main;
            seen.heading = informative && main ? main->text() : QString();
            seen.text = text ? text->text() : QString();
            seen.textFormat = text ? text->textFormat() : Qt::AutoText;
            if (text)
                seen.textLines = text->heightForWidth(text->width()) /
                                 std::max(1, text->fontMetrics().lineSpacing());
            if (auto* details = box.findChild<QPlainTextEdit*>("alertDetails")) {
                seen.details = details->toPlainText();
                seen.detailsFont = details->font().family();
                if (auto* copy = box.findChild<QPushButton*>("alertCopyButton")) {
                    copy->click();
                    seen.copyLeftItOpen = box.isVisible();
                }
            }
            if (answer)
                answer(box);
            else
                box.defaultButton()->click();
        });
    });
    MessageBoxAlertPresenter presenter;
    const int answered = presenter.present(request);
    if (result)
        *result = answered;
    MessageBoxAlertPresenter::setBoxHook({});
    return seen;
}

AlertRequest request(const QString& title, const QString& message, const QString& alternate = {})
{
    return AlertRequest{title, message, "OK", alternate, {}, false, {}};
}

} // namespace

TEST(AlertBox, IconsFollowTheKindOfMessage)
{
    EXPECT_EQ(show(request("Warning", "A 10-bit movie.")).icon, QMessageBox::Warning);
    EXPECT_EQ(show(request("Conversion Failed", "No space.")).icon, QMessageBox::Critical);
    EXPECT_EQ(show(request("Information", "A problem prevented the file from being converted. "
                                          "\n\nCommand-line: ffmpeg -i x\nCommand-output: x"))
                  .icon,
              QMessageBox::Critical);
    EXPECT_EQ(show(request("Vantreo", "Welcome to Vantreo.")).icon, QMessageBox::Information);
    AlertRequest question = request("Vantreo", "Remove it?", "Cancel");
    question.kind = AlertKind::Warning;
    EXPECT_EQ(show(question).icon, QMessageBox::Warning);
}

TEST(AlertBox, MessagesAreShownAsWrittenUnderTheirOwnHeading)
{
    const QString welcome = "Select 'High Speed & Quality' <b>now</b> & enjoy.";
    const Seen plain = show(request("Vantreo", welcome));
    EXPECT_EQ(plain.text, welcome);
    EXPECT_EQ(plain.textFormat, Qt::PlainText);
    EXPECT_EQ(plain.heading, ""); // the window title already names the application

    const Seen titled = show(request("Warning", "Line one\nLine & two"));
    EXPECT_EQ(titled.heading, "<b>Warning</b>");
    EXPECT_EQ(titled.text, "Line one\nLine & two");
    EXPECT_EQ(titled.textFormat, Qt::PlainText);

    // The quit question fits on two lines.
    const Seen quit = show(
        request("Vantreo", "Conversion is in progresss. Are you sure you want to quit?", "Cancel"));
    EXPECT_GE(quit.textLines, 1);
    EXPECT_LE(quit.textLines, 2);
}

TEST(AlertBox, FailureExplanationShowsItsDetailsInACopyableArea)
{
    const QString output = "Input #0, matroska\nStream #0:1: Audio: dts\nError while opening\n";
    AlertRequest failure{"Information",
                         "A problem prevented the file from being converted.  You can contact "
                         "our support with this information so that we can fix this problem."
                         "\n\nCommand-line: ffmpeg -i /m/Film.mkv /m/Film.mp4\nCommand-output: " +
                             output,
                         "Send to support",
                         "Cancel",
                         {},
                         false,
                         {}};
    int result = -2;
    QGuiApplication::clipboard()->clear();
    const Seen seen = show(failure, &result);
    EXPECT_EQ(seen.text, "A problem prevented the file from being converted.  You can contact "
                         "our support with this information so that we can fix this problem.");
    EXPECT_EQ(seen.details,
              "Command-line: ffmpeg -i /m/Film.mkv /m/Film.mp4\nCommand-output: " + output);
    EXPECT_EQ(seen.detailsFont, QFontDatabase::systemFont(QFontDatabase::FixedFont).family());
    EXPECT_TRUE(seen.copyLeftItOpen);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), seen.details);
    EXPECT_EQ(result, kAlertDefault);
}

TEST(AlertBox, EscapeAnswersCancelButNeverDontWarnAgain)
{
    const auto escape = [](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); };
    int result = -2;
    show(request("Vantreo", "Quit?", "Cancel"), &result, escape);
    EXPECT_EQ(result, kAlertAlternate);

    // A remembered warning: Esc and closing the box are "OK", so the warning
    // stays unremembered.
    setAlertPresenter(std::make_unique<MessageBoxAlertPresenter>());
    const QString key = dontWarnAgainEverKey("esctest");
    for (const auto& dismiss :
         {std::function<void(QMessageBox&)>(escape),
          std::function<void(QMessageBox&)>([](QMessageBox& box) { box.close(); })}) {
        MessageBoxAlertPresenter::setBoxHook([dismiss](QMessageBox& box) {
            QTimer::singleShot(0, &box, [&box, dismiss] { dismiss(box); });
        });
        alert_dontwarnagain_ever("esctest", "Warning", "Odd movie.", "OK", "Don't warn again");
        EXPECT_EQ(defaultInt(key), 0);
    }
    // The button itself still remembers.
    MessageBoxAlertPresenter::setBoxHook([](QMessageBox& box) {
        QTimer::singleShot(0, &box, [&box] {
            for (QAbstractButton* button : box.buttons())
                if (button->text() == "Don't warn again")
                    button->click();
        });
    });
    alert_dontwarnagain_ever("esctest", "Warning", "Odd movie.", "OK", "Don't warn again");
    EXPECT_EQ(defaultInt(key), 1);
    MessageBoxAlertPresenter::setBoxHook({});
}
