#include "foundation/ListHelpers.h"

#include <QRegularExpression>

namespace {

enum class Operator { BeginsWith, EndsWith, Contains, Like, Equal, NotEqual };

struct Predicate
{
    Operator op = Operator::Equal;
    bool ignoreCase = false;
    bool ignoreDiacritics = false;
};

// Reads "self OP[flags] %@"; absent for anything else.
std::optional<Predicate> parsePredicate(const QString& format)
{
    static const QRegularExpression pattern(
        QStringLiteral(R"(^\s*self\s*(BEGINSWITH|ENDSWITH|CONTAINS|LIKE|==|=|!=|<>)\s*)"
                       R"((?:\[([cd]*)\])?\s*%@\s*$)"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = pattern.match(format);
    if (!match.hasMatch())
        return std::nullopt;
    Predicate predicate;
    const QString op = match.captured(1).toUpper();
    if (op == QLatin1String("BEGINSWITH"))
        predicate.op = Operator::BeginsWith;
    else if (op == QLatin1String("ENDSWITH"))
        predicate.op = Operator::EndsWith;
    else if (op == QLatin1String("CONTAINS"))
        predicate.op = Operator::Contains;
    else if (op == QLatin1String("LIKE"))
        predicate.op = Operator::Like;
    else if (op == QLatin1String("!=") || op == QLatin1String("<>"))
        predicate.op = Operator::NotEqual;
    else
        predicate.op = Operator::Equal;
    const QString flags = match.captured(2).toLower();
    predicate.ignoreCase = flags.contains(u'c');
    predicate.ignoreDiacritics = flags.contains(u'd');
    return predicate;
}

QString withoutDiacritics(const QString& s)
{
    const QString decomposed = s.normalized(QString::NormalizationForm_D);
    QString out;
    out.reserve(decomposed.size());
    for (QChar c : decomposed)
        if (c.category() != QChar::Mark_NonSpacing)
            out += c;
    return out;
}

// LIKE: "*" matches any run of characters, "?" any one; the whole string must match.
QRegularExpression likePattern(const QString& value, bool ignoreCase)
{
    QString regex;
    for (QChar c : value) {
        if (c == u'*')
            regex += QStringLiteral(".*");
        else if (c == u'?')
            regex += u'.';
        else
            regex += QRegularExpression::escape(QString(c));
    }
    QRegularExpression::PatternOptions options = QRegularExpression::DotMatchesEverythingOption;
    if (ignoreCase)
        options |= QRegularExpression::CaseInsensitiveOption;
    return QRegularExpression(QRegularExpression::anchoredPattern(regex), options);
}

} // namespace

QString joined(const QStringList& list, const QString& separator)
{
    return list.join(separator);
}

QString joined(const QVariantList& list, const QString& separator)
{
    QStringList texts;
    texts.reserve(list.size());
    for (const QVariant& v : list)
        texts.append(v.toString());
    return texts.join(separator);
}

std::optional<QStringList> filteredUsingPredicateString(const QStringList& list,
                                                        const QString& format, const QString& value)
{
    const std::optional<Predicate> predicate = parsePredicate(format);
    if (!predicate)
        return std::nullopt;
    const Qt::CaseSensitivity cs = predicate->ignoreCase ? Qt::CaseInsensitive : Qt::CaseSensitive;
    auto prepare = [&](const QString& s) {
        return predicate->ignoreDiacritics ? withoutDiacritics(s)
                                           : s.normalized(QString::NormalizationForm_C);
    };
    const QString needle = prepare(value);
    const QRegularExpression like = predicate->op == Operator::Like
                                        ? likePattern(needle, predicate->ignoreCase)
                                        : QRegularExpression();
    QStringList out;
    for (const QString& element : list) {
        const QString s = prepare(element);
        bool keep = false;
        switch (predicate->op) {
        case Operator::BeginsWith:
            keep = s.startsWith(needle, cs);
            break;
        case Operator::EndsWith:
            keep = s.endsWith(needle, cs);
            break;
        case Operator::Contains:
            keep = s.contains(needle, cs);
            break;
        case Operator::Like:
            keep = like.match(s).hasMatch();
            break;
        case Operator::Equal:
            keep = s.compare(needle, cs) == 0;
            break;
        case Operator::NotEqual:
            keep = s.compare(needle, cs) != 0;
            break;
        }
        if (keep)
            out.append(element);
    }
    return out;
}

QVariantList arrayOfValuesForKey(const QList<QVariantMap>& list, const QString& key)
{
    QVariantList out;
    out.reserve(list.size());
    for (const QVariantMap& map : list)
        out.append(map.value(key));
    return out;
}

QString safeStringAtIndex(const QStringList& list, qsizetype index)
{
    if (index < 0 || index >= list.size())
        return QStringLiteral("");
    return list[index];
}

bool containsDictionaryWithKey(const QList<QVariantMap>& list, const QString& key,
                               const QVariant& value)
{
    for (const QVariantMap& map : list) {
        const auto it = map.constFind(key);
        if (it != map.cend() && it.value() == value)
            return true;
    }
    return false;
}

QList<QVariantMap> sortedArrayByKey(const QList<QVariantMap>& list, const QString& key,
                                    bool ascending)
{
    QList<QVariantMap> out = list;
    // Missing values first; values that do not compare (different kinds) by
    // their text, so the order stays consistent.
    auto less = [&key](const QVariantMap& a, const QVariantMap& b) {
        const QVariant va = a.value(key);
        const QVariant vb = b.value(key);
        if (!va.isValid() || !vb.isValid())
            return !va.isValid() && vb.isValid();
        const QPartialOrdering order = QVariant::compare(va, vb);
        if (order == QPartialOrdering::Unordered)
            return va.toString() < vb.toString();
        return order == QPartialOrdering::Less;
    };
    std::stable_sort(out.begin(), out.end(), [&](const QVariantMap& a, const QVariantMap& b) {
        return ascending ? less(a, b) : less(b, a);
    });
    return out;
}

QVariantMap dictionaryByAddingValue(const QVariantMap& map, const QVariant& value,
                                    const QString& key)
{
    QVariantMap out = map;
    if (value.isValid())
        out.insert(key, value);
    else
        out.remove(key);
    return out;
}
