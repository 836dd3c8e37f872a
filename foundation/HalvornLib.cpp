#include "foundation/HalvornLib.h"

#include "foundation/Alerts.h"
#include "foundation/HostInformation.h"
#include "foundation/ListHelpers.h"
#include "foundation/PathHelpers.h"
#include "foundation/PlatformServices.h"
#include "foundation/SettingsStore.h"
#include "foundation/StringHelpers.h"
#include "foundation/ToolLocator.h"

#include <AppInfo.h>
#include <QDir>
#include <QHash>
#include <QMutex>
#include <QStandardPaths>
#include <memory>

HalvornLib* cc = nullptr;
LogSink* client = nullptr;
SettingsStore* userDefaults = nullptr;
Workspace* workspace = nullptr;
UserNotifier* notificationCenter = nullptr;

namespace {

QMutex overridesMutex;
QHash<QString, std::optional<QString>>& overrides()
{
    static QHash<QString, std::optional<QString>> table;
    return table;
}

std::unique_ptr<HalvornLib>& implicitInstance()
{
    static std::unique_ptr<HalvornLib> instance;
    return instance;
}

} // namespace

HalvornLib::HalvornLib()
{
    QDir().mkpath(suppDir());
    cc = this;
    client = logSink().get();
    userDefaults = &SettingsStore::instance();
    workspace = &workspaceService();
    notificationCenter = &userNotifier();
}

HalvornLib::~HalvornLib()
{
    if (cc == this)
        cc = nullptr;
}

HalvornLib& appInfo()
{
    if (!cc)
        implicitInstance() = std::make_unique<HalvornLib>();
    return *cc;
}

void HalvornLib::overrideInfoValue(const QString& key, const std::optional<QString>& value)
{
    QMutexLocker lock(&overridesMutex);
    overrides().insert(key, value);
}

std::optional<QString> HalvornLib::infoValue(const QString& key) const
{
    {
        QMutexLocker lock(&overridesMutex);
        const auto it = overrides().constFind(key);
        if (it != overrides().constEnd())
            return it.value();
    }
    static const QHash<QString, QString> info = {
        {QStringLiteral("CFBundleName"), QString::fromUtf8(appinfo::kName)},
        {QStringLiteral("CFBundleShortVersionString"), QString::fromUtf8(appinfo::kVersionString)},
        {QStringLiteral("CFBundleVersion"), QString::fromUtf8(appinfo::kBuildNumber)},
        {QStringLiteral("CFBundleIdentifier"), QString::fromUtf8(appinfo::kIdentifier)},
        {QStringLiteral("FeedbackEmail"), QString::fromUtf8(appinfo::kSupportEmail)},
        {QStringLiteral("VendorProductPage"),
         QString::fromUtf8(appinfo::kWebsite) + QStringLiteral("vantreo/")},
        {QStringLiteral("StoreProductPage"),
         QString::fromUtf8(appinfo::kWebsite) + QStringLiteral("download/")},
        {QStringLiteral("MacupdateProductPage"),
         QString::fromUtf8(appinfo::kWebsite) + QStringLiteral("releases/")},
    };
    const auto it = info.constFind(key);
    if (it == info.constEnd())
        return std::nullopt;
    return it.value();
}

QString HalvornLib::appName() const
{
    return infoValue("CFBundleName").value_or(QString());
}

QString HalvornLib::appVersionString() const
{
    return infoValue("CFBundleShortVersionString").value_or(QString());
}

qint32 HalvornLib::appVersion() const
{
    const QString text = infoValue("CFBundleVersion").value_or(QString());
    qsizetype end = 0;
    while (end < text.size() && text[end].isDigit())
        ++end;
    return text.left(qMin<qsizetype>(end, 9)).toInt();
}

QString HalvornLib::appID() const
{
    return infoValue("CFBundleIdentifier").value_or(QString());
}

QString HalvornLib::resDir() const
{
    return ToolLocator::resourcesDir();
}
QUrl HalvornLib::resURL() const
{
    return QUrl::fromLocalFile(resDir());
}

QString HalvornLib::docDir() const
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (dir.isEmpty())
        dir = QDir::homePath() + "/Documents";
    QDir().mkpath(dir);
    return dir;
}

QUrl HalvornLib::docURL() const
{
    return QUrl::fromLocalFile(docDir());
}

QString HalvornLib::suppDir() const
{
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (base.isEmpty())
        base = QDir::homePath() + "/.local/share";
    return base + "/" + appName();
}

QUrl HalvornLib::suppURL() const
{
    return QUrl::fromLocalFile(suppDir());
}

QString HalvornLib::cacheDir() const
{
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (base.isEmpty())
        base = QDir::homePath() + "/.cache";
    const QString dir = base + "/" + appName();
    QDir().mkpath(dir);
    return dir;
}

QString HalvornLib::crashReportsFolder()
{
    const QByteArray fromEnv = qgetenv("VANTREO_CRASH_DIR");
    if (!fromEnv.isEmpty())
        return QString::fromLocal8Bit(fromEnv);
    return QStringLiteral("/var/crash");
}

std::optional<QStringList> HalvornLib::appCrashLogs() const
{
    const auto names = dirContents(crashReportsFolder());
    if (!names)
        return std::nullopt;
    // Crash reports are named after the program's path with "/" as "_"
    // (_usr_bin_vantreo.0.crash); a name that holds the program's name,
    // in any letter case, counts.
    QStringList out;
    for (const QString& name : *names)
        if (name.contains(appName(), Qt::CaseInsensitive))
            out.append(name);
    return out;
}

QString crashReportNote()
{
    const auto logs = appInfo().appCrashLogs();
    if (!logs || logs->isEmpty())
        return {};
    return makeString(" Problems: %li", logs->size());
}

QString HalvornLib::serviceLinkText(qint32 kind) const
{
    const QString support = infoValue("FeedbackEmail").value_or(appinfo::kSupportEmail);
    switch (kind) {
    case 1:
        return makeString("mailto:%@?subject=%@ v%@ (%i) Support Request&body=Insert Support "
                          "Request Here\n\n\n\nP.S: Hardware: %@ Software: %@%@",
                          support, appName(), appVersionString(), appVersion(),
                          XTHostInformation::machineType(),
                          XTHostInformation::operatingSystemVersionString(), crashReportNote());
    case 2:
        return makeString("mailto:%@?subject=%@ Beta Versions&body=Hello\nI would like to test "
                          "upcoming beta versions of %@.\nBye\n",
                          support, appName(), appName());
    case 3:
        if (const auto page = infoValue("VendorProductPage"))
            return *page;
        return makeString("%@%@/", QString::fromUtf8(appinfo::kWebsite), appName().toLower());
    case 4:
        return infoValue("StoreProductPage").value_or(QString());
    case 5:
        return replaced(infoValue("StoreProductPage").value_or(QString()), "https", "macappstore");
    case 6:
        return infoValue("MacupdateProductPage").value_or(QString());
    default:
        return {};
    }
}

void HalvornLib::openURL(qint32 kind) const
{
    if (const auto url = escapedURL(serviceLinkText(kind)))
        open(*url);
}
