#pragma once

#include "engine/CommandLines.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

class MKVFileInfo;

// Which further audio tracks and which embedded subtitles a conversion keeps
// for the user's languages (KeepLanguageAudio, KeepLanguageSubtitles,
// ExtraLanguages). Pure: everything comes in as values.

// Audio tracks carried beside the chosen one and the surround track, at most.
inline constexpr int kMaxFurtherAudioTracks = 4;

struct FurtherAudioTrack
{
    int descriptorIndex = 0; // in the movie's audio tracks
    int stream = 0;
    QString language, codec;
    bool copied = false; // false: encoded as stereo AAC at the AACBitrate rate
    QString title;       // the track's own name ("Mic"); empty without one
};

// The codes of an ExtraLanguages text ("jpn, fr" gives jpn, fre): comma
// separated, trimmed, two- and three-letter codes in lower case and the
// two-letter ones through the language table, other entries as they are;
// empty entries and repeats dropped.
QStringList extraLanguageCodes(const QString& text);
// The ranking list of the default-audio choice followed by the extra codes.
QStringList keptLanguages(const QStringList& preferred, qint64 defaultAudio,
                          const QString& extraLanguages);
// Tracks of one family are kept once per language: "ac3" for ac3 and eac3,
// "dts" for dts and dca, "truehd" for truehd and mlp, "pcm" for every pcm_
// format; any other codec is a family of its own.
QString codecFamily(const QString& codec);
// Whether ffmpeg 5.1 writes the codec into an MP4 as it is, without -strict.
bool mp4HoldsCodec(const QString& codec);
// A subtitle or track language that says nothing: "unk", "und" or empty.
bool isUntaggedLanguage(const QString& language);

// The indexes in `tracks` of the further audio tracks: in listing order,
// every track not among `mappedStreams` whose language is in `languages`,
// once per language and codec family (the mapped tracks hold their own
// places), at most kMaxFurtherAudioTracks.
QList<int> furtherAudioTrackIndexes(const QList<AudioTrack>& tracks,
                                    const QList<int>& mappedStreams, const QStringList& languages);
// The positions in `subtitleLanguages` of the subtitles in `languages` or
// untagged, in order.
QList<int> keptSubtitleIndexes(const QStringList& subtitleLanguages, const QStringList& languages);

// The further audio tracks of a conversion: with KeepAllAudioTracks every
// track not mapped as the main or the surround track, in listing order;
// else with KeepLanguageAudio those of the user's languages; else none.
QList<FurtherAudioTrack> furtherAudioTracks(const ConversionInputs& in,
                                            const ConversionSettings& s);
int encodedFurtherTrackCount(const ConversionInputs& in, const ConversionSettings& s);
// The embedded text subtitle streams the command line maps, in listing
// order: those chosen for the movie, else those the settings keep
// (keptBySettings): none with DisableBuiltinSubtitles; with
// KeepLanguageSubtitles those of the kept languages and the untagged ones;
// otherwise every one; and a forced one in the audio's language with
// KeepForcedSubtitles.
QList<int> mappedSubtitleStreams(const ConversionInputs& in, const ConversionSettings& s);
// The languages of the subtitles kept by language, in listing order; absent
// when subtitles are not chosen by language (all or none are mapped).
std::optional<QStringList> keptSubtitleLanguages(const ConversionInputs& in,
                                                 const ConversionSettings& s);

// The track part of the inputs for a probed movie with the chosen audio track.
ConversionInputs movieTrackInputs(const MKVFileInfo& info, int audioTrackIndex,
                                  const QStringList& preferredLanguages);
