#pragma once

#include <QString>

#include <memory>

// What an alert asks of the user. Absent alternate and other titles leave
// those buttons out; the default button is always there ("OK" when empty).
struct AlertRequest
{
    QString title;
    QString message;
    QString defaultButton;
    QString alternateButton;
    QString otherButton;
    bool withTextField = false;
    QString text; // the text field's content on return
};

// Alert results, as the modal alerts answer them.
inline constexpr int kAlertDefault = 1;
inline constexpr int kAlertAlternate = 0;
inline constexpr int kAlertOther = -1;

// Shows modal alerts. The desktop uses message boxes, the command line prints
// on standard error and takes the default button, tests script the answers.
class AlertPresenter
{
public:
    virtual ~AlertPresenter() = default;
    // Shows the alert and answers kAlertDefault, kAlertAlternate or kAlertOther.
    virtual int present(AlertRequest& request) = 0;
    // Brings the application to the front before an alert.
    virtual void activateApplication() {}
};

// The presenter in use; a terminal presenter until another is installed.
AlertPresenter& alertPresenter();
void setAlertPresenter(std::unique_ptr<AlertPresenter> presenter);
