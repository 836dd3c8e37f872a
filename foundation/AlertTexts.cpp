#include "foundation/AlertTexts.h"

#include <QCoreApplication>

namespace {

// For lupdate: the texts the lookup knows.
[[maybe_unused]] const char* const kKnownTexts[] = {
    QT_TRANSLATE_NOOP("Alerts", "Warning"),
    QT_TRANSLATE_NOOP("Alerts", "Conversion Failed"),
    QT_TRANSLATE_NOOP("Alerts", "Information"),
    QT_TRANSLATE_NOOP("Alerts", "Fatal Error"),
    QT_TRANSLATE_NOOP("Alerts", "OK"),
    QT_TRANSLATE_NOOP("Alerts", "Cancel"),
    QT_TRANSLATE_NOOP("Alerts", "Quit"),
    QT_TRANSLATE_NOOP("Alerts", "Remove"),
    QT_TRANSLATE_NOOP("Alerts", "Send to support"),
    QT_TRANSLATE_NOOP("Alerts", "Don't warn again"),
    QT_TRANSLATE_NOOP("Alerts", "Conversion is in progresss. Are you sure you want to quit?"),
    QT_TRANSLATE_NOOP(
        "Alerts",
        "Welcome to Vantreo. To convert MKV files just drag them into the main window or onto "
        "the program's icon. Note that conversion will be much faster, more reliable and higher "
        "quality if you select 'High Speed & Quality' in the 'Audio Conversion Settings' in the "
        "Preferences, though the resulting files may not play with sound on some devices (e.g. "
        "iOS). Try it out."),
};

} // namespace

QString alertText(const QString& english)
{
    if (english.isEmpty())
        return english;
    return QCoreApplication::translate("Alerts", english.toUtf8().constData());
}
