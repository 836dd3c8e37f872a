#include "foundation/StringHelpers.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QLocale>
#include <QStringDecoder>
#include <cmath>
#include <limits>
#include <utility>

namespace {

// Inserted after every search string in the first pass of the multi-string
// replacement, so that replaced text is never matched again.
constexpr auto kReplacementMarker = u"Qz7Lm2Rv8Tp4Wx1N";

bool isNewline(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 0x000A && u <= 0x000D) || u == 0x0085 || u == 0x2028 || u == 0x2029;
}

// Tab and Unicode space separators (Zs), the no-break space among them.
bool isBlank(QChar c)
{
    return c == u'\t' || c.category() == QChar::Separator_Space;
}

QStringList splitAt(const QString& s, bool (*isSeparator)(QChar))
{
    QStringList out;
    qsizetype start = 0;
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (isSeparator(s[i])) {
            out.append(s.mid(start, i - start));
            start = i + 1;
        }
    }
    out.append(s.mid(start));
    return out;
}

bool hasNonAscii(const QString& s)
{
    for (QChar c : s)
        if (c.unicode() > 0x7F)
            return true;
    return false;
}

// Whole seconds as an int without undefined behaviour for NaN, infinities or
// values beyond the int range.
int truncatedToInt(double value)
{
    if (std::isnan(value))
        return 0;
    constexpr double lo = std::numeric_limits<int>::min();
    constexpr double hi = std::numeric_limits<int>::max();
    if (value <= lo)
        return std::numeric_limits<int>::min();
    if (value >= hi)
        return std::numeric_limits<int>::max();
    return static_cast<int>(value);
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

bool contains(const QString& s, const QString& part)
{
    return contains(s, part, false);
}

bool contains(const QString& s, const QString& part, bool insensitive)
{
    // An empty search string is found nowhere, so it never counts as a hit.
    if (part.isEmpty())
        return false;
    const Qt::CaseSensitivity cs = insensitive ? Qt::CaseInsensitive : Qt::CaseSensitive;
    if (s.contains(part, cs))
        return true;
    // A precomposed character and its decomposed form count as equal.
    if (!hasNonAscii(s) && !hasNonAscii(part))
        return false;
    return s.normalized(QString::NormalizationForm_D)
        .contains(part.normalized(QString::NormalizationForm_D), cs);
}

bool containsAny(const QString& s, const QStringList& parts)
{
    for (const QString& part : parts)
        if (contains(s, part))
            return true;
    return false;
}

QStringList lines(const QString& s)
{
    return splitAt(s, isNewline);
}

QStringList split(const QString& s, const QString& separator)
{
    if (separator.isEmpty())
        return {s};
    return s.split(separator, Qt::KeepEmptyParts);
}

QString trimmed(const QString& s)
{
    qsizetype begin = 0;
    qsizetype end = s.size();
    while (begin < end && isBlank(s[begin]))
        ++begin;
    while (end > begin && isBlank(s[end - 1]))
        --end;
    return s.mid(begin, end - begin);
}

QString clamp(const QString& s, qsizetype length)
{
    if (length < 0 || s.size() <= length)
        return s;
    return s.left(length);
}

QString replaced(const QString& s, const QString& search, const QString& replacement)
{
    if (search.isEmpty())
        return s;
    QString out = s;
    return out.replace(search, replacement);
}

QString stringByReplacingMultipleStrings(const QString& s, const QMap<QString, QString>& table)
{
    const QString marker = QString::fromUtf16(kReplacementMarker);
    auto usable = [](const QString& key, const QString& value) {
        return !key.isNull() && !key.isEmpty() && !value.isNull();
    };
    QString text = s;
    for (auto it = table.cbegin(); it != table.cend(); ++it)
        if (usable(it.key(), it.value()))
            text.replace(it.key(), it.key() + marker);

    // Every effective replacement removes at least one marker, so the passes
    // are bounded by the number of markers (even if a value held the marker).
    qsizetype passesLeft = text.count(marker) + 1;
    bool changed = true;
    while (changed && passesLeft-- > 0) {
        changed = false;
        for (auto it = table.cbegin(); it != table.cend(); ++it) {
            if (!usable(it.key(), it.value()))
                continue;
            const QString tagged = it.key() + marker;
            if (text.contains(tagged)) {
                text.replace(tagged, it.value());
                changed = true;
            }
        }
    }
    return text;
}

// The texts handed to localized(), for lupdate.
[[maybe_unused]] static const char* const kLocalizedTexts[] = {
    QT_TRANSLATE_NOOP("Vantreo", "Version:"),
    QT_TRANSLATE_NOOP("Vantreo", "Build:"),
};

QString localized(const QString& s)
{
    const QByteArray key = s.toUtf8();
    return QCoreApplication::translate("Vantreo", key.constData());
}

QString formattedTimeFromTimeInterval(double seconds)
{
    const int minutes = truncatedToInt(seconds / 60.0);
    if (minutes != 0) {
        const int rest = truncatedToInt(seconds - 60.0 * minutes);
        return QStringLiteral("%1m %2s").arg(minutes).arg(rest);
    }
    return QStringLiteral("%1s").arg(truncatedToInt(seconds));
}

int countOccurencesOfString(const QString& s, const QString& part)
{
    return int(split(s, part).size() - 1);
}

QStringList words(const QString& s)
{
    return splitAt(s, isBlank);
}

QString titlecaseString(const QString& s)
{
    // Capitalised form: a word is delimited by blanks and line breaks.
    QString capitalized;
    capitalized.reserve(s.size());
    qsizetype i = 0;
    while (i < s.size()) {
        if (s[i].isSpace()) {
            capitalized += s[i++];
            continue;
        }
        qsizetype end = i;
        while (end < s.size() && !s[end].isSpace())
            ++end;
        const qsizetype firstLength = (s[i].isHighSurrogate() && i + 1 < end) ? 2 : 1;
        capitalized += s.mid(i, firstLength).toUpper();
        capitalized += s.mid(i + firstLength, end - i - firstLength).toLower();
        i = end;
    }

    static const QStringList smallWords = {
        QStringLiteral("A"),   QStringLiteral("An"),  QStringLiteral("And"), QStringLiteral("As"),
        QStringLiteral("At"),  QStringLiteral("But"), QStringLiteral("By"),  QStringLiteral("En"),
        QStringLiteral("For"), QStringLiteral("If"),  QStringLiteral("In"),  QStringLiteral("Of"),
        QStringLiteral("On"),  QStringLiteral("Or"),  QStringLiteral("Nor"), QStringLiteral("The"),
        QStringLiteral("To"),  QStringLiteral("V"),   QStringLiteral("Via"), QStringLiteral("Vs"),
        QStringLiteral("Up"),  QStringLiteral("It")};
    static const QMap<QString, QString> table = [] {
        QMap<QString, QString> t;
        for (const QString& word : smallWords)
            t.insert(u' ' + word + u' ', u' ' + word.toLower() + u' ');
        return t;
    }();
    // Adjacent small words share the blank between them, so one round may
    // leave every second one capitalised; repeat until nothing changes.
    QString text = capitalized;
    for (;;) {
        QString next = stringByReplacingMultipleStrings(text, table);
        if (next == text)
            return text;
        text = std::move(next);
    }
}

QString propercaseString(const QString& s)
{
    if (s.isEmpty())
        return s;
    if (s.size() == 1)
        return s.toUpper();
    return s.left(1).toUpper() + s.mid(1).toLower();
}

QString SHA1(const QString& s)
{
    return QString::fromLatin1(
        QCryptographicHash::hash(s.toUtf8(), QCryptographicHash::Sha1).toHex());
}

QByteArray dataFromHexString(const QString& s)
{
    const QByteArray text = s.toUtf8();
    QByteArray out;
    out.reserve(text.size() / 2);
    for (qsizetype i = 0; i + 1 < text.size(); i += 2) {
        // As many leading hex digits of the pair as are valid: "1g" is 1.
        int value = 0;
        for (qsizetype k = i; k < i + 2; ++k) {
            const int digit = hexDigit(text[k]);
            if (digit < 0)
                break;
            value = value * 16 + digit;
        }
        out.append(char(value & 0xFF));
    }
    return out;
}

std::optional<QString> string(const QByteArray& data)
{
    // Stateless, so a sequence cut off at the end counts as an error too.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(data);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

QString hexString(const QByteArray& data)
{
    return QString::fromLatin1(data.toHex());
}

std::optional<QDateTime> dateFromPreprocessorDate(const char* date)
{
    if (!date)
        return std::nullopt;
    // __DATE__ pads a one-digit day with a blank: "Dec  7 2026".
    QString text = QString::fromUtf8(date).trimmed();
    while (text.contains(QStringLiteral("  ")))
        text.replace(QStringLiteral("  "), QStringLiteral(" "));
    const QDate day =
        QLocale(QLocale::English, QLocale::UnitedStates).toDate(text, QStringLiteral("MMM d yyyy"));
    if (!day.isValid())
        return std::nullopt;
    return QDateTime(day, QTime(0, 0));
}
