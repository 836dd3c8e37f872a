#pragma once

#include <QByteArray>
#include <QList>
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
    // Hands the paths to a running instance; false when none answers. They
    // go as bytes: a name that is not UTF-8 must reach the running instance
    // unchanged.
    bool sendToRunning(const QList<QByteArray>& paths) const;
    // Starts listening (replacing a stale socket of a crashed run).
    bool listen();

    // The wire format: one path per line, its bytes as they are (UTF-8 for
    // every name that is valid UTF-8).
    static QByteArray encode(const QList<QByteArray>& paths);
    static QList<QByteArray> decode(const QByteArray& data);

signals:
    // Another launch asked us to come to the front and open these files
    // (paths this program can use: links for names that are not UTF-8).
    void filesReceived(const QStringList& paths);

private:
    QString m_name;
    QLocalServer* m_server = nullptr;
};
