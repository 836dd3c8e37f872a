#include "foundation/Alerts.h"

#include "foundation/Dispatch.h"
#include "foundation/HalvornLib.h"
#include "foundation/HostInformation.h"
#include "foundation/PathHelpers.h"
#include "foundation/StringHelpers.h"

#include <AppInfo.h>
#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace {

std::mutex sinkMutex;
std::shared_ptr<LogSink>& sinkStorage()
{
    static std::shared_ptr<LogSink> sink = std::make_shared<SyslogSink>();
    return sink;
}

int showAlert(AlertRequest request, bool activate)
{
    if (request.defaultButton.isEmpty())
        request.defaultButton = QStringLiteral("OK");
    AlertPresenter& presenter = alertPresenter();
    if (activate)
        presenter.activateApplication();
    return presenter.present(request);
}

} // namespace

int alert(const QString& title, const QString& message, const QString& defaultButton,
          const QString& alternateButton, const QString& otherButton)
{
    return showAlert({title, message, defaultButton, alternateButton, otherButton, false, {}},
                     true);
}

int alert(AlertKind kind, const QString& title, const QString& message,
          const QString& defaultButton, const QString& alternateButton, const QString& otherButton)
{
    AlertRequest request{title, message, defaultButton, alternateButton, otherButton, false, {}};
    request.kind = kind;
    return showAlert(std::move(request), true);
}

int alert_apptitled(const QString& message, const QString& defaultButton,
                    const QString& alternateButton, const QString& otherButton)
{
    return alert(appInfo().appName(), message, defaultButton, alternateButton, otherButton);
}

int input(const QString& prompt, const QStringList& buttons, QString& text)
{
    AlertRequest request{prompt, {}, buttons.value(0), buttons.value(1), buttons.value(2),
                         true,   {}};
    request.title = prompt;
    request.message.clear();
    if (request.defaultButton.isEmpty())
        request.defaultButton = QStringLiteral("OK");
    const int result = alertPresenter().present(request);
    text = request.text;
    return result;
}

QString fatalAlertMessage(const QString& message, const QString& details)
{
    QString shown = details;
    if (shown.size() > 400)
        shown = clamp(shown, 400) + QStringLiteral(" \u2026\n(Remaining message omitted)");
    return makeString("%@\n\n You can contact our support with detailed information so that we "
                      "can fix this problem.\n\nInformation: %@",
                      message, shown);
}

QString fatalReportMail(const QString& details)
{
    HalvornLib& info = appInfo();
    const QString support = info.infoValue("FeedbackEmail").value_or(appinfo::kSupportEmail);
    return makeString("mailto:%@?subject=%@ v%@ Problem Report&body=Hello\nA fatal error in %@ "
                      "occured.\n\nBye\n\nP.S. Details: %@\n\n\nP.P.S: Hardware: %@ Software: "
                      "%@ %@",
                      support, info.appName(), info.appVersionString(), info.appName(), details,
                      XTHostInformation::machineType(),
                      XTHostInformation::operatingSystemVersionString(), crashReportNote());
}

void alertfeedbackfatal(const QString& message, const QString& details)
{
    dispatch_sync_main([message, details] {
        AlertRequest request{QStringLiteral("Fatal Error"),
                             fatalAlertMessage(message, details),
                             QStringLiteral("Send to support"),
                             QStringLiteral("Quit"),
                             {},
                             false,
                             {}};
        request.kind = AlertKind::Critical;
        if (alertPresenter().present(request) == kAlertDefault) {
            if (const auto url = escapedURL(fatalReportMail(details)))
                open(*url);
        }
        std::fflush(nullptr);
        std::exit(1);
    });
    std::exit(1);
}

std::shared_ptr<LogSink> logSink()
{
    std::lock_guard lock(sinkMutex);
    return sinkStorage();
}

void setLogSink(std::shared_ptr<LogSink> sink)
{
    std::lock_guard lock(sinkMutex);
    if (sink)
        sinkStorage() = std::move(sink);
}

bool debugLogEnabled()
{
    static const bool enabled = !qgetenv("VANTREO_DEBUG").isEmpty();
    return enabled;
}

void debugLogText(const QString& text)
{
    std::fprintf(stderr, "[debug] %s\n", text.toUtf8().constData());
}
