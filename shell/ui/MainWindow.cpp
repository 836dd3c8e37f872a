#include "shell/ui/MainWindow.h"

#include "engine/ConversionJob.h"
#include "engine/RawNameLinks.h"
#include "foundation/HalvornLib.h"
#include "foundation/PathBytes.h"
#include "foundation/SettingsAccess.h"
#include "shell/AppDelegate.h"
#include "shell/Intake.h"
#include "shell/JobQueue.h"
#include "shell/ValueTransformers.h"
#include "shell/ui/AddPanel.h"
#include "shell/ui/AppIcons.h"
#include "shell/ui/DesktopSettingsKeys.h"
#include "shell/ui/FileDialogs.h"
#include "shell/ui/HelpWindow.h"
#include "shell/ui/JobActions.h"
#include "shell/ui/JobItemDelegate.h"
#include "shell/ui/JobListModel.h"
#include "shell/ui/JobListView.h"
#include "shell/ui/PreferencesWindow.h"
#include "shell/ui/WindowGeometry.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QRegularExpression>
#include <QStatusBar>
#include <QSystemTrayIcon>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

MainWindow::MainWindow(AppDelegate& delegate, QWidget* parent)
    : QMainWindow(parent), m_delegate(delegate)
{
    setWindowIcon(AppIcons::application());
    setAcceptDrops(true);
    setUnifiedTitleAndToolBarOnMac(true);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_addPanel = new AddPanel(m_delegate, central);
    m_model = new JobListModel(m_delegate.queue(), this);
    m_list = new JobListView(central);
    m_list->setModel(m_model);
    m_list->setItemDelegate(new JobItemDelegate(m_list));
    layout->addWidget(m_addPanel);
    layout->addWidget(m_list, 1);
    setCentralWidget(central);

    buildActions();
    buildMenus();
    buildToolBar();
    buildTray();

    m_jobActions = new JobActions(*m_list);
    connect(m_model, &QAbstractItemModel::dataChanged, this, &MainWindow::refreshProgress);
    connect(m_model, &QAbstractItemModel::rowsInserted, this, &MainWindow::refreshProgress);
    connect(m_model, &QAbstractItemModel::rowsRemoved, this, &MainWindow::refreshProgress);

    refreshTitle();
    connect(&m_delegate.queue(), &JobQueue::windowTitleChanged, this, &MainWindow::refreshTitle);
    connect(&m_delegate, &AppDelegate::pauseContinueChanged, this,
            &MainWindow::refreshPauseContinue);
    connect(&m_delegate.queue(), &JobQueue::taskArrayChanged, this, [this] {
        refreshCleanUp();
        m_list->viewport()->update();
    });
    connect(&m_delegate, &AppDelegate::showMainWindowRequested, this, &MainWindow::showAndRaise);
    m_statusNotice = new QLabel(this);
    statusBar()->addWidget(m_statusNotice, 1);
    connect(&m_delegate, &AppDelegate::statusNoticeChanged, this, &MainWindow::refreshStatusNotice);
    refreshPauseContinue();
    refreshCleanUp();
    refreshStatusNotice();
    resize(720, 480);
    setMinimumSize(560, 340);
    restoreWindowGeometry(*this, kMainWindowGeometryKey);
    // Quitting by a signal or from the tray does not close the window.
    connect(qApp, &QCoreApplication::aboutToQuit, this, &MainWindow::saveGeometrySetting);
}

MainWindow::~MainWindow() = default;

