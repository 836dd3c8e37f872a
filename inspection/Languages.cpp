#include "inspection/Languages.h"

#include "inspection/LanguageNames.h"

#include <QSet>

namespace {

// The language part of a locale name such as "de_DE.UTF-8@euro"; empty for
// the C and POSIX locales, which name no language.
QString languagePart(const QString& locale)
{
    qsizetype end = locale.size();
    for (const QChar stop : {u'_', u'.', u'@'}) {
        const qsizetype at = locale.indexOf(stop);
        if (at >= 0 && at < end)
            end = at;
    }
    const QString language = locale.left(end).trimmed();
    if (language == QLatin1String("C") || language == QLatin1String("POSIX"))
        return QString();
    return language;
}

// Case folded, with the accents taken off, so "Francais" finds "français".
QString foldedName(const QString& name)
{
    const QString decomposed =
        name.trimmed().toCaseFolded().normalized(QString::NormalizationForm_D);
    QString out;
    out.reserve(decomposed.size());
    for (const QChar c : decomposed)
        if (c.category() != QChar::Mark_NonSpacing)
            out.append(c);
    return out;
}

const QHash<QString, QString>& foldedNameTable()
{
    static const QHash<QString, QString> table = [] {
        QHash<QString, QString> folded;
        const QHash<QString, QString>& names = languageNameTable();
        for (auto it = names.begin(); it != names.end(); ++it)
            folded.insert(foldedName(it.key()), it.value());
        return folded;
    }();
    return table;
}

// Two or three ASCII letters, or such a code with a region or script after
// a dash ("pt-BR", "zh-Hant").
bool looksLikeCode(const QString& tag)
{
    return isPlainLanguageCode(tag.section(u'-', 0, 0));
}

} // namespace

bool isPlainLanguageCode(const QString& text)
{
    if (text.size() < 2 || text.size() > 3)
        return false;
    for (const QChar c : text)
        if (!(c >= u'a' && c <= u'z') && !(c >= u'A' && c <= u'Z'))
            return false;
    return true;
}

QString languageCodeForTag(const QString& tag)
{
    if (looksLikeCode(tag))
        return tag;
    const QString code = foldedNameTable().value(foldedName(tag));
    if (!code.isEmpty())
        return code;
    return tag.contains(u' ') ? QStringLiteral("unk") : tag;
}

