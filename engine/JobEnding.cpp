#include "engine/JobEnding.h"

#include "engine/FailureExplanation.h"
#include "engine/FreeSpaceCheck.h"
#include "engine/SourceMovie.h"
#include "foundation/Alerts.h"
#include "foundation/HalvornLib.h"
#include "foundation/HostInformation.h"
#include "foundation/ListHelpers.h"
#include "foundation/MakeString.h"
#include "foundation/PathHelpers.h"
#include "foundation/PlatformServices.h"
#include "foundation/SettingsAccess.h"
#include "foundation/SettingsKeys.h"
#include "foundation/StringHelpers.h"

#include <QCoreApplication>

void notifyJobEnd(bool failed, const QString& fileName, const QString& destination)
{
    HalvornLib& info = appInfo();
    UserNotification n;
    if (failed) {
        n.title = makeString(QCoreApplication::translate("JobEnding", "%@ Conversion Failed"),
                             info.appName());
        n.informativeText = makeString(
            QCoreApplication::translate("JobEnding", "Vantreo has failed to convert the file %@."),
            fileName);
    } else {
        n.title = makeString(QCoreApplication::translate("JobEnding", "%@ Conversion Finished"),
                             info.appName());
        n.informativeText = makeString(
            QCoreApplication::translate("JobEnding", "%@ has finished converting the file %@."),
            info.appName(), fileName);
        n.actionButtonTitle = QCoreApplication::translate("JobEnding", "Show");
        n.path = destination;
    }
    userNotifier().deliver(n);
}

JobNotice freeSpaceFailureNotice()
{
    JobNotice n;
    n.title = QStringLiteral("Conversion Failed");
    n.text = freeSpaceFailureText();
    return n;
}

JobNotice sourceGoneNotice(const QString& sourcePath)
{
    JobNotice n;
    n.kind = AlertKind::Warning;
    n.title = appInfo().appName();
    n.text = makeString(QCoreApplication::translate(
                            "JobEnding", "It seems you've removed the file %@ or unmounted it's "
                                         "volume so conversion can't proceed."),
                        lastPathComponent(sourcePath));
    return n;
}

void disposeOfSourceMovie(const QString& sourcePath, bool deleteIt)
{
    if (deleteIt)
        deleteSourceMovie(sourcePath);
    else
        trashSourceMovie(sourcePath);
}

void offerSupportMail(const QStringList& arguments, const QString& output)
{
    HalvornLib& info = appInfo();
    const QString mail = problemReportMailText(
        info.infoValue("FeedbackEmail").value_or(QString()), info.appName(),
        info.appVersionString(), joined(arguments, " "), output, XTHostInformation::machineType(),
        XTHostInformation::operatingSystemVersionString(), crashReportNote());
    if (const auto url = escapedURL(mail))
        open(*url);
}
