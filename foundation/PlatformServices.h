#pragma once

#include <QString>
#include <QUrl>
#include <functional>
#include <memory>

// Desktop services behind small interfaces, so the engine and the shell stay
// free of D-Bus and widgets and tests can install fakes. Each default
// implementation quietly does nothing.

class Workspace
{
public:
    virtual ~Workspace() = default;
    // Opens the URL with the user's default application.
    virtual void openURL(const QUrl&) {}
    // Shows the file selected in a file-manager window.
    virtual void revealFile(const QString&) {}
    // Moves the file to the Trash; false when that failed.
    virtual bool moveToTrash(const QString&) { return false; }
};

struct UserNotification
{
    QString title;
    QString informativeText;
    QString actionButtonTitle; // empty: no action button
    QString path;              // the "path" entry of the user information
};

class UserNotifier
{
public:
    virtual ~UserNotifier() = default;
    virtual void deliver(const UserNotification&) {}
    // Called with the notification's path when the user clicks it or its
    // action button.
    std::function<void(const QString& path)> onActivated;
};

// Keeps the machine from idle sleep. take answers an identifier (0: none).
class SleepInhibitor
{
public:
    virtual ~SleepInhibitor() = default;
    virtual quint32 take(const QString&) { return 0; }
    virtual void release(quint32) {}
};

Workspace& workspaceService();
void setWorkspaceService(std::unique_ptr<Workspace> service);
UserNotifier& userNotifier();
void setUserNotifier(std::unique_ptr<UserNotifier> service);
SleepInhibitor& sleepInhibitor();
void setSleepInhibitor(std::unique_ptr<SleepInhibitor> service);
