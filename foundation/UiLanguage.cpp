#include "foundation/UiLanguage.h"

namespace {

bool isPlainC(const QString& locale)
{
    return locale == QLatin1String("C") || locale == QLatin1String("POSIX");
}

// "de_DE.UTF-8@euro" gives {"de_DE", "de"}; "C.UTF-8" gives {"en"}.
QStringList candidatesOf(const QString& entry)
{
    QString name = entry.trimmed();
    name = name.left(name.indexOf(u'@'));
    name = name.left(name.indexOf(u'.'));
    if (name.isEmpty())
        return {};
    if (isPlainC(name))
        return {QStringLiteral("en")};
    const QString bare = name.left(name.indexOf(u'_'));
    if (bare == name)
        return {name};
    return {name, bare};
}

} // namespace

QStringList uiLanguages(const QString& language, const QString& lcAll, const QString& lcMessages,
                        const QString& lang)
{
    QString locale;
    for (const QString& value : {lcAll, lcMessages, lang}) {
        if (!value.isEmpty()) {
            locale = value;
            break;
        }
    }
    QStringList entries;
    if (!language.isEmpty() && !isPlainC(locale))
        entries = language.split(u':');
    else
        entries = {locale};
    QStringList result;
    for (const QString& entry : entries) {
        for (const QString& candidate : candidatesOf(entry)) {
            if (!result.contains(candidate))
                result.append(candidate);
        }
    }
    return result;
}

QStringList uiLanguagesFromEnvironment()
{
    return uiLanguages(qEnvironmentVariable("LANGUAGE"), qEnvironmentVariable("LC_ALL"),
                       qEnvironmentVariable("LC_MESSAGES"), qEnvironmentVariable("LANG"));
}

QString chosenCatalogue(const QStringList& candidates, const QStringList& available)
{
    for (const QString& candidate : candidates) {
        if (candidate == QLatin1String("en") || candidate.startsWith(QLatin1String("en_")))
            return {};
        if (available.contains(candidate))
            return candidate;
    }
    return {};
}
