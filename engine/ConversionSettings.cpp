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

// Every handling key the custom style can form, including the two that have
// no registered default (stereo DTS, 5.1 MP3).
constexpr std::array<const char*, 7> kCustomKeys = {
    "CustomAC3Handling", "CustomAC351Handling", "CustomDTSHandling",    "CustomDTS51Handling",
    "CustomMP3Handling", "CustomMP351Handling", "CustomUnknownHandling"};

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

ConversionSettings ConversionSettings::fromStore()
{
    ConversionSettings s;
    s.conversionPreset = defaultInt(kConversionPresetKey);
    s.ac3Downmix = defaultInt(kAC3DownmixKey);
    s.dtsDownmix = defaultInt(kDTSDownmixKey);
    s.ac3SurroundBitrate = defaultInt(kAC3SurroundBitrateKey);
    s.ac3StereoBitrate = defaultInt(kAC3StereoBitrateKey);
    s.aacBitrate = defaultInt(kAACBitrateKey);
    s.includeSurroundTrack = defaultInt(kIncludeSurroundTrackKey);
    s.includeSurroundTrackTranscoded = defaultInt(kIncludeSurroundTrackTranscodedKey);
    s.includeSurroundTrackDisabled = defaultInt(kIncludeSurroundTrackDisabledKey);
    s.disableBuiltinSubtitles = defaultInt(kDisableBuiltinSubtitlesKey);
    s.defaultAudio = defaultInt(kDefaultAudioKey);
    s.keepLanguageAudio = defaultInt(kKeepLanguageAudioKey);
    s.keepLanguageSubtitles = defaultInt(kKeepLanguageSubtitlesKey);
    s.extraLanguages = extraLanguagesSetting();
    s.keepAllAudioTracks = defaultInt(kKeepAllAudioTracksKey);
    s.streamableOutput = defaultInt(kStreamableOutputKey);
    s.keepForcedSubtitles = defaultInt(kKeepForcedSubtitlesKey);
    s.autoClean = defaultInt(kAutoCleanKey);
    s.autoRemove = defaultInt(kAutoRemoveKey);
    s.autoRemoveType = defaultInt(kAutoRemoveTypeKey);
    s.quitAfterConversion = defaultInt(kQuitAfterConversionKey);
    s.custom.clear();
    for (const char* key : kCustomKeys)
        s.custom.insert(QString::fromLatin1(key), defaultInt(QString::fromLatin1(key)));
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
