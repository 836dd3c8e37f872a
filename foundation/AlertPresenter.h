#pragma once

#include <QString>
#include <memory>

// What an alert is about; it decides the box's icon. Automatic: told from
// the title (see alertKindFor).
enum class AlertKind { Automatic, Information, Warning, Critical };

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
    AlertKind kind = AlertKind::Automatic;
    // Esc and closing the box answer the default button instead of the
    // alternate one (the alternate of a remembered warning is "Don't warn
    // again", which must never be chosen by accident).
    bool escapeAnswersDefault = false;
};

// The kind of an alert: its own when given; "Warning" titles warn; "Conversion
// Failed", "Fatal Error" and a failure explanation (a message that shows the
// tool's command line) are critical; anything else informs.
AlertKind alertKindFor(const AlertRequest& request);

// A failure explanation split into its text and its details (the command
// line and the tool output from "Command-line: " on); details are empty for
// any other message.
struct AlertParts
{
    QString text;
    QString details;
};
AlertParts alertParts(const QString& message);

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
