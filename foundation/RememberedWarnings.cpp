#include "foundation/RememberedWarnings.h"

#include "foundation/Alerts.h"
#include "foundation/Dispatch.h"
#include "foundation/HalvornLib.h"
#include "foundation/MakeString.h"
#include "foundation/SettingsAccess.h"

namespace {

void showRemembered(const QString& key, const QString& title, const QString& message,
                    const QString& defaultButton, const QString& dontWarnButton)
{
    if (defaultInt(key) != 0)
        return;
    AlertRequest request{title, message, defaultButton, dontWarnButton, {}, false, {}};
    if (request.defaultButton.isEmpty())
        request.defaultButton = QStringLiteral("OK");
    request.kind = AlertKind::Warning;
    request.escapeAnswersDefault = true;
    alertPresenter().activateApplication();
    if (alertPresenter().present(request) != kAlertDefault)
        setDefaultInt(key, 1);
}

// On the main thread the alert shows at once; elsewhere it is queued there
// and the caller goes on.
void onMainThread(std::function<void()> block)
{
    if (isMainThread())
        block();
    else
        dispatch_async_main(std::move(block));
}

} // namespace

QString dontWarnAgainVersionKey(const QString& identifier)
{
    return makeString("_%@_%@_asked", identifier, appInfo().appVersionString());
}

QString dontWarnAgainEverKey(const QString& identifier)
{
    return makeString("_%@_asked", identifier);
}

void alert_dontwarnagain_version(const QString& identifier, const QString& title,
                                 const QString& message, const QString& defaultButton,
                                 const QString& dontWarnButton)
{
    onMainThread([=] {
        // The version is read when the alert is about to show.
        showRemembered(dontWarnAgainVersionKey(identifier), title, message, defaultButton,
                       dontWarnButton);
    });
}

void alert_dontwarnagain_ever(const QString& identifier, const QString& title,
                              const QString& message, const QString& defaultButton,
                              const QString& dontWarnButton)
{
    onMainThread([=] {
        showRemembered(dontWarnAgainEverKey(identifier), title, message, defaultButton,
                       dontWarnButton);
    });
}
