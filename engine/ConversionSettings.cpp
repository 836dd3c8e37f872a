#include "engine/ConversionSettings.h"

#include "foundation/SettingsAccess.h"
#include "foundation/SettingsKeys.h"

#include <algorithm>
#include <array>

namespace {

QString entry(const std::array<const char*, 4>& list, qint64 index)
{
    return QString::fromLatin1(list[std::size_t(std::clamp<qint64>(index, 0, 3))]);
}

} // namespace

QString extraLanguagesSetting()
{
    // Written by hand into the settings file without quotes, "jpn, fr"
    // reads back as a list of two strings.
    const QVariant value = defaultObject(kExtraLanguagesKey);
    if (value.typeId() == QMetaType::QStringList || value.typeId() == QMetaType::QVariantList)
        return value.toStringList().join(u',');
    return value.isValid() ? value.toString() : QString();
}

qint64 ConversionSettings::customValue(const QString& key) const
{
    return custom.value(key, 0);
}

QHash<QString, qint64> customHandlingDefaults()
{
    QHash<QString, qint64> values;
    for (const Setting<qint64>& s :
         {kCustomAC3HandlingSetting, kCustomAC351HandlingSetting, kCustomDTS51HandlingSetting,
          kCustomMP3HandlingSetting, kCustomUnknownHandlingSetting})
        values.insert(s.name(), s.defaultValue);
    return values;
}

ConversionSettings ConversionSettings::fromStore()
{
    ConversionSettings s;
    s.conversionPreset = readSetting(kConversionPresetSetting);
    s.ac3Downmix = readSetting(kAC3DownmixSetting);
    s.dtsDownmix = readSetting(kDTSDownmixSetting);
    s.ac3SurroundBitrate = readSetting(kAC3SurroundBitrateSetting);
    s.ac3StereoBitrate = readSetting(kAC3StereoBitrateSetting);
    s.aacBitrate = readSetting(kAACBitrateSetting);
    s.includeSurroundTrack = readSetting(kIncludeSurroundTrackSetting);
    s.includeSurroundTrackTranscoded = readSetting(kIncludeSurroundTrackTranscodedSetting);
    s.includeSurroundTrackDisabled = readSetting(kIncludeSurroundTrackDisabledSetting);
    s.disableBuiltinSubtitles = readSetting(kDisableBuiltinSubtitlesSetting);
    s.defaultAudio = readSetting(kDefaultAudioSetting);
    s.keepLanguageAudio = readSetting(kKeepLanguageAudioSetting);
    s.keepLanguageSubtitles = readSetting(kKeepLanguageSubtitlesSetting);
    s.extraLanguages = extraLanguagesSetting();
    s.keepAllAudioTracks = readSetting(kKeepAllAudioTracksSetting);
    s.streamableOutput = readSetting(kStreamableOutputSetting);
    s.keepForcedSubtitles = readSetting(kKeepForcedSubtitlesSetting);
    s.writeTags = readSetting(kWriteTagsSetting);
    s.autoClean = readSetting(kAutoCleanSetting);
    s.autoRemove = readSetting(kAutoRemoveSetting);
    s.autoRemoveType = readSetting(kAutoRemoveTypeSetting);
    s.quitAfterConversion = readSetting(kQuitAfterConversionSetting);
    s.custom.clear();
    for (const Setting<qint64>& key :
         {kCustomAC3HandlingSetting, kCustomAC351HandlingSetting, kCustomDTSHandlingSetting,
          kCustomDTS51HandlingSetting, kCustomMP3HandlingSetting, kCustomMP351HandlingSetting,
          kCustomUnknownHandlingSetting})
        s.custom.insert(key.name(), readSetting(key));
    return s;
}

QString ac3SurroundBitrateText(qint64 index)
{
    return entry({"384k", "448k", "512k", "576k"}, index);
}

QString ac3StereoBitrateText(qint64 index)
{
    return entry({"160k", "192k", "224k", "256k"}, index);
}

QString aacBitrateText(qint64 index)
{
    return entry({"96000", "128000", "160000", "192000"}, index);
}
