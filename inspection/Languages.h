#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

// Two-letter ISO 639-1 codes mapped to the three-letter ISO 639-2 codes that
// ffmpeg prints as track languages (the bibliographic code where ISO 639-2
// has two, so de gives ger and zh gives chi).
const QHash<QString, QString>& languageTable();

// Two or three ASCII letters, the shape of an ISO 639 code ("ja", "JPN").
bool isPlainLanguageCode(const QString& text);

// The language word of a track as the probe keeps it: a code ("eng", "de",
// "pt-BR") as it is; a language name ("English", "Deutsch", "français",
// case and accents aside) as its three-letter code; any other word with a
// space in it, which no descriptor may hold, as "unk".
QString languageCodeForTag(const QString& tag);

// The user's languages, most preferred first, from the values of LANGUAGE
// (a colon-separated list), LC_ALL, LC_MESSAGES and LANG in that order: the
// language part of each entry ("de_DE.UTF-8" gives "de"), duplicates
// dropped; "C", "POSIX" and empty entries give nothing.
QStringList preferredLanguagesFromEnvironment(const QString& language, const QString& lcAll,
                                              const QString& lcMessages, const QString& lang);
// The same from this process's environment.
QStringList platformPreferredLanguages();

// One entry per entry of the list: a two-letter code of the table becomes its
// three-letter code, anything else ("en-GB", "eng") passes unchanged.
QStringList preferredLanguages3Letter(const QStringList& platformList);
QStringList preferredLanguages3Letter();
