#pragma once

#include "foundation/SettingsKeys.h"

#include <QList>
#include <QString>
#include <QVariant>
#include <QVariantHash>
#include <QVariantList>
#include <QtGlobal>

// A setting as the program declares it: its key in the settings file, the
// value it has until the user changes it, and whether that value is
// registered (the settings command and the preferences read registered
// values; an unregistered setting reads as its default all the same).
template <typename T> struct Setting
{
    const char* key;
    T defaultValue;
    bool registered = true;

    QString name() const { return QString::fromLatin1(key); }
};

// The number settings, in the order the settings file lists them.
inline constexpr Setting<qint64> kConversionPresetSetting{kConversionPresetKey, 0, false};
inline constexpr Setting<qint64> kAC3DownmixSetting{kAC3DownmixKey, 0};
inline constexpr Setting<qint64> kDTSDownmixSetting{kDTSDownmixKey, 0};
inline constexpr Setting<qint64> kAC3StereoBitrateSetting{kAC3StereoBitrateKey, 1};
inline constexpr Setting<qint64> kAC3SurroundBitrateSetting{kAC3SurroundBitrateKey, 1};
inline constexpr Setting<qint64> kAACBitrateSetting{kAACBitrateKey, 1};
inline constexpr Setting<qint64> kIncludeSurroundTrackSetting{kIncludeSurroundTrackKey, 0, false};
inline constexpr Setting<qint64> kIncludeSurroundTrackTranscodedSetting{
    kIncludeSurroundTrackTranscodedKey, 1};
inline constexpr Setting<qint64> kIncludeSurroundTrackDisabledSetting{
    kIncludeSurroundTrackDisabledKey, 1};
inline constexpr Setting<qint64> kDisableBuiltinSubtitlesSetting{kDisableBuiltinSubtitlesKey, 1};
inline constexpr Setting<qint64> kDefaultAudioSetting{kDefaultAudioKey, 0};
inline constexpr Setting<qint64> kKeepLanguageAudioSetting{kKeepLanguageAudioKey, 0};
inline constexpr Setting<qint64> kKeepLanguageSubtitlesSetting{kKeepLanguageSubtitlesKey, 0};
inline constexpr Setting<qint64> kKeepAllAudioTracksSetting{kKeepAllAudioTracksKey, 0};
inline constexpr Setting<qint64> kAddSubtitleFilesBesideMovieSetting{
    kAddSubtitleFilesBesideMovieKey, 1};
inline constexpr Setting<qint64> kStreamableOutputSetting{kStreamableOutputKey, 1};
inline constexpr Setting<qint64> kWriteTagsSetting{kWriteTagsKey, 1};
inline constexpr Setting<qint64> kKeepForcedSubtitlesSetting{kKeepForcedSubtitlesKey, 1};
inline constexpr Setting<qint64> kCustomAC3HandlingSetting{kCustomAC3HandlingKey, 3};
inline constexpr Setting<qint64> kCustomAC351HandlingSetting{kCustomAC351HandlingKey, 3};
inline constexpr Setting<qint64> kCustomDTSHandlingSetting{"CustomDTSHandling", 0, false};
inline constexpr Setting<qint64> kCustomDTS51HandlingSetting{kCustomDTS51HandlingKey, 2};
inline constexpr Setting<qint64> kCustomMP3HandlingSetting{kCustomMP3HandlingKey, 1};
inline constexpr Setting<qint64> kCustomMP351HandlingSetting{"CustomMP351Handling", 0, false};
inline constexpr Setting<qint64> kCustomUnknownHandlingSetting{kCustomUnknownHandlingKey, 1};
inline constexpr Setting<qint64> kDefaultExtensionSetting{kDefaultExtensionKey, 0, false};
inline constexpr Setting<qint64> kAutoAddSetting{kAutoAddKey, 0};
inline constexpr Setting<qint64> kAutoCleanSetting{kAutoCleanKey, 0};
inline constexpr Setting<qint64> kAutoRemoveSetting{kAutoRemoveKey, 0, false};
inline constexpr Setting<qint64> kAutoRemoveTypeSetting{kAutoRemoveTypeKey, 0, false};
inline constexpr Setting<qint64> kQuitAfterConversionSetting{kQuitAfterConversionKey, 0, false};
inline constexpr Setting<qint64> kProbeTimeoutSetting{kProbeTimeoutKey, 30};
inline constexpr Setting<qint64> kWelcomeShownSetting{kWelcomeShownKey, 0, false};

// The other settings: texts and lists.
inline const Setting<QString> kExtraLanguagesSetting{kExtraLanguagesKey, QString()};
inline const Setting<QString> kDefaultDestinationSetting{kDefaultDestinationKey, QString(), false};
inline const Setting<QVariantList> kDestinationBookmarksSetting{kDestinationBookmarksKey, {}};
inline const Setting<QVariantList> kDestinationNamesSetting{kDestinationNamesKey, {}};

// A declared setting of any type, as the settings file and the registered
// defaults see it.
struct DeclaredSetting
{
    QString key;
    QVariant defaultValue;
    bool registered = true;
};
template <typename T> DeclaredSetting declared(const Setting<T>& s)
{
    return {s.name(), QVariant::fromValue(s.defaultValue), s.registered};
}

// Every setting the program reads, in the order the settings command lists
// them.
const QList<DeclaredSetting>& declaredSettings();
// The registered defaults of every setting that has one.
QVariantHash registeredSettingDefaults();
// A number setting as stored, else its registered default.
qint64 readSetting(const Setting<qint64>& setting);
