#include "shell/ui/SingleInstance.h"

#include "engine/RawNameLinks.h"
#include "platform/InstanceSocketName.h"

#include <QLocalServer>
#include <QLocalSocket>

SingleInstance::SingleInstance(const QString& name, QObject* parent) : QObject(parent), m_name(name)
{
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::defaultName()
{
    return instanceSocketPath();
}

bool SingleInstance::sendToRunning(const QList<QByteArray>& paths) const
{
    QLocalSocket socket;
    socket.connectToServer(m_name);
    if (!socket.waitForConnected(1000))
        return false;
    socket.write(encode(paths));
    socket.flush();
    socket.waitForBytesWritten(2000);
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(2000);
    return true;
}

bool SingleInstance::listen()
{
    if (!m_server) {
        m_server = new QLocalServer(this);
        m_server->setSocketOptions(QLocalServer::UserAccessOption);
        connect(m_server, &QLocalServer::newConnection, this, [this] {
            while (QLocalSocket* socket = m_server->nextPendingConnection()) {
                connect(socket, &QLocalSocket::disconnected, socket, [this, socket] {
                    emit filesReceived(RawNameLinks::usablePaths(decode(socket->readAll())));
                    socket->deleteLater();
                });
            }
        });
    }
    if (m_server->listen(m_name))
        return true;
    // A socket file left by a run that crashed: nobody answers on it.
    QLocalServer::removeServer(m_name);
    return m_server->listen(m_name);
}

QByteArray SingleInstance::encode(const QList<QByteArray>& paths)
{
    QByteArray data;
    for (const QByteArray& path : paths)
        data += path + '\n';
    return data;
}

QList<QByteArray> SingleInstance::decode(const QByteArray& data)
{
    QList<QByteArray> paths;
    for (const QByteArray& line : data.split('\n'))
        if (!line.isEmpty())
            paths.append(line);
    return paths;
}
