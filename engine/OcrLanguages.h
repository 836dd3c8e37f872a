#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The languages our subtitle reader (subocr, on Tesseract) reads, and where
// their trained data lie.

// Tesseract's code for a track language as the probe writes it (ISO 639-2,
// bibliographic or terminological: "ger" and "deu" give "deu", "chi" gives
// "chi_sim"); other codes are taken as they are. Empty for a language that
// says nothing ("unk", "und", empty).
QString tesseractLanguage(const QString& language);
// The Debian package that holds a Tesseract language's trained data:
// "tesseract-ocr-jpn", "tesseract-ocr-chi-sim".
QString trainedDataPackage(const QString& tesseractCode);
// The folders searched for trained data, in order: $TESSDATA_PREFIX, then
// Debian's folders of Tesseract 5 and 4.
QStringList trainedDataFolders();
// The folder that holds the language's trained data; absent when none does.
std::optional<QString> trainedDataFolder(const QString& tesseractCode);
// The language a picture track is read in: its own, or for an untagged
// track the first of the user's languages whose data is installed, else
// English.
QString readingLanguage(const QString& trackLanguage, const QStringList& preferredLanguages);
