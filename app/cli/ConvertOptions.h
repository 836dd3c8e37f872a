#pragma once

#include "inspection/AudioTrack.h"

#include <QString>
#include <QStringList>
#include <optional>

// The options of `vantreo-cli convert`.
struct ConvertOptions
{
    QString destination;      // --dest DIR; empty: each movie's own folder
    std::optional<int> style; // --style: 0 compatible, 1 fast, 2 custom
    QString audio;            // --audio INDEX|LANG
    QString subtitles;        // --subtitles FILE
    // --subtitles all|none|LANG,LANG: the subtitle tracks written, this run;
    // absent: the settings choose. A value naming an existing file is the
    // file.
    std::optional<QString> subtitleChoice;
    bool noForced = false; // --no-forced: KeepForcedSubtitles off for this run
    bool m4v = false;      // --m4v
    // --keep-languages / --no-keep-languages: KeepLanguageAudio and
    // KeepLanguageSubtitles for this run; absent: the settings decide.
    std::optional<bool> keepLanguages;
    bool allAudio = false;   // --all-audio: KeepAllAudioTracks for this run
    bool noSidecars = false; // --no-sidecars: no subtitle files found beside the movie
    bool noTags = false;     // --no-tags: neither cover art nor tags
    // --recursive: the folders named are libraries, walked for their movies;
    // a movie finished before is passed over, and each one is claimed so
    // that several runs share a library.
    bool recursive = false;
    bool force = false;     // --force: convert movies finished before again
    int jobs = 1;           // --jobs N: conversions at once
    bool json = false;      // --json: a JSON object per movie on standard output
    bool watch = false;     // the watch command: the folders are watched as well
    int settleSeconds = 10; // --settle N (watch): how long a new movie must stay unchanged
    QStringList files;
};

// Parses the arguments after "convert" (or "watch", with `watch`); on a usage
// error answers absent and says why in `error`.
std::optional<ConvertOptions> parseConvertOptions(const QStringList& args, QString& error,
                                                  bool watch = false);

// The audio track to convert: by --audio (an index into the descriptors, or
// a language, two- or three-letter), else the one bestLanguage chooses for
// the preferred languages. Absent, with the reason, when none fits.
std::optional<int> chooseAudioTrack(const QList<AudioTrack>& tracks, const QString& audioOption,
                                    const QStringList& preferredLanguages, QString& error);
