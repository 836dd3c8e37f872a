#pragma once

#include "engine/CommandLines.h"
#include "engine/ConversionSettings.h"

#include <QList>
#include <QString>

// Every subtitle track a movie could give its MP4, where it comes from, and
// which of them a conversion writes: chosen for the movie alone, or by the
// settings. Pure: everything comes in as values.

struct SubtitleTrack
{
    enum class Source { TextFile, PictureFile, PictureStream, TextStream };
    Source source = Source::TextStream;
    // Names the track for a choice that outlives the probe (the saved
    // queue): "stream:4" for a movie's own stream, "file:/path" for a file.
    QString key;
    int stream = -1; // the movie's stream; -1 for a file
    QString path;    // the file; empty for a stream
    QString language;
    QString title;
    // Marked forced by the movie (its flag, or its name says so), or by the
    // file's name.
    bool forced = false;
    bool sdh = false;

    bool isPicture() const
    {
        return source == Source::PictureFile || source == Source::PictureStream;
    }
};

// The movie's subtitle tracks in the order the MP4 gets them: the subtitle
// files, the picture files and picture streams (read as text, then written
// like files), then the movie's text streams.
QList<SubtitleTrack> subtitleTracksOf(const ConversionInputs& in);

// Whether the settings keep the track: files always; the movie's own
// tracks unless DisableBuiltinSubtitles, and with KeepLanguageSubtitles
// those of the kept languages and the untagged ones; with
// KeepForcedSubtitles a forced track in the chosen audio track's language
// whatever the others say.
bool keptBySettings(const SubtitleTrack& track, const ConversionInputs& in,
                    const ConversionSettings& s);

// The tracks a conversion writes, in order: those chosen for the movie when
// it has a choice, else those the settings keep.
QList<SubtitleTrack> writtenSubtitleTracks(const ConversionInputs& in, const ConversionSettings& s);

// The subtitle files a choice keeps, in order; all of them without one.
QList<SubtitleFile> chosenSubtitleFiles(const QList<SubtitleFile>& files,
                                        const std::optional<QStringList>& choice);

// The keys a `--subtitles` value chooses for a movie: "all", "none", or
// languages ("eng,ger", two- or three-letter codes: the tracks tagged with
// one of them, untagged ones not).
QStringList subtitleKeysFor(const QString& value, const ConversionInputs& in);
// Whether the value is one `--subtitles` takes.
bool isSubtitleChoiceValue(const QString& value);

// The language of the chosen audio track ("eng"); empty without audio.
QString chosenAudioLanguage(const ConversionInputs& in);
