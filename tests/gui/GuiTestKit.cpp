#include "GuiTestKit.h"

#include "common/MovieFactory.h"
#include "foundation/SettingsAccess.h"
#include "foundation/SettingsKeys.h"
#include "shell/AppDelegate.h"
#include "shell/ui/MainWindow.h"

void GuiTestBase::SetUp()
{
    ConversionTestBase::SetUp();
    setDefaultInt(kWelcomeShownKey, 1);
    window = std::make_unique<MainWindow>(*delegate);
    delegate->applicationDidFinishLaunching();
    window->show();
}

void GuiTestBase::TearDown()
{
    window.reset();
    ConversionTestBase::TearDown();
}

QString GuiTestBase::makeMkv(const QString& name, int seconds)
{
    MovieRecipe movie;
    movie.path = dir() + "/" + name;
    movie.seconds = seconds;
    movie.audio = {AudioRecipe{}};
    return makeMovie(movie) ? movie.path : QString();
}
