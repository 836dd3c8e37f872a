#include "foundation/Translations.h"

#include "foundation/ToolLocator.h"
#include "foundation/UiLanguage.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>
#include <memory>

namespace {

const QLatin1String kPrefix("vantreo_");

// The languages of the catalogues in `folder`: "de" for vantreo_de.qm.
QStringList availableCatalogues(const QString& folder)
{
    QStringList languages;
    const QStringList names =
        QDir(folder).entryList({kPrefix + QLatin1String("*.qm")}, QDir::Files, QDir::Name);
    for (const QString& name : names)
        languages.append(name.mid(kPrefix.size(), name.size() - kPrefix.size() - 3));
    return languages;
}

bool load(const QString& path)
{
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(path) || !QCoreApplication::installTranslator(translator.get()))
        return false;
    // The application owns it from now on and keeps it installed to the end.
    translator.release()->setParent(QCoreApplication::instance());
    return true;
}

} // namespace

QString installTranslations()
{
    const QString folder = ToolLocator::resourcesDir() + QLatin1String("/translations");
    const QString language =
        chosenCatalogue(uiLanguagesFromEnvironment(), availableCatalogues(folder));
    if (language.isEmpty() || !load(folder + u'/' + kPrefix + language + QLatin1String(".qm")))
        return {};
    // Qt's catalogues are named by the bare language where no territory
    // form exists (qtbase_de.qm, qtbase_pt_BR.qm).
    const QString qtFolder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!load(qtFolder + QLatin1String("/qtbase_") + language + QLatin1String(".qm")))
        load(qtFolder + QLatin1String("/qtbase_") + language.left(language.indexOf(u'_')) +
             QLatin1String(".qm"));
    return language;
}
