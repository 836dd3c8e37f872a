#include "foundation/TerminalAlertPresenter.h"

#include "foundation/AlertTexts.h"

#include <cstdio>

int TerminalAlertPresenter::present(AlertRequest& request)
{
    // Printed through "%s" so the text is never read as a format.
    const QByteArray title = alertText(request.title).toUtf8();
    const QByteArray message = alertText(request.message).toUtf8();
    if (title.isEmpty())
        std::fprintf(stderr, "%s\n", message.constData());
    else
        std::fprintf(stderr, "%s: %s\n", title.constData(), message.constData());
    std::fflush(stderr);
    return kAlertDefault;
}
