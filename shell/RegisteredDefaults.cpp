#include "shell/RegisteredDefaults.h"

#include "foundation/SettingsKeys.h"
#include "foundation/SettingsStore.h"

#include <mutex>

QVariantHash registeredDefaultsTable()
{
    return {
        {kDestinationBookmarksKey, QVariantList{}},
        {kDestinationNamesKey, QVariantList{}},
        {kAC3DownmixKey, 0},
        {kDTSDownmixKey, 0},
        {kAutoAddKey, 0},
        {kAutoCleanKey, 0},
        {kDefaultAudioKey, 0},
        {kDisableBuiltinSubtitlesKey, 1},
        {kAC3StereoBitrateKey, 1},
        {kAC3SurroundBitrateKey, 1},
        {kAACBitrateKey, 1},
        {kIncludeSurroundTrackTranscodedKey, 1},
        {kIncludeSurroundTrackDisabledKey, 1},
        {kCustomAC3HandlingKey, 3},
        {kCustomAC351HandlingKey, 3},
        {kCustomDTS51HandlingKey, 2},
        {kCustomMP3HandlingKey, 1},
        {kCustomUnknownHandlingKey, 1},
        {kProbeTimeoutKey, 30},
        {kKeepLanguageAudioKey, 0},
        {kKeepLanguageSubtitlesKey, 0},
        {kExtraLanguagesKey, QString()},
        {kKeepAllAudioTracksKey, 0},
        {kAddSubtitleFilesBesideMovieKey, 1},
        {kStreamableOutputKey, 1},
        {kKeepForcedSubtitlesKey, 1},
    };
}

void registerDefaultSettings()
{
    static std::once_flag once;
    std::call_once(once,
                   [] { SettingsStore::instance().registerDefaults(registeredDefaultsTable()); });
}

QStringList allSettingsKeys()
{
    return {kConversionPresetKey,
            kAC3DownmixKey,
            kDTSDownmixKey,
            kAC3StereoBitrateKey,
            kAC3SurroundBitrateKey,
            kAACBitrateKey,
            kIncludeSurroundTrackKey,
            kIncludeSurroundTrackTranscodedKey,
            kIncludeSurroundTrackDisabledKey,
            kDisableBuiltinSubtitlesKey,
            kKeepLanguageAudioKey,
            kKeepLanguageSubtitlesKey,
            kExtraLanguagesKey,
            kKeepAllAudioTracksKey,
            kAddSubtitleFilesBesideMovieKey,
            kStreamableOutputKey,
            kKeepForcedSubtitlesKey,
            kCustomAC3HandlingKey,
            kCustomAC351HandlingKey,
            QStringLiteral("CustomDTSHandling"),
            kCustomDTS51HandlingKey,
            kCustomMP3HandlingKey,
            QStringLiteral("CustomMP351Handling"),
            kCustomUnknownHandlingKey,
            kDefaultAudioKey,
            kDefaultExtensionKey,
            kDefaultDestinationKey,
            kDestinationBookmarksKey,
            kDestinationNamesKey,
            kAutoAddKey,
            kAutoCleanKey,
            kAutoRemoveKey,
            kAutoRemoveTypeKey,
            kQuitAfterConversionKey,
            kProbeTimeoutKey,
            kWelcomeShownKey};
}
