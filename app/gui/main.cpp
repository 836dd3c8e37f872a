#include "engine/RawNameLinks.h"
#include "foundation/PlatformServices.h"
#include "foundation/SettingsStore.h"
#include "gui/DesktopLaunch.h"
#include "platform/InstallPlatformServices.h"
#include "platform/LauncherEntry.h"
#include "platform/SignalWatcher.h"
#include "shell/AppDelegate.h"
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
    // SIGTERM, SIGINT and SIGHUP quit like the Quit command, without asking:
    // every job is removed, running tools end, unfinished outputs go.
    SignalWatcher signalWatcher;
    QObject::connect(&signalWatcher, &SignalWatcher::interrupted, &app, [&delegate, &app] {
        delegate.applicationWillTerminate();
        // An open alert runs its own loop; close it so quitting goes through.
        while (QWidget* modal = QApplication::activeModalWidget()) {
            modal->close();
            modal->hide();
        }
        app.quit();
    });

    MainWindow window(delegate);
    presenter->setMainWindow(&window);
    window.show();
    // The first-run welcome is a sheet on the window: show it once the
    // window is on screen and painted.
    waitUntilShown(window);
    delegate.applicationDidFinishLaunching();

    LauncherEntry launcher;
    QObject::connect(&window, &MainWindow::queueProgressChanged, &launcher,
                     [&launcher](const QueueProgress& progress) {
                         launcher.update(progress.percent / 100.0, progress.converting > 0,
                                         progress.left);
                     });

    QObject::connect(&delegate, &AppDelegate::terminateRequested, &window,
                     [&window] { window.requestQuit(); });
    QObject::connect(&instance, &SingleInstance::filesReceived, &window,
                     [&window, &delegate](const QStringList& paths) {
                         window.showAndRaise();
                         if (!paths.isEmpty())
                             delegate.openFiles(paths);
                     });

    if (!files.isEmpty())
        delegate.openFiles(files);

    const int status = app.exec();
    presenter->setMainWindow(nullptr);
    return status;
}
