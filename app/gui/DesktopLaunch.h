#pragma once

#include <QByteArray>
#include <QList>

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
