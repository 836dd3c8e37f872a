#pragma once

#include "foundation/AlertPresenter.h"

#include <QMessageBox>
#include <QPointer>
#include <QWidget>

// Alerts as message boxes, window-modal on the main window (or application-
// modal while there is none), with the icon of their kind and the message as
// plain text. The default button answers 1, the alternate 0, the other -1;
// Esc and closing answer the alternate (or the default where the request
// says so). An alert with a text field gets a line edit; a failure
// explanation shows its command line and tool output in a details area.
class MessageBoxAlertPresenter final : public AlertPresenter
{
public:
    MessageBoxAlertPresenter() = default;

    void setMainWindow(QWidget* window) { m_mainWindow = window; }
    // The application is quitting without asking: alerts are answered as
    // Esc would answer them, and no box is shown any more.
    void refuseNewAlerts() { m_refusing = true; }
    int present(AlertRequest& request) override;
    void activateApplication() override;

    // Called with each box just before it runs (tests answer it from here).
    static void setBoxHook(std::function<void(QMessageBox&)> hook);
    static QMessageBox::Icon iconFor(AlertKind kind);

private:
    QPointer<QWidget> m_mainWindow;
    bool m_refusing = false;
};
