// Launch, the main window's comings and goings, links, notifications and
// the rateable flag of AppDelegate.

#include "foundation/Alerts.h"
#include "foundation/HalvornLib.h"
#include "foundation/MakeString.h"
#include "foundation/PathHelpers.h"
#include "foundation/PlatformServices.h"
#include "foundation/SettingsAccess.h"
#include "foundation/SettingsKeys.h"
#include "foundation/StringHelpers.h"
#include "inspection/Languages.h"
#include "shell/AddPanelState.h"
#include "shell/AppDelegate.h"
#include "shell/Destinations.h"
#include "shell/Intake.h"
#include "shell/QueueRestore.h"
#include "shell/SavedQueue.h"
#include "shell/ServiceLinks.h"

#include <QPointer>

namespace {

// The launch's own HalvornLib; a later launch replaces it.
std::unique_ptr<HalvornLib>& launchInfo()
{
    static std::unique_ptr<HalvornLib> instance;
    return instance;
}

QString welcomeMessage()
{
    return QStringLiteral(
        "Welcome to Vantreo. To convert MKV files just drag them into the main window or onto "
        "the program's icon. Note that conversion will be much faster, more reliable and higher "
        "quality if you select 'High Speed & Quality' in the 'Audio Conversion Settings' in the "
        "Preferences, though the resulting files may not play with sound on some devices (e.g. "
        "iOS). Try it out.");
}

} // namespace

// Ends with restoreSavedQueue().
void AppDelegate::applicationDidFinishLaunching()
{
    // The new instance becomes `cc` before the old one goes, so `cc` never
    // dangles.
    launchInfo() = std::make_unique<HalvornLib>();

    if (defaultInt(kWelcomeShownKey) == 0) {
        alert(appInfo().appName(), welcomeMessage(), QStringLiteral("OK"));
        setDefaultInt(kWelcomeShownKey, 1);
        synchronize();
    }
    asl_NSLog_debug("Vantreo started");

    m_panel->setPreferredLanguages(preferredLanguages3Letter());

    QPointer<AppDelegate> self(this);
    userNotifier().onActivated = [self](const QString& path) {
        if (self)
            self->notificationActivated(path);
    };

    selectConversionStyle();
    m_panel->setAddPanelShown(false);
    m_intake->clear();
    m_probedAhead.clear();
    setAddButtonTitle(QStringLiteral("Start Conversion"));

    m_build = makeString("%@ %i", localized(QStringLiteral("Build:")), appInfo().appVersion());
    m_version =
        makeString("%@ %@", localized(QStringLiteral("Version:")), appInfo().appVersionString());
    m_aboutURL = resourceURL(QStringLiteral("docs/Credits.md"));
    m_historyURL = resourceURL(QStringLiteral("docs/History.md"));
    m_faqURL = resourceURL(QStringLiteral("docs/FAQ.md"));
    m_readmeURL = resourceURL(QStringLiteral("docs/Read Me.md"));

    m_destinations->upkeepAtLaunch();
    rebuildDestinationPopUp();
    restoreSavedQueue();
}

// Brings back the queue of the last run, paused when any of its movies waits,
// and keeps the queue saved from now on (the desktop program; the command
// line keeps its own run). Once per delegate.
void AppDelegate::restoreSavedQueue()
{
    m_restore->restore(savedQueuePath());
}

// What the status bar says: how many movies of the last session wait.
QString AppDelegate::statusNotice() const
{
    return m_restore->notice();
}

// The main window is asked to come back (reopen, the window menu).
void AppDelegate::openMainWindow()
{
    emit showMainWindowRequested();
}

// The main window closes: the settings are flushed.
void AppDelegate::windowWillClose()
{
    synchronize();
}

// The mail and web links of the menu commands, by tag (1..6).
void AppDelegate::openURL(int tag)
{
    openShellServiceLink(tag);
}

// A delivered notification was clicked: show its file.
void AppDelegate::notificationActivated(const QString& path)
{
    if (!path.isEmpty())
        workspaceService().revealFile(path);
}

bool AppDelegate::isRateable() const
{
    const QString version =
        appInfo().infoValue(QStringLiteral("CFBundleShortVersionString")).value_or(QString());
    return defaultInt(makeString("%@_usages", version)) > 10;
}
