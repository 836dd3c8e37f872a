#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>
#include <optional>

class LogSink;
class SettingsStore;
class Workspace;
class UserNotifier;

// Information about the running application: name, versions, folders, its
// crash reports. Created first at launch; the instance is `cc`.
class HalvornLib final
{
public:
    // Creates the support folder, becomes `cc` and sets up the other globals.
    HalvornLib();
    ~HalvornLib();
    HalvornLib(const HalvornLib&) = delete;
    HalvornLib& operator=(const HalvornLib&) = delete;

    QString appName() const;
    QString appVersionString() const;
    qint32 appVersion() const;
    QString appID() const;
    QString resDir() const;
    QUrl resURL() const;
    // The user's documents folder, created when missing.
    QString docDir() const;
    QUrl docURL() const;
    // The application data folder.
    QString suppDir() const;
    QUrl suppURL() const;
    // The user's cache folder for this program (XDG_CACHE_HOME/Vantreo),
    // created when missing: the temporary files of a conversion live there.
    QString cacheDir() const;
    // Names of this program's crash reports in the system's crash folder;
    // absent when the folder cannot be listed.
    std::optional<QStringList> appCrashLogs() const;
    // Reads an information key (CFBundleName, CFBundleShortVersionString,
    // CFBundleVersion, CFBundleIdentifier, FeedbackEmail, VendorProductPage,
    // StoreProductPage, MacupdateProductPage); absent when missing.
    std::optional<QString> infoValue(const QString& key) const;
    // Opens one of the service links (1 support mail, 2 beta mail, 3 product
    // page, 4 store page, 5 store application, 6 download site).
    void openURL(qint32 kind) const;
    // The URL text behind openURL, for tests.
    QString serviceLinkText(qint32 kind) const;

    // The folder that crash reports are searched in: VANTREO_CRASH_DIR, else
    // the system's crash folder /var/crash.
    static QString crashReportsFolder();
    // Replaces an information key for this process (tests, version changes).
    static void overrideInfoValue(const QString& key, const std::optional<QString>& value);
};

// The crash-report note of support mails: " Problems: %li" or empty.
QString crashReportNote();

// Program-wide globals, valid once HalvornLib exists.
extern HalvornLib* cc;
extern LogSink* client;
extern SettingsStore* userDefaults;
extern Workspace* workspace;
extern UserNotifier* notificationCenter;

// Ensures `cc` exists (created on first use by runs without a launch step).
HalvornLib& appInfo();
