#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// One audio track of a movie as the probe finds it. The descriptor line the
// add panel, the probe command and the saved queue show ("#1: eng (ac3)
// [5.1]") is made from it; nothing reads the track back from that line but
// audioTrackFromDescriptor, for a line kept by an earlier run.
struct AudioTrack
{
    enum class Surround { None, FivePointOne, SevenPointOne };

    int streamIndex = 0;
    QString language; // the probe's word: "eng", "ger", "unk" when untagged
    QString codec;    // ffmpeg's codec word: "ac3", "dts", "aac"
    int channels = 0; // 0 when the listing does not say
    QString layout;   // ffmpeg's layout word: "stereo", "5.1(side)"
    QString title;    // the track's own name ("Commentary"); empty without
    Surround surround = Surround::None;

    bool isSurround() const { return surround != Surround::None; }
    // "#1: eng (ac3) [5.1]".
    QString descriptor() const;
    // What follows the stream number: " eng (ac3) [5.1]", with its blank.
    QString displayText() const;
    bool operator==(const AudioTrack&) const = default;
};

// The track a descriptor line names (stream, language, codec, surround); a
// line that is no descriptor reads as 0 and empty words.
AudioTrack audioTrackFromDescriptor(const QString& descriptor);
QList<AudioTrack> audioTracksFromDescriptors(const QStringList& descriptors);
QStringList descriptorsOf(const QList<AudioTrack>& tracks);
