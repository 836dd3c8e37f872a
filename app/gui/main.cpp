#include "ScreenshotScene.h"
#include "engine/RawNameLinks.h"
#include "foundation/PathBytes.h"
#include "foundation/PlatformServices.h"
#include "foundation/SettingsStore.h"
#include "platform/InstallPlatformServices.h"
#include "platform/LauncherEntry.h"
#include "platform/SignalWatcher.h"
#include "shell/AppDelegate.h"
#include "shell/RegisteredDefaults.h"
#include "shell/ui/MainWindow.h"
#include "shell/ui/MessageBoxAlertPresenter.h"
#include "shell/ui/SingleInstance.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QStyleFactory>
#include <QUrl>
#include <QWidget>
#include <QWindow>

namespace {

// The files of the command line by their bytes, made absolute; file URLs
// give their paths. Qt's decoded arguments would turn the bytes of a name
// that is not UTF-8 (a Latin-1 name) into U+FFFD and lose the file.
QList<QByteArray> fileArguments(int argc, char** argv)
{
    QList<QByteArray> paths;
    const QByteArray folder = currentFolderBytes();
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        if (argument.startsWith('-'))
            continue;
        const QUrl url = QUrl::fromEncoded(argument);
        const QByteArray path = url.isLocalFile() ? localPathBytes(url) : argument;
        paths.append(absolutePathBytes(path, folder));
    }
    return paths;
}

// Lets the window be mapped, exposed and painted (a window manager may take
// a moment), at most two seconds.
void waitUntilShown(QWidget& window)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 2000 && !(window.windowHandle() && window.windowHandle()->isExposed()))
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    window.repaint();
    QCoreApplication::processEvents();
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vantreo"));
    QApplication::setOrganizationName(QStringLiteral("Vantreo"));
    QApplication::setDesktopFileName(QStringLiteral("org.vantreo.Vantreo"));
    // The window is closed into the tray or closing it quits through the
    // delegate's confirmation; Qt must not quit on its own.
    QApplication::setQuitOnLastWindowClosed(false);
    if (!qEnvironmentVariableIsSet("QT_STYLE_OVERRIDE") &&
        QStyleFactory::keys().contains(QStringLiteral("Fusion")))
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));

    const QList<QByteArray> fileBytes = fileArguments(argc, argv);
    const QString scene = ScreenshotScene::requestedScene();

    // One Vantreo per login session and display: a second launch hands its
    // files over (as bytes: the running one makes the links it needs) and ends.
    SingleInstance instance;
    if (scene.isEmpty()) {
        if (instance.sendToRunning(fileBytes))
            return 0;
        instance.listen();
    }
    RawNameLinks::removeStale();
    const QStringList files = RawNameLinks::usablePaths(fileBytes);

    registerDefaultSettings();
    if (!scene.isEmpty())
        ScreenshotScene::prepareSettings(scene);
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

    ScreenshotScene screenshots(delegate, window);
    if (!scene.isEmpty())
        screenshots.run(scene, files);
    else if (!files.isEmpty())
        delegate.openFiles(files);

    const int status = app.exec();
    presenter->setMainWindow(nullptr);
    return status;
}