void MainWindow::buildActions()
{
    m_addAction = new QAction(AppIcons::named(QStringLiteral("toolbar_add")), tr("Add…"), this);
    m_addAction->setShortcut(QKeySequence::Open);
    m_addAction->setToolTip(tr("Add movies to convert"));
    connect(m_addAction, &QAction::triggered, this, &MainWindow::addFiles);

    m_pauseAction = new QAction(this);
    m_pauseAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    connect(m_pauseAction, &QAction::triggered, this,
            [this] { m_delegate.pauseContinueClicked(m_pauseAction); });

    m_cleanAction =
        new QAction(AppIcons::named(QStringLiteral("toolbar_clean")), tr("Clean Up"), this);
    m_cleanAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_K));
    m_cleanAction->setToolTip(tr("Remove finished movies from the list"));
    connect(m_cleanAction, &QAction::triggered, &m_delegate, &AppDelegate::cleanClicked);

    m_preferencesAction = new QAction(tr("Preferences…"), this);
    // Most Linux desktops name no key for Preferences: Ctrl+, as elsewhere.
    const QList<QKeySequence> preferencesKeys =
        QKeySequence::keyBindings(QKeySequence::Preferences);
    m_preferencesAction->setShortcuts(
        preferencesKeys.isEmpty() ? QList<QKeySequence>{QKeySequence(Qt::CTRL | Qt::Key_Comma)}
                                  : preferencesKeys);
    m_preferencesAction->setMenuRole(QAction::PreferencesRole);
    connect(m_preferencesAction, &QAction::triggered, this, &MainWindow::showPreferences);

    m_quitAction = new QAction(tr("Quit"), this);
    m_quitAction->setShortcut(QKeySequence::Quit);
    m_quitAction->setMenuRole(QAction::QuitRole);
    connect(m_quitAction, &QAction::triggered, this, [this] { requestQuit(); });

    m_showMainAction = new QAction(tr("Main Window"), this);
    m_showMainAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_1));
    connect(m_showMainAction, &QAction::triggered, &m_delegate, &AppDelegate::openMainWindow);
}

void MainWindow::buildMenus()
{
    QMenu* file = menuBar()->addMenu(tr("&File"));
    file->addAction(m_addAction);
    file->addSeparator();
    file->addAction(m_pauseAction);
    file->addAction(m_cleanAction);
    file->addSeparator();
    file->addAction(m_preferencesAction);
    file->addSeparator();
    file->addAction(m_quitAction);

    QMenu* window = menuBar()->addMenu(tr("&Window"));
    window->addAction(m_showMainAction);

    QMenu* help = menuBar()->addMenu(tr("&Help"));
    // The documents' locations are known once the launch is done: look them
    // up when the menu opens and when a command runs.
    using UrlGetter = std::optional<QUrl> (AppDelegate::*)() const;
    const auto addDocument = [this, help](const QString& title, UrlGetter getter) {
        QAction* action = help->addAction(
            title, this, [this, title, getter] { showHelp(title, (m_delegate.*getter)()); });
        connect(help, &QMenu::aboutToShow, action,
                [this, action, getter] { action->setEnabled((m_delegate.*getter)().has_value()); });
        return action;
    };
    m_readMeAction = addDocument(tr("Read Me"), &AppDelegate::readmeURL);
    m_readMeAction->setShortcut(QKeySequence(Qt::Key_F1));
    addDocument(tr("FAQ"), &AppDelegate::faqURL);
    addDocument(tr("History"), &AppDelegate::historyURL);
    addDocument(tr("Credits"), &AppDelegate::aboutURL);
    help->addSeparator();
    const auto addLink = [this, help](const QString& title, int tag) {
        help->addAction(title, this, [this, tag] { m_delegate.openURL(tag); });
    };
    addLink(tr("Support Request…"), 1);
    addLink(tr("Beta Versions…"), 2);
    addLink(tr("Product Page"), 3);
    addLink(tr("Download Page"), 4);
    help->addSeparator();
    QAction* about = help->addAction(tr("About Vantreo"), this, &MainWindow::showAbout);
    about->setMenuRole(QAction::AboutRole);
}

void MainWindow::buildToolBar()
{
    QToolBar* bar = addToolBar(tr("Toolbar"));
    bar->setObjectName(QStringLiteral("mainToolBar"));
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    bar->setIconSize(QSize(24, 24));
    bar->addAction(m_addAction);
    bar->addAction(m_pauseAction);
    bar->addAction(m_cleanAction);
    if (QToolButton* button = pauseToolButton())
        button->setMinimumWidth(QFontMetrics(font()).horizontalAdvance(tr("Resume Queue")) + 16);
}

QToolButton* MainWindow::pauseToolButton() const
{
    for (QToolBar* bar : findChildren<QToolBar*>())
        if (auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(m_pauseAction)))
            return button;
    return nullptr;
}

