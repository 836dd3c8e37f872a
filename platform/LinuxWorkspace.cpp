#include "platform/LinuxWorkspace.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace {

void xdgOpen(const QString& target)
{
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (!opener.isEmpty())
        QProcess::startDetached(opener, {target});
}

} // namespace

void LinuxWorkspace::openURL(const QUrl& url)
{
    if (url.isValid())
        xdgOpen(QString::fromUtf8(url.toEncoded()));
}

void LinuxWorkspace::revealFile(const QString& path)
{
    if (path.isEmpty())
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected()) {
        QDBusMessage call = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.FileManager1"),
            QStringLiteral("/org/freedesktop/FileManager1"),
            QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
        call << QStringList{QUrl::fromLocalFile(path).toString()} << QString();
        const QDBusMessage reply = bus.call(call, QDBus::Block, 2000);
        if (reply.type() == QDBusMessage::ReplyMessage)
            return;
    }
    xdgOpen(QFileInfo(path).absolutePath());
}

bool LinuxWorkspace::moveToTrash(const QString& path)
{
    return QFile::moveToTrash(path);
}
