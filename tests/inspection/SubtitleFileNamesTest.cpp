#include "inspection/SubtitleFileNames.h"

#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

SubtitleFile named(const QString& name, const QString& language, bool forced = false,
                   bool sdh = false)
{
    return {"/m/" + name, language, forced, sdh};
}

SubtitleFile read(const QString& name)
{
    return subtitleFileFor("/m/Film.mkv", "/m/" + name);
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

const QByteArray kPackHeader("\x00\x00\x01\xBA\x44\x00", 6);
const QByteArray kSrt("1\n00:00:01,000 --> 00:00:02,000\nHello\n");

} // namespace

TEST(SubtitleFileNames, NamesSayLanguageForcedAndSdh)
{
    EXPECT_EQ(read("Film.en.srt"), named("Film.en.srt", "eng"));
    EXPECT_EQ(read("Film.eng.srt"), named("Film.eng.srt", "eng"));
    EXPECT_EQ(read("Film.German.srt"), named("Film.German.srt", "ger"));
    EXPECT_EQ(read("Film.pt-BR.srt"), named("Film.pt-BR.srt", "por"));
    EXPECT_EQ(read("Film.de.forced.srt"), named("Film.de.forced.srt", "ger", true));
    EXPECT_EQ(read("Film.fr.sdh.srt"), named("Film.fr.sdh.srt", "fre", false, true));
    EXPECT_EQ(read("Film.es.vtt"), named("Film.es.vtt", "spa"));
    EXPECT_EQ(read("Film.srt"), named("Film.srt", ""));
    EXPECT_EQ(read("Film.English.SDH.srt"), named("Film.English.SDH.srt", "eng", false, true));
    EXPECT_EQ(read("Film.forced.srt"), named("Film.forced.srt", "", true));
    // "hi" is hearing impaired, never Hindi; Hindi is "hin" or its name.
    EXPECT_EQ(read("Film.hi.srt"), named("Film.hi.srt", "", false, true));
    EXPECT_EQ(read("Film.en.HI.srt"), named("Film.en.HI.srt", "eng", false, true));
    EXPECT_EQ(read("Film.Hindi.cc.srt"), named("Film.Hindi.cc.srt", "hin", false, true));
    // Other separators, regions, terminological codes and native names.
    for (const QString entry : {"Film_eng.srt>eng", "Film - English.srt>eng", "Film.en_US.srt>eng",
                                "Film.zh-Hans.srt>chi", "Film.es-419.srt>spa", "Film.deu.srt>ger",
                                "Film.FRA.srt>fre", "Film.Deutsch.srt>ger", "Film.Français.srt>fre",
                                "Film.español.srt>spa", "Film.Portuguese (Brazil).srt>por"})
        EXPECT_EQ(read(entry.section(u'>', 0, 0)).language, entry.section(u'>', 1))
            << qPrintable(entry);
    EXPECT_EQ(read("Film.English-SDH.srt"), named("Film.English-SDH.srt", "eng", false, true));
    // A name of its own is read after its first part.
    EXPECT_EQ(read("Other.it.srt").language, "ita");
    EXPECT_EQ(read("English.srt").language, "");
}

TEST(SubtitleFileNames, OtherTokensAreNoLanguageAndTheFirstLanguageWins)
{
    for (const QString name :
         {"Film.avi.srt", "Film.x26.srt", "Film.720p.srt", "Film.default.srt", "Film.Part2.srt",
          "Film.new.srt", "Film.PAL.srt", "Film.xx.srt", "Film.abc.srt", "Film.Italy.srt"})
        EXPECT_EQ(read(name), named(name, "")) << qPrintable(name);
    EXPECT_EQ(read("Film.Part2.fr.en.srt").language, "fre");
    EXPECT_EQ(read("Film.default.English.de.srt").language, "eng");
}

