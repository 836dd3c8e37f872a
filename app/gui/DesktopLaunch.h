#pragma once

#include <QByteArray>
#include <QList>
#include <functional>

class QWidget;

// The start-up the desktop program and the screenshot program share.

// Names the application, lets only the delegate's confirmation quit it and
// picks the Fusion style unless the user chose another. Call once the
// QApplication exists.
void setUpDesktopApplication();

// The files of the command line by their bytes, made absolute; file URLs
// give their paths.
QList<QByteArray> fileArguments(int argc, char** argv);

// Lets the window be mapped, exposed and painted (a window manager may take
// a moment), at most two seconds.
void waitUntilShown(QWidget& window);

// The X and Wayland platform plugins end the program with exit(1) from inside
// the event loop when the connection to the display breaks (a server that
// died, a remote session dropped). `cleanUp` then runs first, when the
// plugin says the connection broke (or, failing that, on the way out),
// instead of the program leaving its tools running and its unfinished files
// behind. Disarmed once the event loop has returned normally.
void armLostDisplayCleanUp(std::function<void()> cleanUp);
void disarmLostDisplayCleanUp();
