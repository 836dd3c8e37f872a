#pragma once

#include <QObject>
#include <QStringList>

class QLocalServer;

// One running Vantreo per login session and display: the first launch
// listens on a local socket; a later launch of the same session hands its
// files to it and ends.
class SingleInstance final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SingleInstance)

public:
    explicit SingleInstance(const QString& name = defaultName(), QObject* parent = nullptr);
    ~SingleInstance() override;

    // The socket path of this session (instanceSocketPath).
    static QString defaultName();
    // Hands the paths to a running instance; false when none answers.
    bool sendToRunning(const QStringList& paths) const;
    // Starts listening (replacing a stale socket of a crashed run).
    bool listen();

    // The wire format: one path per line, UTF-8.
    static QByteArray encode(const QStringList& paths);
    static QStringList decode(const QByteArray& data);

signals:
    // Another launch asked us to come to the front and open these files.
    void filesReceived(const QStringList& paths);

private:
    QString m_name;
    QLocalServer* m_server = nullptr;
};
