#include "ScreenshotScene.h"

#include "engine/ConversionJob.h"
#include "engine/JobState.h"
#include "foundation/SettingsAccess.h"
#include "foundation/SettingsKeys.h"
#include "shell/AppDelegate.h"
#include "shell/ui/JobListView.h"
#include "shell/ui/MainWindow.h"
#include "shell/ui/PreferencesWindow.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMenuBar>
#include <QPixmap>
#include <QScreen>
#include <QTimer>

ScreenshotScene::ScreenshotScene(AppDelegate& delegate, MainWindow& window, const QString& language,
                                 QObject* parent)
    : QObject(parent), m_delegate(delegate), m_window(window),
      m_file(qEnvironmentVariable("VANTREO_SCREENSHOT_FILE", QStringLiteral("screenshot.png")))
{
    if (!language.isEmpty()) {
        const QFileInfo file(m_file);
        m_file =
            file.path() + u'/' + file.completeBaseName() + u'-' + language + u'.' + file.suffix();
    }
    bool ok = false;
    const int delay = qEnvironmentVariableIntValue("VANTREO_SCREENSHOT_DELAY", &ok);
    if (ok)
        m_delay = delay;
}

QString ScreenshotScene::requestedScene()
{
    return qEnvironmentVariable("VANTREO_SCREENSHOT_SCENE");
}

void ScreenshotScene::prepareSettings(const QString& scene)
{
    setDefaultInt(kWelcomeShownKey, 1);
    if (scene.startsWith(QLatin1String("prefs")))
        setDefaultInt(kConversionPresetKey, scene.mid(5).toInt());
}

void ScreenshotScene::run(const QString& scene, const QStringList& movies)
{
    if (scene.startsWith(QLatin1String("prefs"))) {
        m_window.showPreferences();
        if (scene != QLatin1String("prefsgeneral"))
            m_window.preferencesWindow()->showAudioPage();
        grabAfterDelay(m_window.preferencesWindow());
        return;
    }
    if (scene.startsWith(QLatin1String("menu-"))) {
        QTimer::singleShot(m_delay, this, [this, scene] {
            openMenu(scene == QLatin1String("menu-help") ? -1 : 0);
            grabScreenAfterDelay();
        });
        return;
    }
    const bool failing = scene == QLatin1String("failed") || scene == QLatin1String("contextmenu");
    if (scene == QLatin1String("queue") || failing) {
        // Queue every movie into a saved destination without asking.
        const QString folder = QDir::tempPath() + QStringLiteral("/vantreo-screenshots/Movies");
        QDir().mkpath(folder);
        m_delegate.chooseNewDestination(0, folder);
        setDefaultInt(kAutoAddKey, 1);
    }
    if (!movies.isEmpty())
        m_delegate.openFiles(movies);
    if (scene == QLatin1String("contextmenu")) {
        // Once every movie has failed, right-click the first row and grab
        // the screen where the window and its menu are.
        const qsizetype expected = movies.size();
        auto* poll = new QTimer(this);
        connect(poll, &QTimer::timeout, this, [this, poll, expected] {
            if (m_delegate.taskArray().size() < expected)
                return;
            for (ConversionJob* job : m_delegate.taskArray())
                if (job->state() != JobFailed)
                    return;
            poll->stop();
            JobListView* list = m_window.jobListView();
            const QRect row = list->visualRect(list->model()->index(0, 0));
            emit list->customContextMenuRequested(row.center() + QPoint(-80, 0));
            grabScreenAfterDelay();
        });
        poll->start(200);
        return;
    }
    if (scene == QLatin1String("failed")) {
        // Wait for the failure, then show its explanation with the details
        // and grab that too.
        auto* poll = new QTimer(this);
        connect(poll, &QTimer::timeout, this, [this, poll] {
            for (ConversionJob* job : m_delegate.taskArray()) {
                if (job->state() != JobFailed)
                    continue;
                poll->stop();
                QTimer::singleShot(m_delay, this, [this, job] {
                    m_window.grab().save(m_file);
                    QTimer::singleShot(800, this, [this] {
                        if (QWidget* box = QApplication::activeModalWidget()) {
                            const QFileInfo file(m_file);
                            box->grab().save(file.path() + "/" + file.completeBaseName() +
                                             "-details.png");
                            box->close();
                        }
                        finish();
                    });
                    job->reveal(false);
                });
                return;
            }
        });
        poll->start(200);
        return;
    }
    grabAfterDelay(&m_window);
}

void ScreenshotScene::grabAfterDelay(QWidget* widget)
{
    QTimer::singleShot(m_delay, this, [this, widget] {
        widget->grab().save(m_file);
        finish();
    });
}

void ScreenshotScene::grabScreenAfterDelay()
{
    QTimer::singleShot(m_delay, this, [this] {
        const QRect frame = m_window.frameGeometry();
        QGuiApplication::primaryScreen()
            ->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height())
            .save(m_file);
        if (QWidget* popup = QApplication::activePopupWidget())
            popup->close();
        finish();
    });
}

// Opens a menu of the menu bar: 0 the first, -1 the last.
void ScreenshotScene::openMenu(int index)
{
    QMenuBar* bar = m_window.menuBar();
    const QList<QAction*> menus = bar->actions();
    if (menus.isEmpty())
        return;
    bar->setActiveAction(index < 0 ? menus.last() : menus.value(index));
}

void ScreenshotScene::finish()
{
    m_delegate.applicationWillTerminate();
    QCoreApplication::quit();
}
