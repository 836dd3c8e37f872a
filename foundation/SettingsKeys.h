#pragma once

// Every settings key, one named constant each.
inline constexpr const char* kDestinationBookmarksKey = "DestinationBookmarks";
inline constexpr const char* kDestinationNamesKey = "DestinationNames";
inline constexpr const char* kAC3DownmixKey = "AC3Downmix";
inline constexpr const char* kDTSDownmixKey = "DTSDownmix";
inline constexpr const char* kAutoAddKey = "AutoAdd";
inline constexpr const char* kAutoCleanKey = "AutoClean";
inline constexpr const char* kDefaultAudioKey = "DefaultAudio";
inline constexpr const char* kDisableBuiltinSubtitlesKey = "DisableBuiltinSubtitles";
inline constexpr const char* kAC3StereoBitrateKey = "AC3StereoBitrate";
inline constexpr const char* kAC3SurroundBitrateKey = "AC3SurroundBitrate";
inline constexpr const char* kAACBitrateKey = "AACBitrate";
inline constexpr const char* kIncludeSurroundTrackTranscodedKey = "IncludeSurroundTrackTranscoded";
inline constexpr const char* kIncludeSurroundTrackDisabledKey = "IncludeSurroundTrackDisabled";
inline constexpr const char* kCustomAC3HandlingKey = "CustomAC3Handling";
inline constexpr const char* kCustomAC351HandlingKey = "CustomAC351Handling";
inline constexpr const char* kCustomDTS51HandlingKey = "CustomDTS51Handling";
inline constexpr const char* kCustomMP3HandlingKey = "CustomMP3Handling";
inline constexpr const char* kCustomUnknownHandlingKey = "CustomUnknownHandling";
inline constexpr const char* kQuitAfterConversionKey = "QuitAfterConversion";
inline constexpr const char* kDefaultExtensionKey = "DefaultExtension";
inline constexpr const char* kDefaultDestinationKey = "DefaultDestination";
inline constexpr const char* kAutoRemoveKey = "AutoRemove";
inline constexpr const char* kAutoRemoveTypeKey = "AutoRemoveType";
inline constexpr const char* kConversionPresetKey = "ConversionPreset";
inline constexpr const char* kIncludeSurroundTrackKey = "IncludeSurroundTrack";
inline constexpr const char* kWelcomeShownKey = "WelcomeShown";
// Keeping the user's languages: further audio tracks and subtitles whose
// language is among the preferred (or DefaultAudio) ones and ExtraLanguages,
// a comma-separated list of two- or three-letter codes.
inline constexpr const char* kKeepLanguageAudioKey = "KeepLanguageAudio";
inline constexpr const char* kKeepLanguageSubtitlesKey = "KeepLanguageSubtitles";
inline constexpr const char* kExtraLanguagesKey = "ExtraLanguages";
// Every audio track of the movie carried after the chosen one.
inline constexpr const char* kKeepAllAudioTracksKey = "KeepAllAudioTracks";
// Subtitle files in the movie's folder named like the movie are added with it.
inline constexpr const char* kAddSubtitleFilesBesideMovieKey = "AddSubtitleFilesBesideMovie";
// The MP4's index (moov) is written before the media, so it plays while it
// is still arriving.
inline constexpr const char* kStreamableOutputKey = "StreamableOutput";
inline constexpr const char* kWriteTagsKey = "WriteTags";
inline constexpr const char* kKeepForcedSubtitlesKey = "KeepForcedSubtitles";
// Seconds a probe tool (ffmpeg -i, mediainfo) may take before it is given up.
inline constexpr const char* kProbeTimeoutKey = "ProbeTimeout";
