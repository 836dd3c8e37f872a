#include "ConvertOptions.h"

#include "Commands.h"
#include "engine/SubtitleTracks.h"

#include <QFileInfo>

std::optional<ConvertOptions> parseConvertOptions(const QStringList& args, QString& error,
                                                  bool watch)
{
    ConvertOptions options;
    options.watch = watch;
    options.recursive = watch;
    bool onlyFiles = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        if (onlyFiles || !arg.startsWith(u'-') || arg == QLatin1String("-")) {
            options.files.append(arg);
            continue;
        }
        if (arg == QLatin1String("--")) {
            onlyFiles = true;
            continue;
        }
        if (arg == QLatin1String("--m4v")) {
            options.m4v = true;
            continue;
        }
        if (arg == QLatin1String("--all-audio")) {
            options.allAudio = true;
            continue;
        }
        if (arg == QLatin1String("--no-tags")) {
            options.noTags = true;
            continue;
        }
        if (arg == QLatin1String("--no-sidecars")) {
            options.noSidecars = true;
            continue;
        }
        if (arg == QLatin1String("--recursive") || arg == QLatin1String("-r")) {
            options.recursive = true;
            continue;
        }
        if (arg == QLatin1String("--force")) {
            options.force = true;
            continue;
        }
        if (arg == QLatin1String("--json")) {
            options.json = true;
            continue;
        }
        if (arg == QLatin1String("--no-forced")) {
            options.noForced = true;
            continue;
        }
        if (arg == QLatin1String("--keep-languages") ||
            arg == QLatin1String("--no-keep-languages")) {
            options.keepLanguages = arg == QLatin1String("--keep-languages");
            continue;
        }
        const bool takesValue =
            arg == QLatin1String("--dest") || arg == QLatin1String("--style") ||
            arg == QLatin1String("--audio") || arg == QLatin1String("--subtitles") ||
            arg == QLatin1String("--jobs") || (watch && arg == QLatin1String("--settle"));
        if (!takesValue) {
            error = CommandLine::tr("unknown option '%1'").arg(arg);
            return std::nullopt;
        }
        if (i + 1 >= args.size()) {
            error = CommandLine::tr("option '%1' needs a value").arg(arg);
            return std::nullopt;
        }
        const QString value = args.at(++i);
        if (arg == QLatin1String("--dest")) {
            options.destination = value;
        } else if (arg == QLatin1String("--audio")) {
            options.audio = value;
        } else if (arg == QLatin1String("--subtitles")) {
            // A file of that name wins; else a choice of tracks.
            if (!QFileInfo(value).exists() && isSubtitleChoiceValue(value.toLower()))
                options.subtitleChoice = value.toLower();
            else
                options.subtitles = value;
        } else if (arg == QLatin1String("--jobs") || arg == QLatin1String("--settle")) {
            bool ok = false;
            const int number = value.toInt(&ok);
            const bool jobs = arg == QLatin1String("--jobs");
            if (!ok || number < (jobs ? 1 : 0) || number > (jobs ? 64 : 3600)) {
                error =
                    jobs
                        ? CommandLine::tr("--jobs takes a number from 1 to 64, not '%1'").arg(value)
                        : CommandLine::tr("--settle takes seconds from 0 to 3600, not '%1'")
                              .arg(value);
                return std::nullopt;
            }
            (jobs ? options.jobs : options.settleSeconds) = number;
        } else {
            static const QStringList styles = {"compatible", "fast", "custom"};
            const int style = int(styles.indexOf(value.toLower()));
            if (style < 0) {
                error = CommandLine::tr("--style takes compatible, fast or custom, not '%1'")
                            .arg(value);
                return std::nullopt;
            }
            options.style = style;
        }
    }
    if (options.files.isEmpty()) {
        error = options.recursive ? CommandLine::tr("no folder given")
                                  : CommandLine::tr("no movie given");
        return std::nullopt;
    }
    if (options.recursive && !options.subtitles.isEmpty()) {
        error = CommandLine::tr("--subtitles goes with a single movie, not a folder");
        return std::nullopt;
    }
    return options;
}

#include "inspection/AudioTrackChoice.h"
#include "inspection/Languages.h"

std::optional<int> chooseAudioTrack(const QList<AudioTrack>& tracks, const QString& audioOption,
                                    const QStringList& preferredLanguages, QString& error)
{
    if (tracks.isEmpty()) {
        // A movie without sound converts to its video alone, unless a track
        // was asked for.
        if (audioOption.isEmpty())
            return 0;
        error = CommandLine::tr("it has no audio track that ffmpeg can read");
        return std::nullopt;
    }
    if (audioOption.isEmpty()) {
        return bestAudioTrack(tracks, preferredLanguages).value_or(0);
    }
    bool isIndex = false;
    const int index = audioOption.toInt(&isIndex);
    if (isIndex) {
        if (index < 0 || index >= tracks.size()) {
            error = CommandLine::tr("it has no audio track %1 (tracks 0 to %2)")
                        .arg(index)
                        .arg(tracks.size() - 1);
            return std::nullopt;
        }
        return index;
    }
    const QString language = preferredLanguages3Letter({audioOption.toLower()}).value(0);
    const auto best = bestAudioTrack(tracks, {language}, 0);
    if (!best || tracks.at(*best).language != language) {
        error = CommandLine::tr("it has no audio track in the language '%1'").arg(audioOption);
        return std::nullopt;
    }
    return *best;
}
