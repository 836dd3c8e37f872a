#include "foundation/Setting.h"

#include "foundation/SettingsAccess.h"

const QList<DeclaredSetting>& declaredSettings()
{
    static const QList<DeclaredSetting> settings{
        declared(kConversionPresetSetting),
        declared(kAC3DownmixSetting),
        declared(kDTSDownmixSetting),
        declared(kAC3StereoBitrateSetting),
        declared(kAC3SurroundBitrateSetting),
        declared(kAACBitrateSetting),
        declared(kIncludeSurroundTrackSetting),
        declared(kIncludeSurroundTrackTranscodedSetting),
        declared(kIncludeSurroundTrackDisabledSetting),
        declared(kDisableBuiltinSubtitlesSetting),
        declared(kKeepLanguageAudioSetting),
        declared(kKeepLanguageSubtitlesSetting),
        declared(kExtraLanguagesSetting),
        declared(kKeepAllAudioTracksSetting),
        declared(kAddSubtitleFilesBesideMovieSetting),
        declared(kStreamableOutputSetting),
        declared(kWriteTagsSetting),
        declared(kKeepForcedSubtitlesSetting),
        declared(kCustomAC3HandlingSetting),
        declared(kCustomAC351HandlingSetting),
        declared(kCustomDTSHandlingSetting),
        declared(kCustomDTS51HandlingSetting),
        declared(kCustomMP3HandlingSetting),
        declared(kCustomMP351HandlingSetting),
        declared(kCustomUnknownHandlingSetting),
        declared(kDefaultAudioSetting),
        declared(kDefaultExtensionSetting),
        declared(kDefaultDestinationSetting),
        declared(kDestinationBookmarksSetting),
        declared(kDestinationNamesSetting),
        declared(kAutoAddSetting),
        declared(kAutoCleanSetting),
        declared(kAutoRemoveSetting),
        declared(kAutoRemoveTypeSetting),
        declared(kQuitAfterConversionSetting),
        declared(kProbeTimeoutSetting),
        declared(kWelcomeShownSetting),
    };
    return settings;
}

QVariantHash registeredSettingDefaults()
{
    QVariantHash table;
    for (const DeclaredSetting& s : declaredSettings()) {
        if (!s.registered)
            continue;
        // Numbers are registered as the int the settings file reads back.
        table.insert(s.key, s.defaultValue.typeId() == QMetaType::LongLong
                                ? QVariant(s.defaultValue.toInt())
                                : s.defaultValue);
    }
    return table;
}

qint64 readSetting(const Setting<qint64>& setting)
{
    return defaultInt(setting.name());
}
