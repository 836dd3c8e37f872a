#include "DesktopLaunch.h"

#include "foundation/PathBytes.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QStyleFactory>
#include <QUrl>
#include <QWidget>
#include <QWindow>
#include <cstdio>
#include <cstdlib>
#include <utility>

void setUpDesktopApplication()
{
    QApplication::setApplicationName(QStringLiteral("Vantreo"));
    QApplication::setOrganizationName(QStringLiteral("Vantreo"));
    QApplication::setDesktopFileName(QStringLiteral("org.vantreo.Vantreo"));
    // The window is closed into the tray or closing it quits through the
    // delegate's confirmation; Qt must not quit on its own.
    QApplication::setQuitOnLastWindowClosed(false);
    if (!qEnvironmentVariableIsSet("QT_STYLE_OVERRIDE") &&
        QStyleFactory::keys().contains(QStringLiteral("Fusion")))
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
}

// Qt's decoded arguments would turn the bytes of a name that is not UTF-8
// (a Latin-1 name) into U+FFFD and lose the file, so argv is read as bytes.
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

void waitUntilShown(QWidget& window)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 2000 && !(window.windowHandle() && window.windowHandle()->isExposed()))
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    window.repaint();
    QCoreApplication::processEvents();
}

namespace {

std::function<void()>& lostDisplayCleanUp()
{
    static std::function<void()> cleanUp;
    return cleanUp;
}

void runLostDisplayCleanUp()
{
    // Taken out first: the clean-up runs once, whatever it does.
    const std::function<void()> cleanUp = std::exchange(lostDisplayCleanUp(), nullptr);
    if (!cleanUp)
        return;
    std::fprintf(stderr, "%s\n",
                 qPrintable(QCoreApplication::translate(
                     "DesktopLaunch", "Vantreo: the connection to the display is gone; "
                                      "conversions stopped, unfinished files removed.")));
    cleanUp();
}

QtMessageHandler& previousMessageHandler()
{
    static QtMessageHandler previous = nullptr;
    return previous;
}

// The platform plugins say so just before they call exit(1): the clean-up
// runs then, while everything is as it was. The exit handler is the fallback
// for a plugin that ends without a word; by the time it runs, objects made
// after it was registered may be gone already.
void watchForLostDisplay(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (const QtMessageHandler previous = previousMessageHandler())
        previous(type, context, message);
    if (message.startsWith(QLatin1String("The X11 connection broke")) ||
        message.startsWith(QLatin1String("The Wayland connection broke")))
        runLostDisplayCleanUp();
}

} // namespace

void armLostDisplayCleanUp(std::function<void()> cleanUp)
{
    static const bool registered = std::atexit(runLostDisplayCleanUp) == 0;
    if (!registered)
        return;
    lostDisplayCleanUp() = std::move(cleanUp);
    static const QtMessageHandler previous = qInstallMessageHandler(watchForLostDisplay);
    previousMessageHandler() = previous;
}

void disarmLostDisplayCleanUp()
{
    lostDisplayCleanUp() = nullptr;
}
