#pragma once

#include "foundation/AlertPresenter.h"

#include <QList>

// Records every alert and answers from a script of results (the default
// button once the script is used up). For tests.
class ScriptedAlertPresenter final : public AlertPresenter
{
public:
    QList<AlertRequest> shown;
    QList<int> answers;
    QString typedText;
    int activations = 0;

    int present(AlertRequest& request) override;
    void activateApplication() override { ++activations; }
};
