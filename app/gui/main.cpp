#include "engine/RawNameLinks.h"
#include "foundation/PlatformServices.h"
#include "foundation/SettingsStore.h"
#include "foundation/ToolRun.h"
#include "foundation/Translations.h"
#include "gui/DesktopLaunch.h"
#include "platform/InstallPlatformServices.h"
#include "platform/LauncherEntry.h"
#include "platform/SignalWatcher.h"
#include "shell/AppDelegate.h"
#include "shell/JobQueue.h"
#include "shell/RegisteredDefaults.h"
#include "shell/ui/MainWindow.h"
#include "shell/ui/MessageBoxAlertPresenter.h"
#include "shell/ui/SingleInstance.h"

#include <QApplication>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    setUpDesktopApplication();
    installTranslations();

    const QList<QByteArray> fileBytes = fileArguments(argc, argv);

    // One Vantreo per login session and display: a second launch hands its
    // files over (as bytes: the running one makes the links it needs) and ends.
    SingleInstance instance;
    if (instance.sendToRunning(fileBytes))
        return 0;
    instance.listen();
    RawNameLinks::removeStale();
    const QStringList files = RawNameLinks::usablePaths(fileBytes);

    registerDefaultSettings();
    installPlatformServices();
    auto presenterOwner = std::make_unique<MessageBoxAlertPresenter>();
    MessageBoxAlertPresenter* presenter = presenterOwner.get();
    setAlertPresenter(std::move(presenterOwner));

    AppDelegate delegate;
    // Signals that come before the window is up wait in the watcher's pipe.
    SignalWatcher signalWatcher;

    MainWindow window(delegate);
    presenter->setMainWindow(&window);
    // SIGTERM, SIGINT and SIGHUP quit like the Quit command, without asking,
    // whatever dialog is open: every job is removed, running tools end,
    // unfinished outputs go, the queue is saved.
    QObject::connect(&signalWatcher, &SignalWatcher::interrupted, &window, [&window, presenter] {
        presenter->refuseNewAlerts();
        window.quitNow();
    });
    window.show();
    // The first-run welcome is a sheet on the window: show it once the
    // window is on screen and painted.
    waitUntilShown(window);
    if (!window.isQuitting())
        delegate.applicationDidFinishLaunching();

    LauncherEntry launcher;
    QObject::connect(&window, &MainWindow::queueProgressChanged, &launcher,
                     [&launcher](const QueueProgress& progress) {
                         launcher.update(progress.percent / 100.0, progress.converting > 0,
                                         progress.left);
                     });

    QObject::connect(&delegate.queue(), &JobQueue::terminateRequested, &window,
                     [&window] { window.requestQuit(); });
    QObject::connect(&instance, &SingleInstance::filesReceived, &window,
                     [&window, &delegate](const QStringList& paths) {
                         window.showAndRaise();
                         if (!paths.isEmpty())
                             delegate.openFiles(paths);
                     });

    if (!files.isEmpty() && !window.isQuitting())
        delegate.openFiles(files);

    // A signal during the launch (the welcome is shown in a loop of its own)
    // has quit already: there is no loop left to run.
    // A display that goes away ends the program from inside the loop, with
    // exit(1): the jobs are ended as a quit would end them, without touching
    // the windows, and every tool is killed.
    armLostDisplayCleanUp([&delegate, presenter] {
        presenter->refuseNewAlerts();
        delegate.applicationWillTerminate();
        ToolRun::killAllNow();
    });
    const int status = window.isQuitting() ? 0 : app.exec();
    disarmLostDisplayCleanUp();
    presenter->setMainWindow(nullptr);
    return status;
}
