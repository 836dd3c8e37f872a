#include "ShellTestKit.h"
#include "common/TestSupport.h"
#include "foundation/HalvornLib.h"
#include "foundation/SettingsAccess.h"
#include "foundation/SettingsKeys.h"
#include "shell/AddPanelState.h"
#include "shell/AppDelegate.h"
#include "shell/Destinations.h"
#include "shell/Intake.h"
#include "shell/JobQueue.h"
#include "shell/ServiceLinks.h"
#include "shell/SubtitlePairing.h"

#include <QDir>
#include <QFile>
#include <QUrl>
#include <gtest/gtest.h>

// Launch, links, notifications and the texts of the queue's controls.

class Launch : public ShellTest
{
};

TEST_F(Launch, WelcomeIsShownOnTheFirstLaunchOnly)
{
    delegate->applicationDidFinishLaunching();
    ASSERT_EQ(alerts->shown.size(), 1);
    EXPECT_EQ(alerts->shown[0].title, "Vantreo");
    EXPECT_TRUE(alerts->shown[0].message.startsWith("Welcome to Vantreo. To convert MKV files"));
    EXPECT_TRUE(alerts->shown[0].message.endsWith("(e.g. iOS). Try it out."));
    EXPECT_EQ(alerts->shown[0].defaultButton, "OK");
    EXPECT_EQ(defaultInt(kWelcomeShownKey), 1);

    AppDelegate second;
    second.applicationDidFinishLaunching();
    EXPECT_EQ(alerts->shown.size(), 1);
}

TEST_F(Launch, LaunchSetsTheTextsAndHidesThePanel)
{
    delegate->applicationDidFinishLaunching();
    EXPECT_EQ(delegate->version(), "Version: " + appInfo().appVersionString());
    EXPECT_EQ(delegate->build(), QStringLiteral("Build: %1").arg(appInfo().appVersion()));
    EXPECT_FALSE(delegate->addPanelState().addPanelShown());
    EXPECT_EQ(delegate->addButtonTitle(), "Start Conversion");
    EXPECT_EQ(delegate->queue().windowTitle(), "Vantreo ");
    EXPECT_EQ(delegate->destinations().destinationPopUpItems().size(), 3);
    EXPECT_EQ(delegate->destinations().preferencesDestinationPopUpItems().size(), 3);
    EXPECT_EQ(AppDelegate::movieFileTypes(), kMovieFileTypes);
    for (const char* type : {"mkv", "webm", "mp4", "mov", "avi", "ts", "m2ts", "vob", "flv", "ogm"})
        EXPECT_TRUE(kMovieFileTypes.contains(type)) << type;
    // The movies, then every text subtitle format ffmpeg reads.
    EXPECT_EQ(Intake::openPanelFileTypes().mid(0, kMovieFileTypes.size()),
              AppDelegate::movieFileTypes());
    for (const char* type : {"srt", "ass", "ssa", "smi", "sub", "vtt"})
        EXPECT_TRUE(Intake::openPanelFileTypes().contains(type)) << type;
    // The help documents are shipped in the resources folder.
    for (const auto& url : {delegate->aboutURL(), delegate->historyURL(), delegate->faqURL(),
                            delegate->readmeURL()}) {
        ASSERT_TRUE(url);
        EXPECT_TRUE(QFile::exists(url->toLocalFile())) << url->toString().toStdString();
    }
    EXPECT_TRUE(delegate->readmeURL()->toLocalFile().endsWith("docs/Read Me.md"));
}

TEST_F(Launch, ConversionStyleFollowsTheSetting)
{
    int shown = -1;
    QObject::connect(delegate.get(), &AppDelegate::conversionStyleChanged,
                     [&](int style) { shown = style; });
    setDefaultInt(kConversionPresetKey, 2);
    delegate->selectConversionStyle();
    EXPECT_EQ(shown, 2);
    setDefaultInt(kConversionPresetKey, 7);
    delegate->selectConversionStyle();
    EXPECT_EQ(shown, 0);
}

