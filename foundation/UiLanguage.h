#pragma once

#include <QString>
#include <QStringList>

// The languages the user wants to read the program in, most wanted first, as
// gettext chooses them: LANGUAGE (a colon-separated list), then LC_ALL,
// LC_MESSAGES and LANG; the first of these that is set and not empty
// decides. Each entry gives its territory form and its bare language
// ("de_DE.UTF-8@euro" gives "de_DE" and "de"); "C" and "POSIX" (with any
// code set) give "en", which stands for the program's own English. As in
// gettext, a locale set to plain "C" or "POSIX" in LC_ALL, LC_MESSAGES or
// LANG keeps the messages English whatever LANGUAGE says, so scripts and
// tests can pin them while LANGUAGE still orders the audio languages.
QStringList uiLanguages(const QString& language, const QString& lcAll, const QString& lcMessages,
                        const QString& lang);
// The same from this process's environment.
QStringList uiLanguagesFromEnvironment();

// The first candidate that is English ("en", "en_GB": the empty string
// results) or has a catalogue among `available` (names such as "de" or
// "pt_BR"); the empty string when none has.
QString chosenCatalogue(const QStringList& candidates, const QStringList& available);
