#pragma once

#include <QHash>
#include <QString>

// A snapshot of the settings the engine reads, taken when a command line is
// built. Defaults are the registered defaults.
struct ConversionSettings
{
    qint64 conversionPreset = 0, ac3Downmix = 0, dtsDownmix = 0, ac3SurroundBitrate = 1,
           ac3StereoBitrate = 1, aacBitrate = 1, includeSurroundTrack = 0,
           includeSurroundTrackTranscoded = 1, includeSurroundTrackDisabled = 1,
           disableBuiltinSubtitles = 1, defaultAudio = 0, keepLanguageAudio = 0,
           keepLanguageSubtitles = 0, keepAllAudioTracks = 0, streamableOutput = 1,
           keepForcedSubtitles = 1;
    // After the conversion: AutoClean, AutoRemove, AutoRemoveType,
    // QuitAfterConversion.
    qint64 autoClean = 0, autoRemove = 0, autoRemoveType = 0, quitAfterConversion = 0;
    QString extraLanguages; // ExtraLanguages: "jpn, fr"
    // The custom style's "Custom...Handling" values by key; a missing key reads 0.
    QHash<QString, qint64> custom = {{QStringLiteral("CustomAC3Handling"), 3},
                                     {QStringLiteral("CustomAC351Handling"), 3},
                                     {QStringLiteral("CustomDTS51Handling"), 2},
                                     {QStringLiteral("CustomMP3Handling"), 1},
                                     {QStringLiteral("CustomUnknownHandling"), 1}};

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
