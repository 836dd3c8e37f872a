#pragma once

#include "foundation/Setting.h"

#include <QHash>
#include <QString>

// The custom style's handling settings with their registered defaults.
QHash<QString, qint64> customHandlingDefaults();

// A snapshot of the settings the engine reads, taken when a job is queued.
// Defaults are the declared defaults.
struct ConversionSettings
{
    qint64 conversionPreset = kConversionPresetSetting.defaultValue,
           ac3Downmix = kAC3DownmixSetting.defaultValue,
           dtsDownmix = kDTSDownmixSetting.defaultValue,
           ac3SurroundBitrate = kAC3SurroundBitrateSetting.defaultValue,
           ac3StereoBitrate = kAC3StereoBitrateSetting.defaultValue,
           aacBitrate = kAACBitrateSetting.defaultValue,
           includeSurroundTrack = kIncludeSurroundTrackSetting.defaultValue,
           includeSurroundTrackTranscoded = kIncludeSurroundTrackTranscodedSetting.defaultValue,
           includeSurroundTrackDisabled = kIncludeSurroundTrackDisabledSetting.defaultValue,
           disableBuiltinSubtitles = kDisableBuiltinSubtitlesSetting.defaultValue,
           defaultAudio = kDefaultAudioSetting.defaultValue,
           keepLanguageAudio = kKeepLanguageAudioSetting.defaultValue,
           keepLanguageSubtitles = kKeepLanguageSubtitlesSetting.defaultValue,
           keepAllAudioTracks = kKeepAllAudioTracksSetting.defaultValue,
           streamableOutput = kStreamableOutputSetting.defaultValue,
           writeTags = kWriteTagsSetting.defaultValue,
           keepForcedSubtitles = kKeepForcedSubtitlesSetting.defaultValue;
    // After the conversion: AutoClean, AutoRemove, AutoRemoveType,
    // QuitAfterConversion.
    qint64 autoClean = kAutoCleanSetting.defaultValue, autoRemove = kAutoRemoveSetting.defaultValue,
           autoRemoveType = kAutoRemoveTypeSetting.defaultValue,
           quitAfterConversion = kQuitAfterConversionSetting.defaultValue;
    QString extraLanguages; // ExtraLanguages: "jpn, fr"
    // The custom style's "Custom...Handling" values by key; a missing key reads 0.
    QHash<QString, qint64> custom = customHandlingDefaults();

    qint64 customValue(const QString& key) const;
    // Reads every key the engine uses from the settings store.
    static ConversionSettings fromStore();
};

// The ExtraLanguages setting as one comma-separated text.
QString extraLanguagesSetting();

// The bit rate texts of the index settings. Indexes outside the lists are
// clamped to the nearest entry.
QString ac3SurroundBitrateText(qint64 index); // "384k", "448k", "512k", "576k"
QString ac3StereoBitrateText(qint64 index);   // "160k", "192k", "224k", "256k"
QString aacBitrateText(qint64 index);         // "96000", "128000", "160000", "192000"