void MainWindow::buildTray()
{
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        return;
    m_tray = new QSystemTrayIcon(AppIcons::application(), this);
    auto* menu = new QMenu(this);
    menu->addAction(m_showMainAction);
    menu->addAction(m_pauseAction);
    menu->addSeparator();
    menu->addAction(m_quitAction);
    m_tray->setContextMenu(menu);
    m_tray->setToolTip(windowTitle());
    connect(m_tray, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
                    showAndRaise();
            });
    m_tray->show();
}

void MainWindow::refreshPauseContinue()
{
    // The delegate names the command in English; its two names are
    // translated here.
    [[maybe_unused]] static const char* const kTitles[] = {QT_TR_NOOP("Resume Queue"),
                                                           QT_TR_NOOP("Pause Queue")};
    m_pauseAction->setText(tr(m_delegate.pauseContinueTitle().toUtf8().constData()));
    m_pauseAction->setIcon(AppIcons::named(m_delegate.pauseContinueImage()));
    m_pauseAction->setToolTip(m_delegate.queue().paused() ? tr("Resume the queue")
                                                          : tr("Pause the queue"));
}

void MainWindow::refreshCleanUp()
{
    QVariantList jobs;
    for (ConversionJob* job : m_delegate.taskArray())
        jobs.append(QVariant::fromValue(static_cast<QObject*>(job)));
    m_cleanAction->setEnabled(NonEmptyCollectionValueTransformer().transformedValue(jobs).toBool());
}

HelpWindow* MainWindow::helpWindow() const
{
    return m_help;
}

void MainWindow::refreshProgress()
{
    const QueueProgress now = ::queueProgress(m_delegate.taskArray());
    if (now == m_progress)
        return;
    m_progress = now;
    refreshTitle();
    emit queueProgressChanged(now);
}

// The queue names the window in English ("Vantreo (Paused) [3 Job(s), 1
// Queued]"); its two parts are shown translated.
QString MainWindow::translatedTitle(const QString& title)
{
    static const QRegularExpression counts(
        QStringLiteral("\\[(\\d+) Job\\(s\\), (\\d+) Queued\\]$"));
    QString shown = title;
    const QRegularExpressionMatch match = counts.match(shown);
    if (match.hasMatch())
        shown.replace(match.capturedStart(), match.capturedLength(),
                      tr("[%n Job(s), %1 Queued]", nullptr, match.captured(1).toInt())
                          .arg(match.captured(2)));
    return shown.replace(QStringLiteral(" (Paused)"), u' ' + tr("(Paused)"));
}

void MainWindow::refreshTitle()
{
    const QString title =
        titleWithProgress(translatedTitle(m_delegate.queue().windowTitle()), m_progress);
    setWindowTitle(title);
    if (m_tray)
        m_tray->setToolTip(title);
}

void MainWindow::refreshStatusNotice()
{
    const QString notice = m_delegate.statusNotice();
    m_statusNotice->setText(notice);
    statusBar()->setVisible(!notice.isEmpty());
}

void MainWindow::saveGeometrySetting() const
{
    saveWindowGeometry(*this, kMainWindowGeometryKey);
}

QString MainWindow::trayNoticeText()
{
    return tr("Vantreo keeps converting in the tray. Quit from its menu.");
}

bool MainWindow::takeTrayNotice()
{
    if (defaultInt(kTrayNoticeShownKey) != 0)
        return false;
    setDefaultInt(kTrayNoticeShownKey, 1);
    synchronize();
    return true;
}

void MainWindow::addFiles()
{
    FileDialogs::openFiles(this, Intake::openPanelFileTypes(),
                           [this, guard = QPointer<MainWindow>(this)](const QStringList& paths) {
                               if (guard && !paths.isEmpty())
                                   m_delegate.openFiles(paths);
                           });
}

PreferencesWindow* MainWindow::preferencesWindow()
{
    if (!m_preferences)
        m_preferences = new PreferencesWindow(m_delegate, this);
    return m_preferences;
}

void MainWindow::showPreferences()
{
    PreferencesWindow* window = preferencesWindow();
    window->show();
    window->raise();
    window->activateWindow();
}

void MainWindow::showHelp(const QString& title, const std::optional<QUrl>& url)
{
    if (!url)
        return;
    if (!m_help)
        m_help = new HelpWindow(this);
    m_help->showDocument(title, *url);
    m_help->show();
    m_help->raise();
    m_help->activateWindow();
}

