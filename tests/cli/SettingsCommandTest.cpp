#include "TestSupport.h"

#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

struct CliRun
{
    int status = -1;
    QString out;
    QString err;
};

CliRun settings(const QString& file, const QStringList& args)
{
    QProcess process;
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(binDir() + "/vantreo-cli", QStringList{"--settings", file, "settings"} + args);
    CliRun run;
    if (!process.waitForFinished(60000))
        return run;
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

QString fileText(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace

TEST(SettingsCommand, ListsEveryKeyAndMarksDefaults)
{
    const QString file = makeTempDir("settings-list") + "/s.ini";
    ASSERT_EQ(settings(file, {"AACBitrate", "2"}).status, 0);
    const CliRun run = settings(file, {});
    ASSERT_EQ(run.status, 0) << qPrintable(run.err);
    const QStringList lines = run.out.split('\n');
    EXPECT_TRUE(lines.contains("AACBitrate = 2")) << qPrintable(run.out);
    EXPECT_TRUE(lines.contains("DisableBuiltinSubtitles = 1  (default)"));
    EXPECT_TRUE(lines.contains("CustomDTS51Handling = 2  (default)"));
    EXPECT_TRUE(lines.contains("DestinationNames = ()  (default)"));
    EXPECT_TRUE(lines.contains("ConversionPreset = 0  (not set)"));
    EXPECT_TRUE(lines.contains("KeepLanguageAudio = 0  (default)"));
    EXPECT_TRUE(lines.contains("KeepLanguageSubtitles = 0  (default)"));
    EXPECT_TRUE(lines.contains("ExtraLanguages =   (default)"));
    EXPECT_TRUE(lines.contains("File: " + file));
    for (const char* key : {"ConversionPreset",
                            "AC3Downmix",
                            "DTSDownmix",
                            "AC3StereoBitrate",
                            "AC3SurroundBitrate",
                            "IncludeSurroundTrack",
                            "IncludeSurroundTrackTranscoded",
                            "IncludeSurroundTrackDisabled",
                            "CustomAC3Handling",
                            "CustomAC351Handling",
                            "CustomMP3Handling",
                            "CustomUnknownHandling",
                            "DefaultAudio",
                            "DefaultExtension",
                            "DefaultDestination",
                            "DestinationBookmarks",
                            "AutoAdd",
                            "AutoClean",
                            "AutoRemove",
                            "AutoRemoveType",
                            "QuitAfterConversion",
                            "WelcomeShown"})
        EXPECT_TRUE(run.out.contains(QString("\n%1 = ").arg(key)) ||
                    run.out.startsWith(QString("%1 = ").arg(key)))
            << key;
    // Listing writes nothing.
    EXPECT_FALSE(fileText(file).contains("DisableBuiltinSubtitles"));
}

TEST(SettingsCommand, ShowsAndStoresValues)
{
    const QString file = makeTempDir("settings-set") + "/s.ini";
    EXPECT_EQ(settings(file, {"AC3SurroundBitrate"}).out, "1\n");
    EXPECT_EQ(settings(file, {"QuitAfterConversion"}).out, "0\n");

    const CliRun set = settings(file, {"AC3SurroundBitrate", "3"});
    EXPECT_EQ(set.status, 0);
    EXPECT_EQ(set.out, "AC3SurroundBitrate = 3\n");
    EXPECT_EQ(settings(file, {"AC3SurroundBitrate"}).out, "3\n");
    EXPECT_TRUE(fileText(file).contains("AC3SurroundBitrate=3"));

    EXPECT_EQ(settings(file, {"DefaultDestination", "-2"}).status, 0);
    EXPECT_EQ(settings(file, {"DefaultDestination"}).out, "-2\n");

    // A text value is kept as text, a percent sign and all.
    EXPECT_EQ(settings(file, {"WelcomeShown", "yes 100%"}).status, 0);
    EXPECT_EQ(settings(file, {"WelcomeShown"}).out, "yes 100%\n");
}

TEST(SettingsCommand, UnknownKeyOrTooManyArgumentsIsAUsageError)
{
    const QString file = makeTempDir("settings-bad") + "/s.ini";
    const CliRun unknown = settings(file, {"NoSuchKey"});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_TRUE(unknown.err.contains("NoSuchKey"));
    EXPECT_TRUE(unknown.err.contains("AACBitrate"));
    EXPECT_TRUE(unknown.err.contains("CustomUnknownHandling"));
    EXPECT_TRUE(unknown.out.isEmpty());

    EXPECT_EQ(settings(file, {"NoSuchKey", "1"}).status, 2);
    EXPECT_EQ(settings(file, {"AACBitrate", "1", "2"}).status, 2);
    EXPECT_FALSE(fileText(file).contains("NoSuchKey"));
    EXPECT_FALSE(fileText(file).contains("AACBitrate"));
}
