#include "Commands.h"
#include "ConvertOptions.h"
#include "ConvertSession.h"
#include "foundation/SettingsKeys.h"
#include "foundation/SettingsStore.h"
#include "foundation/ToolLocator.h"

#include <QFileInfo>
#include <cstdio>

int runWatchCommand(const QStringList& args)
{
    return runConvertCommand(args, true);
}

int runConvertCommand(const QStringList& args, bool watch)
{
    const char* command = watch ? "watch" : "convert";
    QString error;
    const auto options = parseConvertOptions(args, error, watch);
    if (!options) {
        std::fprintf(stderr, "vantreo-cli %s: %s\n", command, qPrintable(error));
        const QString synopsis =
            watch ? QStringLiteral("vantreo-cli watch [--dest DIR] [--settle SECONDS] "
                                   "[--jobs N] [--json] [--force] [convert options] DIR...")
                  : QStringLiteral("vantreo-cli convert [--dest DIR] [--style "
                                   "compatible|fast|custom] [--audio INDEX|LANG] [--subtitles "
                                   "FILE|all|none|LANG,...] [--no-forced] [--all-audio] "
                                   "[--no-sidecars] [--no-tags] [--m4v] "
                                   "[--keep-languages|--no-keep-languages] [--recursive] [--force] "
                                   "[--jobs N] [--json] FILE|DIR...");
        printLine(stderr, CommandLine::tr("Usage: %1").arg(synopsis));
        return kExitUsage;
    }
    if (watch) {
        for (const QString& folder : options->files) {
            if (!QFileInfo(folder).isDir()) {
                printLine(stderr,
                          CommandLine::tr("vantreo-cli watch: '%1' is not a folder").arg(folder));
                return kExitUsage;
            }
        }
    }
    for (const char* tool : {"ffmpeg", "mediainfo", "MP4Box", "afconvert"}) {
        if (ToolLocator::find(QString::fromLatin1(tool)).isEmpty()) {
            std::fprintf(stderr, "vantreo-cli: %s\n",
                         qPrintable(ToolLocator::installHint(QString::fromLatin1(tool))));
            return kExitUsage;
        }
    }
    if (!options->destination.isEmpty() && !QFileInfo(options->destination).isDir()) {
        printLine(stderr, CommandLine::tr("vantreo-cli %1: --dest '%2' is not a folder")
                              .arg(QLatin1String(command), options->destination));
        return kExitUsage;
    }
    if (!options->subtitles.isEmpty() && !QFileInfo(options->subtitles).isFile()) {
        printLine(stderr, CommandLine::tr("vantreo-cli convert: subtitle file '%1' not found")
                              .arg(options->subtitles));
        return kExitUsage;
    }
    // This run's choices; nothing is written to the settings.
    if (options->style)
        SettingsStore::instance().setRunOverride(kConversionPresetKey, *options->style);
    if (options->m4v)
        SettingsStore::instance().setRunOverride(kDefaultExtensionKey, 1);
    if (options->keepLanguages) {
        const int keep = *options->keepLanguages ? 1 : 0;
        SettingsStore::instance().setRunOverride(kKeepLanguageAudioKey, keep);
        SettingsStore::instance().setRunOverride(kKeepLanguageSubtitlesKey, keep);
    }

    if (options->allAudio)
        SettingsStore::instance().setRunOverride(kKeepAllAudioTracksKey, 1);
    if (options->noSidecars)
        SettingsStore::instance().setRunOverride(kAddSubtitleFilesBesideMovieKey, 0);
    if (options->noTags)
        SettingsStore::instance().setRunOverride(kWriteTagsKey, 0);
    if (options->noForced)
        SettingsStore::instance().setRunOverride(kKeepForcedSubtitlesKey, 0);

    ConvertSession session(*options);
    return session.run();
}
