#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QMap>
#include <QString>
#include <QStringList>
#include <optional>

// String helpers shared by the whole program. Lengths, indexes and limits
// count UTF-16 units, as QString does. Searches are case-sensitive unless
// said otherwise.

bool contains(const QString& s, const QString& part);
bool contains(const QString& s, const QString& part, bool insensitive);
bool containsAny(const QString& s, const QStringList& parts);

// Splits at every newline character (U+000A to U+000D, U+0085, U+2028,
// U+2029); CR LF gives an empty element between the two; empty elements stay.
QStringList lines(const QString& s);
// Splits at every occurrence of the separator; empty elements stay.
QStringList split(const QString& s, const QString& separator);
// Removes tabs and Unicode space separators (category Zs) from both ends;
// line breaks stay.
QString trimmed(const QString& s);
// The first `length` UTF-16 units when the string is longer.
QString clamp(const QString& s, qsizetype length);
QString replaced(const QString& s, const QString& search, const QString& replacement);
// Replaces every key by its value as if all replacements happened at once:
// the output of one replacement is never searched again.
QString stringByReplacingMultipleStrings(const QString& s, const QMap<QString, QString>& table);
QString localized(const QString& s);
// "%im %is", or "%is" under a minute; minutes are not carried into hours.
QString formattedTimeFromTimeInterval(double seconds);

int countOccurencesOfString(const QString& s, const QString& part);
QStringList words(const QString& s);
QString titlecaseString(const QString& s);
QString propercaseString(const QString& s);
QString SHA1(const QString& s);
inline QString stringValue(const QString& s)
{
    return s;
}
QByteArray dataFromHexString(const QString& s);
// The bytes as UTF-8, absent when they are not valid UTF-8.
std::optional<QString> string(const QByteArray& data);
QString hexString(const QByteArray& data);
// Parses a build date in the compiler's __DATE__ form ("Dec  7 2026").
std::optional<QDateTime> dateFromPreprocessorDate(const char* date);
