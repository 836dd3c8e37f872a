#pragma once

#include "foundation/AlertPresenter.h"

#include <QStringList>

// Prints alerts on standard error and answers the default button, for the
// command line and other runs without windows.
class TerminalAlertPresenter final : public AlertPresenter
{
public:
    int present(AlertRequest& request) override;
};
