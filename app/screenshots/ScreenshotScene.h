#pragma once

#include <QObject>
#include <QStringList>

class AppDelegate;
class MainWindow;

// Sets up a scene for the documentation's screenshots and saves a picture of
// it: VANTREO_SCREENSHOT_SCENE names the scene (empty, addpanel, queue,
// failed, contextmenu, menu-file, menu-help, prefs0, prefs1, prefs2, prefsgeneral),
// VANTREO_SCREENSHOT_FILE the PNG to write (the failed scene also writes
// NAME-details.png; a program speaking another language than English writes
// NAME-LANGUAGE.png, menu-file-de.png),
// VANTREO_SCREENSHOT_DELAY the wait in milliseconds; the movies come from
// the command line. The application quits after the picture is saved.
class ScreenshotScene final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ScreenshotScene)

public:
    // `language` is the catalogue loaded ("de"), empty for English.
    ScreenshotScene(AppDelegate& delegate, MainWindow& window, const QString& language,
                    QObject* parent = nullptr);

    // The scene named in the environment; empty when none is asked for.
    static QString requestedScene();
    // Settings a scene needs before launch (no welcome alert, style).
    static void prepareSettings(const QString& scene);
    void run(const QString& scene, const QStringList& movies);

private:
    void grabAfterDelay(QWidget* widget);
    // Grabs the screen where the window is, with the popup open over it.
    void grabScreenAfterDelay();
    void openMenu(int index);
    void finish();

    AppDelegate& m_delegate;
    MainWindow& m_window;
    QString m_file;
    int m_delay = 1500;
};
