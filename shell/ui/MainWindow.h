#pragma once

#include "shell/QueueProgress.h"

#include <QMainWindow>
#include <QPointer>
#include <QUrl>
#include <optional>

class AddPanel;
class AppDelegate;
class HelpWindow;
class JobActions;
class JobListModel;
class JobListView;
class PreferencesWindow;
class QAction;
class QLabel;
class QMimeData;
class QSystemTrayIcon;
class QToolButton;

// The main window: toolbar and menus, the add panel strip, the queue list
// and the drop target for movies. It shows the delegate's data and passes
// the user's actions to it.
class MainWindow final : public QMainWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MainWindow)

public:
    explicit MainWindow(AppDelegate& delegate, QWidget* parent = nullptr);
    ~MainWindow() override;

    AddPanel* addPanel() const { return m_addPanel; }
    JobListView* jobListView() const { return m_list; }
    JobListModel* jobListModel() const { return m_model; }
    QAction* addAction() const { return m_addAction; }
    QAction* pauseAction() const { return m_pauseAction; }
    QAction* cleanAction() const { return m_cleanAction; }
    QAction* quitAction() const { return m_quitAction; }
    QAction* preferencesAction() const { return m_preferencesAction; }
    QAction* readMeAction() const { return m_readMeAction; }
    JobActions* jobActions() const { return m_jobActions; }
    HelpWindow* helpWindow() const;
    QSystemTrayIcon* trayIcon() const { return m_tray; }
    // The status bar's notice (movies of the last session waiting); the bar
    // shows only while there is one.
    QLabel* statusNoticeLabel() const { return m_statusNotice; }
    const QueueProgress& queueProgress() const { return m_progress; }
    QToolButton* pauseToolButton() const;
    PreferencesWindow* preferencesWindow();

    // The local files of a drag (file URLs only).
    static QStringList localPaths(const QMimeData* mime);
    // What a drop does: a drag holding a movie goes to the intake; false
    // when the drag is refused.
    bool takeDrop(const QMimeData* mime);

    void showAndRaise();
    void showPreferences();
    void showHelp(const QString& title, const std::optional<QUrl>& url);
    void showAbout();
    // Quits through the delegate's confirmation; false when the user kept
    // the application running.
    bool requestQuit();
    // Quits at once, without asking, whatever dialog is open (a signal, a
    // lost display): tools end, unfinished files go, the queue is saved.
    void quitNow();
    bool isQuitting() const { return m_quitting; }
    // Keeps the window's place and size for the next start.
    void saveGeometrySetting() const;

    // Said once, the first time the window is closed into the tray.
    static QString trayNoticeText();
    // True the first time only (the answer is kept in the settings).
    static bool takeTrayNotice();

signals:
    // The queue's progress changed (for the launcher entry).
    void queueProgressChanged(const QueueProgress& progress);

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void buildActions();
    void buildMenus();
    void buildToolBar();
    void buildTray();
    void refreshPauseContinue();
    void refreshCleanUp();
    void addFiles();
    void refreshProgress();
    void refreshTitle();
    static QString translatedTitle(const QString& title);
    void refreshStatusNotice();

    AppDelegate& m_delegate;
    AddPanel* m_addPanel = nullptr;
    JobListView* m_list = nullptr;
    JobListModel* m_model = nullptr;
    QAction* m_addAction = nullptr;
    QAction* m_pauseAction = nullptr;
    QAction* m_cleanAction = nullptr;
    QAction* m_preferencesAction = nullptr;
    QAction* m_quitAction = nullptr;
    QAction* m_showMainAction = nullptr;
    QAction* m_readMeAction = nullptr;
    JobActions* m_jobActions = nullptr;
    QueueProgress m_progress;
    QPointer<PreferencesWindow> m_preferences;
    QPointer<HelpWindow> m_help;
    QSystemTrayIcon* m_tray = nullptr;
    QLabel* m_statusNotice = nullptr;
    bool m_quitting = false;
};
