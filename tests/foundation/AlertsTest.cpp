#include "foundation/Alerts.h"

#include "ScriptedAlertPresenter.h"
#include "TestSupport.h"
#include "foundation/HalvornLib.h"
#include "foundation/HostInformation.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

// Installs a scripted presenter for the test; the pointer stays valid while
// it is the installed one.
ScriptedAlertPresenter* installScripted()
{
    auto presenter = std::make_unique<ScriptedAlertPresenter>();
    ScriptedAlertPresenter* raw = presenter.get();
    setAlertPresenter(std::move(presenter));
    return raw;
}

const QString kMarker = QStringLiteral(" \u2026\n(Remaining message omitted)");

} // namespace

TEST(Alerts, LogEntriesKeepPercentSignsLiterally)
{
    auto sink = std::make_shared<CapturingLogSink>();
    setLogSink(sink);
    asl_NSLog(3, "File %@", QString("100%.mkv"));
    asl_NSLog(3, "%s %i%%", "done", 50);
    asl_NSLog(3, "Error creating bookmark: %@", QString("%s%n%@"));
    EXPECT_EQ(sink->entries(),
              (QStringList{"File 100%.mkv", "done 50%", "Error creating bookmark: %s%n%@"}));
    EXPECT_EQ(sink->levels(), (QList<int>{3, 3, 3}));
    // Debug points emit nothing.
    asl_NSLog_debug("start %p", static_cast<void*>(sink.get()));
    EXPECT_EQ(sink->entries().size(), 3);
    // Logging through the system log with a percent sign must not crash.
    setLogSink(std::make_shared<SyslogSink>());
    asl_NSLog(3, "%@", QString("%s%s%s%n"));
}

TEST(Alerts, MessagesReachThePresenterVerbatim)
{
    ScriptedAlertPresenter* presenter = installScripted();
    presenter->answers = {0, -1};
    EXPECT_EQ(alert("Warning", "Movie 100%.mkv: %@ %s %n", "OK", "Cancel", "Other"), 0);
    EXPECT_EQ(alert_apptitled("Done %d", {}), -1);
    EXPECT_EQ(alert_apptitled("Again", "Yes"), 1); // script used up: the default button
    ASSERT_EQ(presenter->shown.size(), 3);
    const AlertRequest& first = presenter->shown.at(0);
    EXPECT_EQ(first.title, "Warning");
    EXPECT_EQ(first.message, "Movie 100%.mkv: %@ %s %n");
    EXPECT_EQ(first.defaultButton, "OK");
    EXPECT_EQ(first.alternateButton, "Cancel");
    EXPECT_EQ(first.otherButton, "Other");
    const AlertRequest& second = presenter->shown.at(1);
    EXPECT_EQ(second.title, "Vantreo");
    EXPECT_EQ(second.title, appInfo().appName());
    EXPECT_EQ(second.message, "Done %d");
    EXPECT_EQ(second.defaultButton, "OK"); // absent title: "OK"
    EXPECT_TRUE(second.alternateButton.isEmpty());
    EXPECT_TRUE(second.otherButton.isEmpty());
    EXPECT_EQ(presenter->activations, 3);
}

TEST(Alerts, InputReturnsTheTypedTextWithTheGivenButtons)
{
    ScriptedAlertPresenter* presenter = installScripted();
    presenter->typedText = "my name 100%";
    QString text = "previous";
    EXPECT_EQ(input("Name?", {"Save"}, text), 1);
    EXPECT_EQ(text, "my name 100%");
    ASSERT_EQ(presenter->shown.size(), 1);
    const AlertRequest& one = presenter->shown.at(0);
    EXPECT_TRUE(one.withTextField);
    EXPECT_EQ(one.title, "Name?");
    EXPECT_TRUE(one.message.isEmpty());
    EXPECT_EQ(one.defaultButton, "Save");
    EXPECT_TRUE(one.alternateButton.isEmpty());
    EXPECT_TRUE(one.otherButton.isEmpty());

    presenter->answers = {0};
    presenter->typedText.clear();
    EXPECT_EQ(input("Name?", {"Save", "Cancel", "Help"}, text), 0);
    EXPECT_TRUE(text.isEmpty());
    EXPECT_EQ(presenter->shown.at(1).alternateButton, "Cancel");
    EXPECT_EQ(presenter->shown.at(1).otherButton, "Help");
}

TEST(Alerts, FatalMessageShortensDetailsBeyond400Units)
{
    const QString prefix = "Oops\n\n You can contact our support with detailed information so "
                           "that we can fix this problem.\n\nInformation: ";
    // 398 letters and one character outside the BMP: 400 UTF-16 units.
    const QString exact = QString(398, u'x') + QString::fromUtf8("\xf0\x9f\x8e\xac");
    ASSERT_EQ(exact.size(), 400);
    EXPECT_EQ(fatalAlertMessage("Oops", exact), prefix + exact);

    const QString longer = QString(400, u'y') + "z";
    EXPECT_EQ(fatalAlertMessage("Oops", longer), prefix + QString(400, u'y') + kMarker);
    EXPECT_EQ(fatalAlertMessage("Oops", "100%"), prefix + "100%");
}

TEST(Alerts, FatalReportMailCarriesTheWholeDetails)
{
    // No crash reports: the body ends with the system version and a blank.
    QDir(HalvornLib::crashReportsFolder()).removeRecursively();
    const QString details = QString(1000, u'd') + " 100% done";
    const QString mail = fatalReportMail(details);
    EXPECT_TRUE(mail.startsWith("mailto:")) << qPrintable(mail);
    EXPECT_TRUE(mail.contains("?subject=Vantreo v" + appInfo().appVersionString() +
                              " Problem Report&body=Hello\nA fatal error in Vantreo occured."))
        << qPrintable(mail);
    EXPECT_TRUE(mail.contains("P.S. Details: " + details + "\n\n\nP.P.S: Hardware: "));
    EXPECT_TRUE(
        mail.endsWith(" Software: " + XTHostInformation::operatingSystemVersionString() + " "))
        << qPrintable(mail.right(120));

    ASSERT_TRUE(QDir().mkpath(HalvornLib::crashReportsFolder()));
    QFile report(HalvornLib::crashReportsFolder() + "/_usr_bin_vantreo.1000.crash");
    ASSERT_TRUE(report.open(QIODevice::WriteOnly));
    report.close();
    EXPECT_TRUE(fatalReportMail(details).endsWith(
        XTHostInformation::operatingSystemVersionString() + "  Problems: 1"));
}
