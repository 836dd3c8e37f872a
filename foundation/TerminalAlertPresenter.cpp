#include "foundation/TerminalAlertPresenter.h"

#include <cstdio>

int TerminalAlertPresenter::present(AlertRequest& request)
{
    // Printed through "%s" so the text is never read as a format.
    const QByteArray title = request.title.toUtf8();
    const QByteArray message = request.message.toUtf8();
    if (title.isEmpty())
        std::fprintf(stderr, "%s\n", message.constData());
    else
        std::fprintf(stderr, "%s: %s\n", title.constData(), message.constData());
    std::fflush(stderr);
    return kAlertDefault;
}
