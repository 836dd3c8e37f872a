#include "ScreenshotScene.h"
#include "engine/RawNameLinks.h"
#include "foundation/PlatformServices.h"
#include "foundation/Translations.h"
#include "gui/DesktopLaunch.h"
#include "platform/InstallPlatformServices.h"
#include "shell/AppDelegate.h"
#include "shell/RegisteredDefaults.h"
#include "shell/ui/MainWindow.h"
#include "shell/ui/MessageBoxAlertPresenter.h"

#include <QApplication>
#include <cstdio>

// The desktop program set up for one scene of the documentation's
// screenshots (tools/screenshots.sh): the scene is named in the environment
// (see ScreenshotScene), the movies come from the command line, and the
// program quits once the picture is saved. It leaves any running Vantreo
// alone.
int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    setUpDesktopApplication();
    const QString language = installTranslations();
    const QString scene = ScreenshotScene::requestedScene();
    if (scene.isEmpty()) {
        std::fputs("vantreo-screenshots: set VANTREO_SCREENSHOT_SCENE to the scene to take\n",
                   stderr);
        return 2;
    }

    RawNameLinks::removeStale();
    const QStringList files = RawNameLinks::usablePaths(fileArguments(argc, argv));
    registerDefaultSettings();
    ScreenshotScene::prepareSettings(scene);
    installPlatformServices();
    auto presenterOwner = std::make_unique<MessageBoxAlertPresenter>();
    MessageBoxAlertPresenter* presenter = presenterOwner.get();
    setAlertPresenter(std::move(presenterOwner));

    AppDelegate delegate;
    MainWindow window(delegate);
    presenter->setMainWindow(&window);
    window.show();
    waitUntilShown(window);
    delegate.applicationDidFinishLaunching();

    ScreenshotScene screenshots(delegate, window, language);
    screenshots.run(scene, files);
    const int status = app.exec();
    presenter->setMainWindow(nullptr);
    return status;
}
