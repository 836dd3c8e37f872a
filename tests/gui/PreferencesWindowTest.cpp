#include "shell/ui/PreferencesWindow.h"

#include "GuiTestKit.h"
#include "common/TestSupport.h"
#include "foundation/SettingsAccess.h"
#include "foundation/SettingsKeys.h"
#include "shell/AppDelegate.h"
#include "shell/ui/DestinationComboBox.h"
#include "shell/ui/MainWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QStackedWidget>
#include <QTest>

using PreferencesTest = GuiTestBase;

namespace {

QCheckBox* checkBoxNamed(QWidget* window, const QString& text)
{
    for (QCheckBox* box : window->findChildren<QCheckBox*>())
        if (box->text() == text)
            return box;
    return nullptr;
}

} // namespace

TEST_F(PreferencesTest, ControlsWriteTheirKeysAtOnce)
{
    PreferencesWindow* prefs = window->preferencesWindow();

    QCheckBox* downmix = checkBoxNamed(prefs, "Downmix AC3 5.1 to stereo");
    ASSERT_NE(downmix, nullptr);
    EXPECT_FALSE(downmix->isChecked());
    downmix->click();
    EXPECT_EQ(defaultInt(kAC3DownmixKey), 1);

    auto* custom = prefs->findChild<QComboBox*>(kCustomDTS51HandlingKey);
    ASSERT_NE(custom, nullptr);
    EXPECT_EQ(custom->count(), 4);
    EXPECT_EQ(custom->itemText(0), "AAC (via WAV, slow)");
    custom->setCurrentIndex(3);
    EXPECT_EQ(defaultInt(kCustomDTS51HandlingKey), 3);

    // The language pop-up skips the value 1.
    for (QComboBox* combo : prefs->findChildren<QComboBox*>()) {
        if (combo->count() == 8 && combo->itemText(1) == "English") {
            combo->setCurrentIndex(1);
            EXPECT_EQ(defaultInt(kDefaultAudioKey), 2);
            combo->setCurrentIndex(7);
            EXPECT_EQ(defaultInt(kDefaultAudioKey), 8);
        }
    }
}

TEST_F(PreferencesTest, ControlsShowTheStoredValues)
{
    setDefaultInt(kAACBitrateKey, 3);
    setDefaultInt(kDefaultAudioKey, 4);
    setDefaultInt(kAutoCleanKey, 1);
    PreferencesWindow* prefs = window->preferencesWindow();
    EXPECT_TRUE(checkBoxNamed(prefs, "Remove finished movies from the list")->isChecked());
    EXPECT_TRUE(
        checkBoxNamed(prefs, "Leave out the subtitle tracks inside the movie")->isChecked());
    bool sawAac = false, sawLanguage = false;
    for (QComboBox* combo : prefs->findChildren<QComboBox*>()) {
        if (combo->itemText(0) == "96 kbit/s") {
            sawAac = true;
            EXPECT_EQ(combo->currentText(), "192 kbit/s");
        }
        if (combo->itemText(1) == "English") {
            sawLanguage = true;
            EXPECT_EQ(combo->currentText(), "French");
        }
    }
    EXPECT_TRUE(sawAac);
    EXPECT_TRUE(sawLanguage);
}

TEST_F(PreferencesTest, StyleSwitchesTheOptionView)
{
    setDefaultInt(kConversionPresetKey, 1);
    PreferencesWindow* prefs = window->preferencesWindow();
    EXPECT_EQ(prefs->styleComboBox()->currentIndex(), 1);
    EXPECT_EQ(prefs->styleOptions()->currentIndex(), 1);
    prefs->styleComboBox()->setCurrentIndex(2);
    EXPECT_EQ(defaultInt(kConversionPresetKey), 2);
    EXPECT_EQ(prefs->styleOptions()->currentIndex(), 2);
}

TEST_F(PreferencesTest, DestinationPopUpStoresTheDefault)
{
    PreferencesWindow* prefs = window->preferencesWindow();
    delegate->chooseNewDestination(0, makeTempDir("Movies"));
    DestinationComboBox* combo = prefs->destinationComboBox();
    ASSERT_EQ(combo->count(), 5);
    EXPECT_EQ(combo->currentIndex(), 2);
    EXPECT_EQ(defaultInt(kDefaultDestinationKey), 2);
    combo->setCurrentIndex(0);
    emit combo->activated(0);
    EXPECT_EQ(defaultInt(kDefaultDestinationKey), 0);
}

TEST_F(PreferencesTest, LanguageControlsKeepTheUsersLanguages)
{
    setDefaultString(kExtraLanguagesKey, "jpn");
    PreferencesWindow* prefs = window->preferencesWindow();
    auto* extra = prefs->findChild<QLineEdit*>(kExtraLanguagesKey);
    ASSERT_NE(extra, nullptr);
    EXPECT_EQ(extra->text(), "jpn");
    extra->clear();
    QTest::keyClicks(extra, " ja, fr ");
    EXPECT_EQ(defaultString(kExtraLanguagesKey), "ja, fr");

    QCheckBox* audio =
        checkBoxNamed(prefs, "Also keep the other audio tracks in my languages (up to 4)");
    ASSERT_NE(audio, nullptr);
    audio->click();
    EXPECT_EQ(defaultInt(kKeepLanguageAudioKey), 1);

    // Choosing subtitles by language needs the subtitles inside the movie.
    QCheckBox* subtitles =
        checkBoxNamed(prefs, "Keep only those in my languages (and untagged ones)");
    QCheckBox* leaveOut = checkBoxNamed(prefs, "Leave out the subtitle tracks inside the movie");
    ASSERT_NE(subtitles, nullptr);
    EXPECT_FALSE(subtitles->isEnabled());
    leaveOut->click();
    ASSERT_TRUE(subtitles->isEnabled());
    subtitles->click();
    EXPECT_EQ(defaultInt(kKeepLanguageSubtitlesKey), 1);
    EXPECT_EQ(defaultInt(kDisableBuiltinSubtitlesKey), 0);
}
