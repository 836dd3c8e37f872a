#pragma once

#include "foundation/AlertPresenter.h"

#include <QPointer>
#include <QWidget>

class QMessageBox;

// Alerts as message boxes, window-modal on the main window (or application-
// modal while there is none). The default button answers 1, the alternate 0,
// the other -1; an alert with a text field gets a line edit.
class MessageBoxAlertPresenter final : public AlertPresenter
{
public:
    MessageBoxAlertPresenter() = default;

    void setMainWindow(QWidget* window) { m_mainWindow = window; }
    int present(AlertRequest& request) override;
    void activateApplication() override;

    // Called with each box just before it runs (tests answer it from here).
    static void setBoxHook(std::function<void(QMessageBox&)> hook);

private:
    QPointer<QWidget> m_mainWindow;
};