TEST(SubtitleFileNames, KindByExtensionAndFirstBytes)
{
    const QString dir = makeTempDir("kinds");
    writeFile(dir + "/image.sub", kPackHeader);
    writeFile(dir + "/text.SUB", "{1}{25}Hello\n");
    writeFile(dir + "/short.sub", "{");
    writeFile(dir + "/ebu.stl", "850STL25.01" + QByteArray(1013, ' '));
    writeFile(dir + "/spruce.stl", "00:00:01:00 , 00:00:02:00 , Hello\n");
    EXPECT_EQ(subtitleFileKind(dir + "/image.sub"), SubtitleFileKind::Image);
    EXPECT_EQ(subtitleFileKind(dir + "/text.SUB"), SubtitleFileKind::Text);
    EXPECT_EQ(subtitleFileKind(dir + "/short.sub"), SubtitleFileKind::Text);
    EXPECT_EQ(subtitleFileKind(dir + "/ebu.stl"), SubtitleFileKind::None);
    EXPECT_EQ(subtitleFileKind(dir + "/spruce.stl"), SubtitleFileKind::Text);
    EXPECT_EQ(subtitleFileKind("/m/a.SUP"), SubtitleFileKind::Image);
    EXPECT_EQ(subtitleFileKind("/m/a.idx"), SubtitleFileKind::Image);
    for (const QString& extension : textSubtitleExtensions()) {
        const QString name = "/m/a." + extension.toUpper();
        if (extension != "sub" && extension != "stl") {
            EXPECT_EQ(subtitleFileKind(name), SubtitleFileKind::Text) << qPrintable(name);
        }
    }
    EXPECT_EQ(subtitleFileKind("/m/a.txt"), SubtitleFileKind::None);
    EXPECT_EQ(subtitleFileKind("/m/a.mkv"), SubtitleFileKind::None);
}

TEST(SubtitleFileNames, FilesBesideTheMovieAreItsOwnOnly)
{
    const QString dir = makeTempDir("beside");
    for (const QString name :
         {"Film.mkv", "Film.en.srt", "Film.de.forced.SRT", "Film.es.VTT", "Film_eng.ass",
          "Film.Part2.MKV", "Film.Part2.en.srt", "Film.Part2.srt", ".Film.fr.srt", "Other.en.srt",
          "Film2.en.srt", "Film.txt", "Film.Sequel.de.srt"})
        writeFile(dir + "/" + name, kSrt);
    writeFile(dir + "/Film.Sequel.avi", "");
    writeFile(dir + "/Film.fr.sub", "{1}{25}Bonjour\n");
    writeFile(dir + "/Film.sub", kPackHeader);
    writeFile(dir + "/Film.SUP", "PG");
    writeFile(dir + "/Film.en.forced.idx", "# VobSub index file, v7");
    writeFile(dir + "/Film.en.forced.sub", kPackHeader);
    writeFile(dir + "/Film.it.idx", "# VobSub index file, v7");
    ASSERT_TRUE(QDir(dir).mkdir("Film.it.srt"));

    const SubtitleFilesBeside found = subtitleFilesBeside(dir + "/Film.mkv");
    const QList<SubtitleFile> expected{{dir + "/Film.de.forced.SRT", "ger", true, false},
                                       {dir + "/Film.en.srt", "eng"},
                                       {dir + "/Film.es.VTT", "spa"},
                                       {dir + "/Film.fr.sub", "fre"},
                                       {dir + "/Film_eng.ass", "eng"}};
    EXPECT_EQ(found.text, expected);
    // A .sup and an .idx with its .sub are read as text; half a pair cannot be.
    EXPECT_EQ(found.picture, (QList<SubtitleFile>{{dir + "/Film.en.forced.idx", "eng", true, false},
                                                  {dir + "/Film.SUP", ""}}));
    EXPECT_EQ(found.unreadable, (QStringList{dir + "/Film.it.idx", dir + "/Film.sub"}));

    const SubtitleFilesBeside part2 = subtitleFilesBeside(dir + "/Film.Part2.MKV");
    EXPECT_EQ(part2.text, (QList<SubtitleFile>{{dir + "/Film.Part2.en.srt", "eng"},
                                               {dir + "/Film.Part2.srt", ""}}));
    EXPECT_TRUE(part2.picture.isEmpty() && part2.unreadable.isEmpty());
    EXPECT_TRUE(subtitleFilesBeside(dir + "/Missing/Film.mkv").text.isEmpty());
}

TEST(SubtitleFileNames, OrderPutsPreferredLanguagesFirstThenNames)
{
    const QList<SubtitleFile> files{named("Film.b.srt", ""),
                                    named("Film.de.srt", "ger"),
                                    named("Film.fr.srt", "fre"),
                                    named("film.EN.srt", "eng"),
                                    named("Film.en.sdh.srt", "eng", false, true),
                                    named("Film.de.srt", "ger"),
                                    named("Film.a.srt", ""),
                                    named("Film.A.srt", "")};
    QStringList names;
    for (const SubtitleFile& file : orderedSubtitleFiles(files, {"en-GB", "deu"}))
        names.append(file.path.mid(3));
    EXPECT_EQ(names, (QStringList{"Film.en.sdh.srt", "film.EN.srt", "Film.de.srt", "Film.A.srt",
                                  "Film.a.srt", "Film.b.srt", "Film.fr.srt"}));
    EXPECT_EQ(orderedSubtitleFiles(files, {}).first().path, "/m/Film.A.srt");
}
