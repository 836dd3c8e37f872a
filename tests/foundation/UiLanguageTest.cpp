#include "foundation/UiLanguage.h"

#include <gtest/gtest.h>

TEST(UiLanguage, FirstSetVariableDecidesAsGettextDoes)
{
    // LANGUAGE is a list; every entry gives its territory form and language.
    EXPECT_EQ(uiLanguages("fr_CA:de", "", "", "en_US.UTF-8"), QStringList({"fr_CA", "fr", "de"}));
    // LC_ALL before LC_MESSAGES before LANG; code set and modifier go.
    EXPECT_EQ(uiLanguages("", "de_AT.UTF-8@euro", "fr_FR", "it_IT"), QStringList({"de_AT", "de"}));
    EXPECT_EQ(uiLanguages("", "", "fr_FR.UTF-8", "de_DE"), QStringList({"fr_FR", "fr"}));
    EXPECT_EQ(uiLanguages("", "", "", "de"), QStringList({"de"}));
    // C and POSIX in any form are English; LANGUAGE wins over C.UTF-8 but a
    // plain C locale keeps the messages English whatever LANGUAGE says.
    EXPECT_EQ(uiLanguages("", "", "", "C.UTF-8"), QStringList({"en"}));
    EXPECT_EQ(uiLanguages("de", "", "", "C.UTF-8"), QStringList({"de"}));
    EXPECT_EQ(uiLanguages("de", "", "C", "de_DE.UTF-8"), QStringList({"en"}));
    EXPECT_EQ(uiLanguages("de", "POSIX", "", ""), QStringList({"en"}));
    EXPECT_EQ(uiLanguages("", "", "", ""), QStringList());
}

TEST(UiLanguage, FirstCandidateWithACatalogueOrEnglishWins)
{
    const QStringList available = {"de", "fr"};
    EXPECT_EQ(chosenCatalogue({"it_IT", "it", "fr_BE", "fr"}, available), "fr");
    EXPECT_EQ(chosenCatalogue({"en_GB", "en", "de"}, available), "");
    EXPECT_EQ(chosenCatalogue({"en"}, available), "");
    EXPECT_EQ(chosenCatalogue({"pt_BR", "pt"}, available), "");
    EXPECT_EQ(chosenCatalogue({"pt_BR", "pt"}, {"pt_BR"}), "pt_BR");
}
