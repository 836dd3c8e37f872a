#include "foundation/SettingsStore.h"

#include "TestSupport.h"
#include "foundation/SettingsAccess.h"
#include "foundation/SettingsKeys.h"
#include "shell/RegisteredDefaults.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QSettings>
#include <gtest/gtest.h>

namespace {

QString readText(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

// Runs `vantreo-cli --settings FILE settings ARGS…`; answers standard output.
QString cliSettings(const QString& file, const QStringList& args, int* status = nullptr)
{
    QProcess process;
    process.setProcessEnvironment(englishEnvironment());
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(binDir() + "/vantreo-cli", QStringList{"--settings", file, "settings"} + args);
    process.waitForFinished(60000);
    if (status)
        *status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return QString::fromUtf8(process.readAllStandardOutput());
}

// Closes the file and opens it again, so what follows reads what was written.
void reopen(const QString& path)
{
    SettingsStore::instance().useFile(makeTempDir("elsewhere") + "/other.ini");
    SettingsStore::instance().useFile(path);
}

} // namespace

TEST(Settings, RegisteredDefaultsAnswerForUnsetKeysAndAreNeverWritten)
{
    const QVariantHash table = registeredDefaultsTable();
    const QHash<QString, int> numbers{{"AC3Downmix", 0},
                                      {"DTSDownmix", 0},
                                      {"AutoAdd", 0},
                                      {"AutoClean", 0},
                                      {"DefaultAudio", 0},
                                      {"DisableBuiltinSubtitles", 1},
                                      {"AC3StereoBitrate", 1},
                                      {"AC3SurroundBitrate", 1},
                                      {"AACBitrate", 1},
                                      {"IncludeSurroundTrackTranscoded", 1},
                                      {"IncludeSurroundTrackDisabled", 1},
                                      {"CustomAC3Handling", 3},
                                      {"CustomAC351Handling", 3},
                                      {"CustomDTS51Handling", 2},
                                      {"CustomMP3Handling", 1},
                                      {"CustomUnknownHandling", 1},
                                      {"ProbeTimeout", 30},
                                      {"KeepLanguageAudio", 0},
                                      {"KeepLanguageSubtitles", 0},
                                      {"KeepAllAudioTracks", 0},
                                      {"AddSubtitleFilesBesideMovie", 1},
                                      {"StreamableOutput", 1},
                                      {"KeepForcedSubtitles", 1},
                                      {"WriteTags", 1}};
    ASSERT_EQ(table.size(), 27);
    EXPECT_EQ(table.value(kExtraLanguagesKey), QVariant(QString()));
    for (auto it = numbers.begin(); it != numbers.end(); ++it) {
        ASSERT_TRUE(table.contains(it.key())) << qPrintable(it.key());
        EXPECT_EQ(table.value(it.key()).typeId(), QMetaType::Int) << qPrintable(it.key());
        EXPECT_EQ(table.value(it.key()).toInt(), it.value()) << qPrintable(it.key());
    }
    for (const char* key : {kDestinationBookmarksKey, kDestinationNamesKey}) {
        ASSERT_TRUE(table.contains(key));
        EXPECT_EQ(table.value(key).toList(), QVariantList{});
    }

    const QString path = makeTempDir("defaults") + "/fresh.ini";
    SettingsStore::instance().useFile(path);
    registerDefaultSettings();
    for (auto it = numbers.begin(); it != numbers.end(); ++it)
        EXPECT_EQ(defaultInt(it.key()), it.value()) << qPrintable(it.key());
    EXPECT_EQ(defaultInt(kConversionPresetKey), 0);
    EXPECT_EQ(defaultInt(kDefaultDestinationKey), 0);
    EXPECT_EQ(defaultInt(kWelcomeShownKey), 0);
    EXPECT_EQ(defaultInt("NoSuchKeyAtAll"), 0);
    EXPECT_FALSE(defaultArray("NoSuchKeyAtAll").has_value());
    ASSERT_TRUE(defaultArray(kDestinationBookmarksKey).has_value());
    EXPECT_TRUE(defaultArray(kDestinationBookmarksKey)->isEmpty());
    EXPECT_TRUE(defaultDataList(kDestinationBookmarksKey).isEmpty());

    setDefaultInt(kAACBitrateKey, 3);
    synchronize();
    EXPECT_EQ(defaultInt(kAACBitrateKey), 3);
    const QString text = readText(path);
    EXPECT_TRUE(text.contains("AACBitrate=3")) << qPrintable(text);
    for (auto it = table.begin(); it != table.end(); ++it) {
        if (it.key() != kAACBitrateKey) {
            EXPECT_FALSE(text.contains(it.key())) << qPrintable(it.key());
        }
    }
    // Removing the user's value brings the default back.
    SettingsStore::instance().removeValue(kAACBitrateKey);
    EXPECT_EQ(defaultInt(kAACBitrateKey), 1);
}

TEST(Settings, ValuesSurviveReopeningTheFile)
{
    const QString path = makeTempDir("roundtrip") + "/values.ini";
    SettingsStore::instance().useFile(path);

    const QByteArray notUtf8("\xff\xfe\x00\x01 )(,\"\n\\", 12);
    const QList<QByteArray> threeBlocks{QByteArray("/home/u/Movies"), notUtf8, QByteArray()};
    setDefaultInt("Int", -42);
    setDefaultInt("Big", 5000000000LL);
    setDefaultString("Text", "Hello, World; 100% \"quoted\" @at");
    setDefaultString("EmptyText", "");
    setDefaultArray("Strings0", {});
    setDefaultArray("Strings1", {QString("only")});
    setDefaultArray("Strings1Empty", {QString()});
    setDefaultArray("Strings3", {QString("a, b"), QString("@c"), QString::fromUtf8("Ünïcode")});
    setDefaultArray("Data0", {});
    setDefaultArray("Data1", {notUtf8});
    QVariantList three;
    for (const QByteArray& block : threeBlocks)
        three.append(block);
    setDefaultArray("Data3", three);
    synchronize();

    reopen(path);
    EXPECT_EQ(defaultInt("Int"), -42);
    EXPECT_EQ(defaultInt("Big"), 5000000000LL);
    EXPECT_EQ(defaultString("Text"), QString("Hello, World; 100% \"quoted\" @at"));
    EXPECT_EQ(defaultString("EmptyText"), QString(""));

    ASSERT_TRUE(defaultArray("Strings0").has_value());
    EXPECT_TRUE(defaultArray("Strings0")->isEmpty());
    ASSERT_TRUE(defaultArray("Strings1").has_value());
    EXPECT_EQ(defaultStringList("Strings1"), QStringList{"only"});
    EXPECT_EQ(defaultStringList("Strings1Empty"), QStringList{QString()});
    EXPECT_EQ(defaultStringList("Strings3"),
              (QStringList{"a, b", "@c", QString::fromUtf8("Ünïcode")}));

    ASSERT_TRUE(defaultArray("Data0").has_value());
    EXPECT_TRUE(defaultDataList("Data0").isEmpty());
    EXPECT_EQ(defaultDataList("Data1"), QList<QByteArray>{notUtf8});
    EXPECT_EQ(defaultDataList("Data3"), threeBlocks);

    // A string is not a list, and neither a string nor a list is a number.
    EXPECT_FALSE(defaultArray("Text").has_value());
    EXPECT_FALSE(defaultArray("Int").has_value());
    EXPECT_EQ(defaultInt("Text"), 0);
    EXPECT_EQ(defaultInt("Strings3"), 0);
    EXPECT_EQ(defaultInt("Strings1"), 0);
    EXPECT_FALSE(defaultString("Strings1").has_value());
}

TEST(Settings, AnotherProcessReadsWhatThisOneWroteAndTheOtherWayRound)
{
    const QString path = makeTempDir("crossprocess") + "/shared.ini";
    SettingsStore::instance().useFile(path);
    setDefaultInt(kAC3SurroundBitrateKey, 3);
    setDefaultArray(kDestinationNamesKey, {QString("Movies")});
    setDefaultArray(kDestinationBookmarksKey, {});
    synchronize();

    EXPECT_EQ(cliSettings(path, {kAC3SurroundBitrateKey}), "3\n");
    EXPECT_EQ(cliSettings(path, {kDestinationNamesKey}), "(Movies)\n");
    EXPECT_EQ(cliSettings(path, {kDestinationBookmarksKey}), "()\n");

    int status = -1;
    cliSettings(path, {kConversionPresetKey, "2"}, &status);
    EXPECT_EQ(status, 0);
    cliSettings(path, {kDefaultDestinationKey, "-1"}, &status);
    EXPECT_EQ(status, 0);
    reopen(path);
    EXPECT_EQ(defaultInt(kConversionPresetKey), 2);
    EXPECT_EQ(defaultInt(kDefaultDestinationKey), -1);
    // The child kept what this process wrote.
    EXPECT_EQ(defaultInt(kAC3SurroundBitrateKey), 3);
    EXPECT_EQ(defaultStringList(kDestinationNamesKey), QStringList{"Movies"});
    ASSERT_TRUE(defaultArray(kDestinationBookmarksKey).has_value());
    EXPECT_TRUE(defaultArray(kDestinationBookmarksKey)->isEmpty());
}

TEST(Settings, CorruptFileOrAFolderInItsPlaceReadsDefaults)
{
    registerDefaultSettings();
    const QString dir = makeTempDir("corrupt");
    const QString garbage = dir + "/garbage.ini";
    {
        QFile file(garbage);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        QByteArray bytes(65536, '\0');
        auto* gen = QRandomGenerator::global();
        for (char& c : bytes)
            c = char(gen->bounded(256));
        bytes.prepend("[General\n=\n@Variant(\xff\xff\nAACBitrate=@ByteArray(\n");
        file.write(bytes);
    }
    SettingsStore::instance().useFile(garbage);
    EXPECT_EQ(defaultInt(kDisableBuiltinSubtitlesKey), 1);
    EXPECT_EQ(defaultInt(kConversionPresetKey), 0);
    EXPECT_EQ(defaultStringList(kDestinationNamesKey), QStringList{});
    (void)SettingsStore::instance().userKeys();
    synchronize();

    // A folder where the file should be: nothing can be read or written.
    const QString folder = makeTempDir("corrupt-folder");
    SettingsStore::instance().useFile(folder);
    EXPECT_EQ(defaultInt(kCustomAC3HandlingKey), 3);
    setDefaultInt(kCustomAC3HandlingKey, 0);
    synchronize();
    EXPECT_TRUE(QFileInfo(folder).isDir());
}

TEST(Settings, UnreadableFileReadsDefaults)
{
    registerDefaultSettings();
    const QString unreadable = makeTempDir("unreadable") + "/unreadable.ini";
    {
        QFile file(unreadable);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[General]\nAACBitrate=3\n");
    }
    QFile::setPermissions(unreadable, QFileDevice::Permissions());
    SettingsStore::instance().useFile(unreadable);
    if (QFile(unreadable).open(QIODevice::ReadOnly))
        GTEST_SKIP() << "running as root: the file stays readable";
    EXPECT_EQ(defaultInt(kAACBitrateKey), 1);
    EXPECT_EQ(defaultInt(kDefaultAudioKey), 0);
    setDefaultInt(kAutoAddKey, 1);
    synchronize();
}

TEST(Settings, RunOverridesAnswerFirstAndAreNeverWritten)
{
    const QString path = makeTempDir("override") + "/o.ini";
    SettingsStore::instance().useFile(path);
    setDefaultInt(kConversionPresetKey, 2);
    SettingsStore::instance().setRunOverride(kDefaultExtensionKey, 1);
    EXPECT_EQ(defaultInt(kDefaultExtensionKey), 1);
    synchronize();
    EXPECT_FALSE(readText(path).contains(kDefaultExtensionKey));
    EXPECT_TRUE(readText(path).contains("ConversionPreset=2"));
}

TEST(Settings, ListsArePlainIniValuesAndOldBlobsStillRead)
{
    const QString path = makeTempDir("plainlists") + "/lists.ini";
    SettingsStore::instance().useFile(path);
    setDefaultArray(kDestinationNamesKey, {QString("Movies"), QString("TV, Series")});
    setDefaultArray(kDestinationBookmarksKey, {QByteArray("/home/u/Movies")});
    setDefaultArray("Empty", {});
    synchronize();
    const QString text = readText(path);
    EXPECT_FALSE(text.contains("@Variant")) << qPrintable(text);
    EXPECT_TRUE(text.contains("[DestinationNames]\n1=Movies\n2=\"TV, Series\"\nsize=2"))
        << qPrintable(text);
    EXPECT_TRUE(text.contains("[DestinationBookmarks]\n1=/home/u/Movies\nsize=1"))
        << qPrintable(text);
    EXPECT_TRUE(text.contains("[Empty]\nsize=0")) << qPrintable(text);
    // A list is one key, and replacing it by a plain value leaves nothing behind.
    EXPECT_TRUE(SettingsStore::instance().userKeys().contains(kDestinationNamesKey));
    EXPECT_FALSE(SettingsStore::instance().userKeys().contains("DestinationNames/1"));
    EXPECT_TRUE(SettingsStore::instance().hasUserValue("Empty"));
    setDefaultString("Empty", "now text");
    synchronize();
    EXPECT_FALSE(readText(path).contains("[Empty]"));
    EXPECT_EQ(defaultString("Empty"), QString("now text"));

    // A file written by an earlier version: lists wrapped in a map blob.
    const QString old = makeTempDir("oldlists") + "/old.ini";
    {
        QSettings earlier(old, QSettings::IniFormat);
        earlier.setValue(kDestinationNamesKey,
                         QVariantMap{{"@list", QVariantList{QString("Films")}}});
        earlier.setValue(kDestinationBookmarksKey, QVariantMap{{"@list", QVariantList{}}});
    }
    ASSERT_TRUE(readText(old).contains("@Variant"));
    SettingsStore::instance().useFile(old);
    EXPECT_EQ(defaultStringList(kDestinationNamesKey), QStringList{"Films"});
    ASSERT_TRUE(defaultArray(kDestinationBookmarksKey).has_value());
    EXPECT_TRUE(defaultArray(kDestinationBookmarksKey)->isEmpty());
    // Written again, they become plain.
    setDefaultArray(kDestinationNamesKey, {QString("Films"), QString("Series")});
    synchronize();
    reopen(old);
    EXPECT_EQ(defaultStringList(kDestinationNamesKey), (QStringList{"Films", "Series"}));
    EXPECT_FALSE(readText(old).contains("DestinationNames=@Variant"));
}
