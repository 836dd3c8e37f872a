#include "shell/ServiceLinks.h"

#include "foundation/HalvornLib.h"
#include "foundation/HostInformation.h"
#include "foundation/MakeString.h"
#include "foundation/PathHelpers.h"
#include "foundation/StringHelpers.h"

#include <AppInfo.h>

QString shellServiceLinkText(int tag)
{
    const HalvornLib& info = appInfo();
    const QString support = info.infoValue(QStringLiteral("FeedbackEmail"))
                                .value_or(QString::fromUtf8(appinfo::kSupportEmail));
    switch (tag) {
    case 1:
        return makeString(
            "mailto:%@?subject=%@&body=%@", support,
            makeString("%@ %@ Support Request", info.appName(), info.appVersionString()),
            makeString("Insert Support Request Here\n\n\n\nP.S: Hardware: %@ "
                       "Software: %@ %@: %i%@",
                       XTHostInformation::machineType(),
                       XTHostInformation::operatingSystemVersionString(), info.appName(),
                       info.appVersion(), crashReportNote()));
    case 2:
        return makeString("mailto:%@?subject=%@&body=%@", support,
                          makeString("%@ Beta Versions", info.appName()),
                          makeString("Hello\nI would like to test upcoming beta versions of "
                                     "%@.\nBye\n",
                                     info.appName()));
    case 3:
        return makeString("%@%@/", QString::fromUtf8(appinfo::kWebsite), info.appName().toLower());
    case 4:
        return info.infoValue(QStringLiteral("StoreProductPage")).value_or(QString());
    case 5:
        return replaced(info.infoValue(QStringLiteral("StoreProductPage")).value_or(QString()),
                        QStringLiteral("https"), QStringLiteral("macappstore"));
    case 6:
        return info.infoValue(QStringLiteral("MacupdateProductPage")).value_or(QString());
    default:
        return {};
    }
}

void openShellServiceLink(int tag)
{
    const QString text = shellServiceLinkText(tag);
    if (text.isEmpty())
        return;
    if (const auto url = escapedURL(text))
        open(*url);
}
