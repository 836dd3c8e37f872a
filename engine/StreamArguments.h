#pragma once

#include "engine/CommandLines.h"
#include "engine/FfmpegCommand.h"

#include <QString>
#include <QStringList>

// The parts of the ffmpeg command lines that name single streams: their
// languages, names, gap filling and dispositions, the second (surround) and
// the further audio tracks, and the subtitles. Each adds to its sections of
// a command.

// "0:4": stream 4 of the movie, the first input.
QString streamSpecifier(int stream);
// A language as written into the MP4: a track without a tag is "und".
QString writtenLanguage(const QString& language);
QStringList languageMetadata(const char* kind, int index, const QString& language);
// A track's name as players read it: ffmpeg's readers (and the players and
// media servers built on them) and mediainfo take the handler name. The
// title, which ffmpeg would copy into a "name" box of its own, is dropped:
// readers that see both show the name twice.
QStringList titleMetadata(const char* kind, int index, const QString& title);
// A decoded sound track stays on the movie's time line: where the source
// lacks packets (a TV recording with dropped packets, a cut-and-joined
// file) the gap is filled with silence, so everything after it keeps its
// place. Without it the encoder would close the gap and all the sound after
// it would come early by its length. A track that starts late keeps its
// start (no first_pts): the mux places it.
inline const QString kGapFilling = QStringLiteral("aresample=async=1");
QStringList gapFillingFor(int outputAudioIndex);

// Under the compatible style with IncludeSurroundTrack, maps a 5.1 track of
// the chosen track's language as the second audio track. Answers whether a
// track was added.
bool addSurroundTrack(FfmpegCommand& command, const ConversionInputs& in,
                      const ConversionSettings& s);
// Maps the audio tracks kept for the user's languages as output audio
// tracks firstIndex, firstIndex + 1, ...: each copied or encoded as stereo
// AAC, with its language. Answers how many were mapped.
int addFurtherAudioTracks(FfmpegCommand& command, int firstIndex, const ConversionInputs& in,
                          const ConversionSettings& s);
// The names of the main audio track and of the surround track, when the
// source gives them; the further tracks name themselves.
void addAudioTitles(FfmpegCommand& command, const ConversionInputs& in, bool addedSurround,
                    const ConversionSettings& s);
// Maps the subtitle files (each the next input) and then the movie's own
// subtitle streams (all, none when disabled, or those of the user's
// languages), last-first. Answers how many subtitle tracks the output gets.
int addSubtitles(FfmpegCommand& command, const ConversionInputs& in, const ConversionSettings& s);

// ffmpeg 5.1's MP4 muxer enables only tracks whose stream is marked default,
// and as soon as two streams of one kind are marked default it gives every
// track an alternate group of its own, so players that honour groups would
// play both audio tracks at once. Only the main audio is marked default; the
// `others` audio tracks after it (surround, further tracks) join its group
// disabled, and the completion steps enable those that are to be offered.
// Of several subtitle tracks (Matroska muxers mark each one default) only
// one is marked (enabledSubtitleTrack), so they share one group. A forced
// track (forcedSubtitleTracks) is marked forced. `others` below 0: the movie
// has no audio.
void addDefaultDispositions(FfmpegCommand& command, const ConversionInputs& in,
                            const ConversionSettings& s, int others, int subtitles);
