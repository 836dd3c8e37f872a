#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QVariantMap>

// The progress and the count of jobs left on the application's launcher or
// taskbar entry, told with the com.canonical.Unity.LauncherEntry "Update"
// signal that docks and task managers (KDE Plasma, Dash to Dock, Plank, …)
// listen for. Without a bus it does nothing.
class LauncherEntry final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(LauncherEntry)

public:
    explicit LauncherEntry(const QDBusConnection& bus = QDBusConnection::sessionBus(),
                           QObject* parent = nullptr);

    // application://org.vantreo.Vantreo.desktop
    static QString appUri();
    static QString objectPath();
    // The signal's properties: progress 0..1 shown while something
    // converts, the count shown while jobs are left.
    static QVariantMap properties(double progress, bool converting, qint64 jobsLeft);

    // Emits the signal when the entry's properties change.
    void update(double progress, bool converting, qint64 jobsLeft);

private:
    QDBusConnection m_bus;
    QVariantMap m_last;
};
