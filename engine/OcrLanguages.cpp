#include "engine/OcrLanguages.h"

#include "engine/KeptTracks.h"

#include <QFileInfo>
#include <QHash>

namespace {

// Where Tesseract's code differs from the ISO 639-2 code a movie names:
// the bibliographic codes, and the languages Tesseract splits by script.
const QHash<QString, QString>& differingCodes()
{
    static const QHash<QString, QString> codes{
        {"ger", "deu"}, {"fre", "fra"}, {"dut", "nld"}, {"chi", "chi_sim"}, {"zho", "chi_sim"},
        {"cze", "ces"}, {"gre", "ell"}, {"per", "fas"}, {"rum", "ron"},     {"mol", "ron"},
        {"slo", "slk"}, {"ice", "isl"}, {"arm", "hye"}, {"baq", "eus"},     {"bur", "mya"},
        {"geo", "kat"}, {"mac", "mkd"}, {"mao", "mri"}, {"may", "msa"},     {"wel", "cym"},
        {"tib", "bod"}, {"alb", "sqi"}, {"nob", "nor"}, {"nno", "nor"},     {"scc", "srp"},
        {"scr", "hrv"}, {"fil", "tgl"}};
    return codes;
}

} // namespace

QString tesseractLanguage(const QString& language)
{
    const QString code = language.trimmed().toLower();
    if (isUntaggedLanguage(code))
        return {};
    return differingCodes().value(code, code);
}

QString trainedDataPackage(const QString& tesseractCode)
{
    return QStringLiteral("tesseract-ocr-") + QString(tesseractCode).toLower().replace(u'_', u'-');
}

QStringList trainedDataFolders()
{
    QStringList folders;
    const QString prefix = qEnvironmentVariable("TESSDATA_PREFIX");
    if (!prefix.isEmpty()) {
        folders << prefix;
        // Tesseract 4 took the folder above tessdata.
        folders << prefix + QStringLiteral("/tessdata");
    }
    folders << QStringLiteral("/usr/share/tesseract-ocr/5/tessdata")
            << QStringLiteral("/usr/share/tesseract-ocr/4.00/tessdata");
    return folders;
}

std::optional<QString> trainedDataFolder(const QString& tesseractCode)
{
    if (tesseractCode.isEmpty() || tesseractCode.contains(u'/'))
        return std::nullopt;
    for (const QString& folder : trainedDataFolders())
        if (QFileInfo(folder + u'/' + tesseractCode + QStringLiteral(".traineddata")).isFile())
            return folder;
    return std::nullopt;
}

QString readingLanguage(const QString& trackLanguage, const QStringList& preferredLanguages)
{
    const QString own = tesseractLanguage(trackLanguage);
    if (!own.isEmpty())
        return own;
    for (const QString& preferred : preferredLanguages) {
        const QString code = tesseractLanguage(preferred);
        if (trainedDataFolder(code))
            return code;
    }
    return QStringLiteral("eng");
}
