#include "CliProcessKit.h"
#include "TestSupport.h"

#include <QFile>
#include <QHash>
#include <QProcess>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

using namespace clikit;

namespace {

struct Entry
{
    QString context;
    QString source;
    QStringList translations; // the numerus forms, or the one translation
    bool finished = false;
};

// The messages of a catalogue in the order they stand.
QList<Entry> readCatalogue(const QString& path)
{
    QList<Entry> entries;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return entries;
    QXmlStreamReader xml(&file);
    QString context;
    Entry entry;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        const auto name = xml.name();
        if (name == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (name == QLatin1String("message")) {
            entry = Entry{context, {}, {}, false};
        } else if (name == QLatin1String("source")) {
            entry.source = xml.readElementText();
        } else if (name == QLatin1String("translation")) {
            // unfinished, vanished and obsolete entries are not translations
            entry.finished = xml.attributes().value("type").isEmpty();
            QString text;
            while (!(xml.isEndElement() && xml.name() == QLatin1String("translation")) &&
                   !xml.atEnd()) {
                xml.readNext();
                if (xml.isStartElement() && xml.name() == QLatin1String("numerusform"))
                    entry.translations.append(xml.readElementText());
                else if (xml.isCharacters())
                    text += xml.text();
            }
            if (entry.translations.isEmpty())
                entry.translations.append(text);
            entries.append(entry);
        }
    }
    return entries;
}

// The placeholders a translation must keep: %1 … %99, %n and makeString's
// %@, %i and %li.
QStringList placeholders(const QString& text)
{
    static const QRegularExpression marker(QStringLiteral("%(\\d+|n|@|l?i)"));
    QStringList found;
    for (auto it = marker.globalMatch(text); it.hasNext();)
        found.append(it.next().captured(0));
    found.sort();
    return found;
}

QString missingTranslations(const QList<Entry>& texts, const QString& language)
{
    QHash<QString, Entry> catalogue;
    for (const Entry& e : readCatalogue(sourceDir() + "/translations/vantreo_" + language + ".ts"))
        catalogue.insert(e.context + u'\x1f' + e.source, e);
    QString missing;
    for (const Entry& text : texts) {
        const Entry e = catalogue.value(text.context + u'\x1f' + text.source);
        bool complete = e.finished && !e.translations.isEmpty();
        for (const QString& t : e.translations)
            complete = complete && !t.isEmpty() && placeholders(t) == placeholders(text.source);
        if (!complete)
            missing += QStringLiteral("  %1 [%2] %3\n").arg(language, text.context, text.source);
    }
    return missing;
}

} // namespace

// Every text the sources hand to the translation system has a finished German
// and French translation that keeps its placeholders.
TEST(Translations, EveryTextHasAFinishedGermanAndFrenchTranslation)
{
    const QString fresh = makeTempDir("lupdate") + "/extracted.ts";
    QProcess lupdate;
    lupdate.setWorkingDirectory(sourceDir());
    lupdate.start(QStringLiteral(VANTREO_TEST_LUPDATE),
                  {"-silent", "-no-obsolete", "-locations", "none", "-I", ".", "app", "shell",
                   "platform", "inspection", "foundation", "engine", "-ts", fresh});
    ASSERT_TRUE(lupdate.waitForFinished(120000));
    ASSERT_EQ(lupdate.exitCode(), 0) << lupdate.readAllStandardError().constData();
    const QList<Entry> texts = readCatalogue(fresh);
    ASSERT_GT(texts.size(), 100);
    const QString missing = missingTranslations(texts, "de") + missingTranslations(texts, "fr");
    EXPECT_TRUE(missing.isEmpty()) << "Texts without a finished translation:\n"
                                   << qPrintable(missing);
}

// The command line speaks the language LANGUAGE names and stays English in
// the C locale.
TEST(Translations, CommandLineSpeaksTheUsersLanguage)
{
    Home h = makeHome("languages");
    const QString missing = makeTempDir("languages-cwd") + "/missing.mkv";
    QProcessEnvironment env = h.env;
    env.insert("LANGUAGE", "de");
    Outcome r = run({"convert", missing}, env);
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("Nicht umgewandelt: " + missing + ": Datei nicht vorhanden"))
        << qPrintable(r.err);
    env.insert("LANGUAGE", "it:fr_FR");
    r = run({"convert", missing}, env);
    EXPECT_TRUE(r.err.contains("Non converti : " + missing + " : fichier introuvable"))
        << qPrintable(r.err);
    r = run({"convert", missing}, h.env);
    EXPECT_TRUE(r.err.contains("Not converted: " + missing + ": no such file"))
        << qPrintable(r.err);
}