const QHash<QString, QString>& languageTable()
{
    // ISO 639-1 to ISO 639-2, bibliographic codes where the two differ.
    static const QHash<QString, QString> table{
        {"aa", "aar"}, {"ab", "abk"}, {"ae", "ave"}, {"af", "afr"}, {"ak", "aka"}, {"am", "amh"},
        {"an", "arg"}, {"ar", "ara"}, {"as", "asm"}, {"av", "ava"}, {"ay", "aym"}, {"az", "aze"},
        {"ba", "bak"}, {"be", "bel"}, {"bg", "bul"}, {"bh", "bih"}, {"bi", "bis"}, {"bm", "bam"},
        {"bn", "ben"}, {"bo", "tib"}, {"br", "bre"}, {"bs", "bos"}, {"ca", "cat"}, {"ce", "che"},
        {"ch", "cha"}, {"co", "cos"}, {"cr", "cre"}, {"cs", "cze"}, {"cu", "chu"}, {"cv", "chv"},
        {"cy", "wel"}, {"da", "dan"}, {"de", "ger"}, {"dv", "div"}, {"dz", "dzo"}, {"ee", "ewe"},
        {"el", "gre"}, {"en", "eng"}, {"eo", "epo"}, {"es", "spa"}, {"et", "est"}, {"eu", "baq"},
        {"fa", "per"}, {"ff", "ful"}, {"fi", "fin"}, {"fj", "fij"}, {"fo", "fao"}, {"fr", "fre"},
        {"fy", "fry"}, {"ga", "gle"}, {"gd", "gla"}, {"gl", "glg"}, {"gn", "grn"}, {"gu", "guj"},
        {"gv", "glv"}, {"ha", "hau"}, {"he", "heb"}, {"hi", "hin"}, {"ho", "hmo"}, {"hr", "hrv"},
        {"ht", "hat"}, {"hu", "hun"}, {"hy", "arm"}, {"hz", "her"}, {"ia", "ina"}, {"id", "ind"},
        {"ie", "ile"}, {"ig", "ibo"}, {"ii", "iii"}, {"ik", "ipk"}, {"io", "ido"}, {"is", "ice"},
        {"it", "ita"}, {"iu", "iku"}, {"ja", "jpn"}, {"jv", "jav"}, {"ka", "geo"}, {"kg", "kon"},
        {"ki", "kik"}, {"kj", "kua"}, {"kk", "kaz"}, {"kl", "kal"}, {"km", "khm"}, {"kn", "kan"},
        {"ko", "kor"}, {"kr", "kau"}, {"ks", "kas"}, {"ku", "kur"}, {"kv", "kom"}, {"kw", "cor"},
        {"ky", "kir"}, {"la", "lat"}, {"lb", "ltz"}, {"lg", "lug"}, {"li", "lim"}, {"ln", "lin"},
        {"lo", "lao"}, {"lt", "lit"}, {"lu", "lub"}, {"lv", "lav"}, {"mg", "mlg"}, {"mh", "mah"},
        {"mi", "mao"}, {"mk", "mac"}, {"ml", "mal"}, {"mn", "mon"}, {"mr", "mar"}, {"ms", "may"},
        {"mt", "mlt"}, {"my", "bur"}, {"na", "nau"}, {"nb", "nob"}, {"nd", "nde"}, {"ne", "nep"},
        {"ng", "ndo"}, {"nl", "dut"}, {"nn", "nno"}, {"no", "nor"}, {"nr", "nbl"}, {"nv", "nav"},
        {"ny", "nya"}, {"oc", "oci"}, {"oj", "oji"}, {"om", "orm"}, {"or", "ori"}, {"os", "oss"},
        {"pa", "pan"}, {"pi", "pli"}, {"pl", "pol"}, {"ps", "pus"}, {"pt", "por"}, {"qu", "que"},
        {"rm", "roh"}, {"rn", "run"}, {"ro", "rum"}, {"ru", "rus"}, {"rw", "kin"}, {"sa", "san"},
        {"sc", "srd"}, {"sd", "snd"}, {"se", "sme"}, {"sg", "sag"}, {"si", "sin"}, {"sk", "slo"},
        {"sl", "slv"}, {"sm", "smo"}, {"sn", "sna"}, {"so", "som"}, {"sq", "alb"}, {"sr", "srp"},
        {"ss", "ssw"}, {"st", "sot"}, {"su", "sun"}, {"sv", "swe"}, {"sw", "swa"}, {"ta", "tam"},
        {"te", "tel"}, {"tg", "tgk"}, {"th", "tha"}, {"ti", "tir"}, {"tk", "tuk"}, {"tl", "tgl"},
        {"tn", "tsn"}, {"to", "ton"}, {"tr", "tur"}, {"ts", "tso"}, {"tt", "tat"}, {"tw", "twi"},
        {"ty", "tah"}, {"ug", "uig"}, {"uk", "ukr"}, {"ur", "urd"}, {"uz", "uzb"}, {"ve", "ven"},
        {"vi", "vie"}, {"vo", "vol"}, {"wa", "wln"}, {"wo", "wol"}, {"xh", "xho"}, {"yi", "yid"},
        {"yo", "yor"}, {"za", "zha"}, {"zh", "chi"}, {"zu", "zul"},
    };
    return table;
}

QStringList preferredLanguagesFromEnvironment(const QString& language, const QString& lcAll,
                                              const QString& lcMessages, const QString& lang)
{
    QStringList entries = language.split(u':');
    entries << lcAll << lcMessages << lang;
    QStringList result;
    QSet<QString> seen;
    for (const QString& entry : entries) {
        const QString part = languagePart(entry);
        if (part.isEmpty() || seen.contains(part))
            continue;
        seen.insert(part);
        result.append(part);
    }
    return result;
}

QStringList platformPreferredLanguages()
{
    return preferredLanguagesFromEnvironment(
        qEnvironmentVariable("LANGUAGE"), qEnvironmentVariable("LC_ALL"),
        qEnvironmentVariable("LC_MESSAGES"), qEnvironmentVariable("LANG"));
}

QStringList preferredLanguages3Letter(const QStringList& platformList)
{
    const QHash<QString, QString>& table = languageTable();
    QStringList result;
    result.reserve(platformList.size());
    for (const QString& entry : platformList)
        result.append(table.value(entry, entry));
    return result;
}

QStringList preferredLanguages3Letter()
{
    return preferredLanguages3Letter(platformPreferredLanguages());
}
