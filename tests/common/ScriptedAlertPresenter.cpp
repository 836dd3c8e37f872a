#include "ScriptedAlertPresenter.h"

int ScriptedAlertPresenter::present(AlertRequest& request)
{
    if (request.withTextField)
        request.text = typedText;
    shown.append(request);
    if (answers.isEmpty())
        return kAlertDefault;
    return answers.takeFirst();
}