void MainWindow::showAbout()
{
    QMessageBox box(this);
    box.setWindowTitle(tr("About %1").arg(appInfo().appName()));
    box.setIconPixmap(AppIcons::application().pixmap(96, 96));
    box.setText(QStringLiteral("<b>%1</b>").arg(appInfo().appName().toHtmlEscaped()));
    box.setInformativeText(
        tr("%1<br>%2<br><br>Turns Matroska movies into MP4 files without "
           "re-encoding the video.")
            .arg(m_delegate.version().toHtmlEscaped(), m_delegate.build().toHtmlEscaped()));
    box.setStandardButtons(QMessageBox::Ok);
    box.setWindowModality(Qt::WindowModal);
    box.exec();
}

void MainWindow::showAndRaise()
{
    if (isMinimized())
        showNormal();
    show();
    raise();
    activateWindow();
}

void MainWindow::quitNow()
{
    if (m_quitting)
        return;
    m_quitting = true;
    m_delegate.applicationWillTerminate();
    if (m_tray)
        m_tray->hide();
    // A dialog or alert runs an event loop of its own, which quit() alone
    // would leave to the user: close each one, innermost first. Code that
    // runs on after a dialog returns finds the application quitting.
    for (int guard = 0; guard < 64; ++guard) {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal)
            break;
        modal->close();
        modal->hide();
    }
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget != this && widget->isVisible() && widget->isModal())
            widget->hide();
    QCoreApplication::quit();
}

bool MainWindow::requestQuit()
{
    if (m_quitting)
        return true;
    if (!m_delegate.applicationShouldTerminate())
        return false;
    m_quitting = true;
    m_delegate.applicationWillTerminate();
    if (m_tray)
        m_tray->hide();
    QCoreApplication::quit();
    return true;
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    saveGeometrySetting();
    m_delegate.windowWillClose();
    if (m_quitting || (m_tray && m_tray->isVisible())) {
        // With a tray icon Vantreo keeps converting there; the first time,
        // it says so.
        if (!m_quitting && takeTrayNotice())
            m_tray->showMessage(appInfo().appName(), trayNoticeText(), QSystemTrayIcon::Information,
                                8000);
        event->accept();
        return;
    }
    // Without a tray, closing the window is quitting.
    if (requestQuit())
        event->accept();
    else
        event->ignore();
}

QStringList MainWindow::localPaths(const QMimeData* mime)
{
    QStringList paths;
    if (!mime || !mime->hasUrls())
        return paths;
    for (const QUrl& url : mime->urls())
        if (url.isLocalFile())
            paths.append(url.toLocalFile());
    return paths;
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event)
{
    // A drag the window takes lights up the list; a refused one shows nothing.
    const bool accepted = m_delegate.draggingEntered(localPaths(event->mimeData()));
    m_list->setDropHighlighted(accepted);
    if (accepted) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void MainWindow::dragLeaveEvent(QDragLeaveEvent* event)
{
    m_list->setDropHighlighted(false);
    QMainWindow::dragLeaveEvent(event);
}

void MainWindow::dragMoveEvent(QDragMoveEvent* event)
{
    if (m_delegate.draggingEntered(localPaths(event->mimeData()))) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void MainWindow::dropEvent(QDropEvent* event)
{
    m_list->setDropHighlighted(false);
    if (!takeDrop(event->mimeData())) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

bool MainWindow::takeDrop(const QMimeData* mime)
{
    if (!m_delegate.draggingEntered(localPaths(mime)))
        return false;
    // The dropped URLs keep the bytes of a name that is not UTF-8 (a Latin-1
    // name), which their decoded paths lose: such a file is taken in through
    // a link.
    QList<QByteArray> dropped;
    for (const QUrl& url : mime->urls())
        if (url.isLocalFile())
            dropped.append(localPathBytes(url));
    const QStringList paths = RawNameLinks::usablePaths(dropped);
    if (!m_delegate.draggingEntered(paths))
        return false;
    // Probing and alerts must not run inside the drag's event handler.
    QMetaObject::invokeMethod(
        this, [this, paths] { m_delegate.performDragOperation(paths); }, Qt::QueuedConnection);
    return true;
}