TEST_F(Launch, PauseAndResumeTexts)
{
    QObject toolbar;
    delegate->pauseContinueClicked(&toolbar);
    EXPECT_EQ(delegate->queue().windowTitle(), "Vantreo (Paused)");
    EXPECT_EQ(delegate->pauseContinueTitle(), "Resume Queue");
    EXPECT_EQ(delegate->pauseContinueImage(), "toolbar_start");
    EXPECT_EQ(delegate->addButtonTitle(), "Add to Queue");
    delegate->pauseContinueClicked(&toolbar);
    EXPECT_EQ(delegate->queue().windowTitle(), "Vantreo ");
    EXPECT_EQ(delegate->pauseContinueTitle(), "Pause Queue");
    EXPECT_EQ(delegate->pauseContinueImage(), "toolbar_pause");
    EXPECT_EQ(delegate->addButtonTitle(), "Start Conversion");
}

TEST_F(Launch, ServiceLinks)
{
    const QString support = shellServiceLinkText(1);
    EXPECT_TRUE(support.startsWith("mailto:support@vantreo.org?subject=Vantreo " +
                                   appInfo().appVersionString() +
                                   " Support Request&body=Insert "
                                   "Support Request Here\n\n\n\nP.S: Hardware: "))
        << support.toStdString();
    EXPECT_TRUE(support.endsWith(QStringLiteral(" Vantreo: %1").arg(appInfo().appVersion())))
        << support.toStdString();
    EXPECT_EQ(shellServiceLinkText(2),
              "mailto:support@vantreo.org?subject=Vantreo Beta Versions&body=Hello\nI would "
              "like to test upcoming beta versions of Vantreo.\nBye\n");
    EXPECT_EQ(shellServiceLinkText(3), "https://vantreo.org/vantreo/");
    const QString store = shellServiceLinkText(4);
    EXPECT_TRUE(store.startsWith("https://"));
    EXPECT_EQ(shellServiceLinkText(5), "macappstore" + store.mid(5));
    EXPECT_FALSE(shellServiceLinkText(6).isEmpty());
    EXPECT_TRUE(shellServiceLinkText(0).isEmpty());
    EXPECT_TRUE(shellServiceLinkText(7).isEmpty());

    // A crash report of the program adds the problem count.
    const QString crashDir = HalvornLib::crashReportsFolder();
    ASSERT_TRUE(QDir().mkpath(crashDir));
    QFile report(crashDir + "/_usr_bin_vantreo.1000.crash");
    ASSERT_TRUE(report.open(QIODevice::WriteOnly));
    report.close();
    EXPECT_TRUE(shellServiceLinkText(1).endsWith(
        QStringLiteral(" Vantreo: %1 Problems: 1").arg(appInfo().appVersion())));
}

TEST_F(Launch, ClickedNotificationRevealsItsFile)
{
    delegate->applicationDidFinishLaunching();
    ASSERT_TRUE(userNotifier().onActivated);
    userNotifier().onActivated("/movies/Film.mp4");
    userNotifier().onActivated(QString()); // a failure notice has no path
    EXPECT_EQ(workspace->revealed, QStringList({"/movies/Film.mp4"}));
    // The handler outlives no delegate.
    delegate.reset();
    userNotifier().onActivated("/movies/Other.mp4");
    EXPECT_EQ(workspace->revealed.size(), 1);
}

TEST_F(Launch, RateableAfterTenUses)
{
    const QString key = appInfo().appVersionString() + "_usages";
    setDefaultInt(key, 10);
    EXPECT_FALSE(delegate->isRateable());
    setDefaultInt(key, 11);
    EXPECT_TRUE(delegate->isRateable());
}

TEST_F(Launch, ReopenAndWindowClose)
{
    int requests = 0;
    QObject::connect(delegate.get(), &AppDelegate::showMainWindowRequested, [&] { ++requests; });
    delegate->openMainWindow();
    EXPECT_EQ(requests, 1);
    setDefaultInt(kAutoCleanKey, 1);
    delegate->windowWillClose();
    // Flushed: the settings file holds the value.
    QFile file(QString::fromLocal8Bit(qgetenv("VANTREO_SETTINGS_FILE")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("AutoClean=1"));
}
